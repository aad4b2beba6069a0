#include "shell/kavapplication.h"

int RunPackageLoaderTest(int argc, char** argv);
int RunMainWindowTest(int argc, char** argv);
int RunLoginDialogTest(int argc, char** argv);
int RunOptionsTest(int argc, char** argv);

int main(int argc, char** argv) {
    kav::TKavApplication app(argc, argv);
    int failures = 0;
    failures += RunPackageLoaderTest(argc, argv);
    failures += RunMainWindowTest(argc, argv);
    failures += RunLoginDialogTest(argc, argv);
    failures += RunOptionsTest(argc, argv);
    return failures == 0 ? 0 : 1;
}
