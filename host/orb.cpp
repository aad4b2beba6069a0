#include "host/orb.h"

#include "platform/core/connectionsettings.h"
#include "platform/core/programfolder.h"

namespace kav {

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
