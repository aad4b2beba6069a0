// kav-server: the box-office application server. Options: server/serveroptions.h.

#include "platform/core/heapreuse.h"
#include "server/serverprogram.h"

#include <iostream>

int main(int argc, char** argv) {
    kav::KeepFreedHeapForReuse();
    using namespace kav::server;
    ServerOptions options;
    try {
        options = ParseServerOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const ServerOptionsError& e) {
        std::cerr << "kav-server: " << e.what() << "\n" << kServerUsage;
        return 2;
    }
    return RunServer(options);
}
