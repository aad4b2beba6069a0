#include <QApplication>

int RunMessageDlgTest(int argc, char** argv);
int RunDialogFunctionsTest(int argc, char** argv);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationDisplayName(QStringLiteral("售票"));
    int failures = 0;
    failures += RunMessageDlgTest(argc, argv);
    failures += RunDialogFunctionsTest(argc, argv);
    return failures == 0 ? 0 : 1;
}
