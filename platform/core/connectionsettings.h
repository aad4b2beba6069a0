#pragma once
// The client's connection settings: the file "KavClient.ini" in the program folder, shared by the
// client shell (server address, node) and the updater (update server, node). Format:
// docs/connection-settings.md.

#include <filesystem>
#include <stdexcept>
#include <string>

namespace kav {

inline constexpr const char* kConnectionSettingsFileName = "KavClient.ini";

struct ConnectionSettings {
    std::string host = "127.0.0.1";
    int port = 6666;
    std::string updateServer; // host[:port] of the HTTP update server; empty = not configured
    std::string nodeCode;     // the selling installation, e.g. "01"
};

// Raised for a settings file whose values cannot be used (a port that is not 1..65535).
class ConnectionSettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::filesystem::path ConnectionSettingsPath(const std::filesystem::path& programFolder);

// Missing file or keys give the defaults above.
ConnectionSettings ReadConnectionSettings(const std::filesystem::path& file);
// Rewrites the file atomically, keeping any other keys and comments it holds.
void WriteConnectionSettings(const std::filesystem::path& file, const ConnectionSettings& settings);

} // namespace kav
