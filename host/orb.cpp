#include "host/orb.h"

#include "platform/core/connectionsettings.h"

#include <filesystem>

namespace kav {

namespace {

std::filesystem::path ProgramFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : program.parent_path();
}

} // namespace

pelio::TPelioClient& ORB() {
    static pelio::TPelioClient client;
    static const bool configured = [] {
        const ConnectionSettings settings = ReadConnectionSettings(ConnectionSettingsPath(ProgramFolder()));
        client.SetHost(settings.host);
        client.SetPort(settings.port);
        return true;
    }();
    (void)configured;
    return client;
}

} // namespace kav
