#include "updater/packnames.h"

#include <charconv>
#include <limits>

namespace kav {

namespace {

std::string NextPackFile(std::string_view name, std::string_view prefix) {
    const std::string_view digits =
        name.size() > prefix.size() ? name.substr(prefix.size()) : std::string_view{};
    unsigned long long number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() ||
        number == std::numeric_limits<unsigned long long>::max())
        throw PackNameError("update pack '" + std::string(name) + "' has no number after '" +
                            std::string(prefix) + "'");
    return std::string(prefix) + std::to_string(number + 1) + std::string(kPackExtension);
}

} // namespace

std::string PackFileToFetch(std::string_view name, std::string_view state, std::string_view prefix) {
    if (state == "0") return std::string(name) + std::string(kPackExtension);
    if (state == "1") return NextPackFile(name, prefix);
    return std::string(name);
}

std::string PackNameOfFile(std::string_view file) {
    if (file.ends_with(kPackExtension)) file.remove_suffix(kPackExtension.size());
    return std::string(file);
}

std::string PackUrl(std::string_view baseUrl, std::string_view file) {
    std::string url(baseUrl);
    if (!url.ends_with('/')) url += '/';
    return url + std::string(file);
}

} // namespace kav
