#include "shell/options.h"

#include <charconv>
#include <stdexcept>

namespace kav {

namespace {

[[noreturn]] void Refuse(const std::string& why) {
    throw std::invalid_argument("kav-client: " + why);
}

// HOST:PORT with a port of 1 to 65535.
void ParseServer(const std::string& text, TScreenshotOptions& options) {
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) Refuse("--server needs HOST:PORT, not '" + text + "'");
    const std::string port = text.substr(colon + 1);
    int value = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (error != std::errc() || end != port.data() + port.size() || value < 1 || value > 65535)
        Refuse("--server needs a port from 1 to 65535, not '" + port + "'");
    options.host = text.substr(0, colon);
    options.port = value;
}

} // namespace

TClientOptions ParseClientOptions(const std::vector<std::string>& arguments) {
    TClientOptions options;
    TScreenshotOptions screenshots;
    bool wantsScreenshots = false, server = false, user = false, password = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--check") {
            options.check = true;
            continue;
        }
        const bool known = name == "--plugins" || name == "--screenshots" || name == "--server" || name == "--user" ||
                           name == "--password";
        if (!known) Refuse("cannot use argument '" + name + "'");
        if (i + 1 >= arguments.size() || arguments[i + 1].empty()) Refuse(name + " needs a value");
        const std::string& value = arguments[++i];
        if (name == "--plugins") {
            options.pluginFolder = value;
        } else if (name == "--screenshots") {
            screenshots.folder = value;
            wantsScreenshots = true;
        } else if (name == "--server") {
            ParseServer(value, screenshots);
            server = true;
        } else if (name == "--user") {
            screenshots.userCode = value;
            user = true;
        } else {
            screenshots.password = value;
            password = true;
        }
    }
    if (wantsScreenshots != (server && user && password) || (!wantsScreenshots && (server || user || password)))
        Refuse("--screenshots needs --server, --user and --password, and they go only with it");
    if (wantsScreenshots) options.screenshots = std::move(screenshots);
    return options;
}

} // namespace kav
