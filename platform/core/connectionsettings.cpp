#include "platform/core/connectionsettings.h"

#include "platform/core/inifile.h"

namespace kav {

std::filesystem::path ConnectionSettingsPath(const std::filesystem::path& programFolder) {
    return programFolder / kConnectionSettingsFileName;
}

ConnectionSettings ReadConnectionSettings(const std::filesystem::path& file) {
    IniFile ini(file);
    ConnectionSettings s;
    s.host = ini.ReadString("Server", "Host", s.host);
    const std::string portText = ini.ReadString("Server", "Port", std::to_string(s.port));
    auto port = IniFile::ParseInteger(portText);
    if (!port || *port < 1 || *port > 65535)
        throw ConnectionSettingsError(file.string() + ": [Server] Port '" + portText +
                                      "' is not a port number");
    s.port = static_cast<int>(*port);
    s.updateServer = ini.ReadString("Update", "Server", "");
    s.nodeCode = ini.ReadString("Node", "NodeCode", "");
    return s;
}

void WriteConnectionSettings(const std::filesystem::path& file, const ConnectionSettings& s) {
    IniFile ini(file);
    ini.WriteString("Server", "Host", s.host);
    ini.WriteInteger("Server", "Port", s.port);
    ini.WriteString("Update", "Server", s.updateServer);
    ini.WriteString("Node", "NodeCode", s.nodeCode);
    ini.UpdateFile();
}

} // namespace kav
