#include "server/serveroptions.h"

#include <charconv>
#include <limits>
#include <set>

namespace kav::server {

namespace {

// The longest login window or lock accepted, in seconds: a week.
constexpr std::int64_t kLongestSeconds = 7 * 24 * 60 * 60;

std::int64_t Number(const std::string& option, const std::string& text, std::int64_t least,
                    std::int64_t most) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < least || value > most)
        throw ServerOptionsError(option + " needs a whole number from " + std::to_string(least) + " to " +
                                 std::to_string(most) + ", not \"" + text + "\"");
    return value;
}

bool IsSeedKind(const std::string& kind) {
    if (kind == "demo") return true;
    if (!kind.starts_with("bench:")) return false;
    Number("--seed bench:N", kind.substr(6), 1, std::numeric_limits<std::int32_t>::max());
    return true;
}

} // namespace

ServerOptions ParseServerOptions(const std::vector<std::string>& arguments) {
    ServerOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        static const std::set<std::string> known{"--port",
                                                 "--db",
                                                 "--seed",
                                                 "--threads",
                                                 "--max-connections",
                                                 "--max-message-bytes",
                                                 "--session-key-file",
                                                 "--pipe-db",
                                                 "--pipe-row-security",
                                                 "--login-failures",
                                                 "--login-window",
                                                 "--login-lock",
                                                 "--login-lock-max",
                                                 "--stall-timeout",
                                                 "--http-port"};
        if (!known.contains(option)) throw ServerOptionsError("unknown option: " + option);
        if (i + 1 == arguments.size()) throw ServerOptionsError(option + " needs a value");
        const std::string& value = arguments[++i];
        if (option == "--port") {
            options.port = static_cast<int>(Number(option, value, 0, 65535));
        } else if (option == "--db") {
            if (value.empty()) throw ServerOptionsError("--db needs a database URL");
            options.database = value;
        } else if (option == "--seed") {
            if (!IsSeedKind(value))
                throw ServerOptionsError("--seed takes demo or bench:N, not \"" + value + "\"");
            options.seed = value;
        } else if (option == "--threads") {
            options.threads = static_cast<int>(Number(option, value, 1, 10000));
        } else if (option == "--max-connections") {
            options.maxConnections = static_cast<int>(Number(option, value, 0, 1000000));
        } else if (option == "--session-key-file") {
            if (value.empty()) throw ServerOptionsError("--session-key-file needs a file name");
            options.sessionKeyFile = value;
        } else if (option == "--stall-timeout") {
            options.stallTimeoutSeconds = static_cast<int>(Number(option, value, 1, 86400));
        } else if (option == "--http-port") {
            options.httpPort = static_cast<int>(Number(option, value, 0, 65535));
        } else if (option == "--max-message-bytes") {
            options.maxMessageBytes = static_cast<std::uint32_t>(
                Number(option, value, 1 << 20, std::numeric_limits<std::uint32_t>::max()));
        } else if (option == "--pipe-db") {
            if (value.empty()) throw ServerOptionsError("--pipe-db needs a database URL");
            options.pipe.url = value;
        } else if (option == "--pipe-row-security") {
            if (value != "on" && value != "off")
                throw ServerOptionsError("--pipe-row-security takes on or off, not \"" + value + "\"");
            options.pipe.rowSecurity = value == "on";
        } else if (option == "--login-failures") {
            options.login.failures = static_cast<int>(Number(option, value, 0, 1000));
        } else if (option == "--login-window") {
            options.login.windowSeconds = static_cast<int>(Number(option, value, 1, kLongestSeconds));
        } else if (option == "--login-lock") {
            options.login.lockSeconds = static_cast<int>(Number(option, value, 1, kLongestSeconds));
        } else { // --login-lock-max
            options.login.maxLockSeconds = static_cast<int>(Number(option, value, 1, kLongestSeconds));
        }
    }
    if (options.login.maxLockSeconds < options.login.lockSeconds)
        throw ServerOptionsError("--login-lock-max must be at least --login-lock (" +
                                 std::to_string(options.login.lockSeconds) + ")");
    const bool postgres = !options.database.starts_with("sqlite:");
    if (!postgres && (!options.pipe.url.empty() || options.pipe.rowSecurity))
        throw ServerOptionsError("--pipe-db and --pipe-row-security are for a PostgreSQL database, not " +
                                 options.database);
    return options;
}

} // namespace kav::server
