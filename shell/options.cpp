#include "shell/options.h"

#include <stdexcept>

namespace kav {

TClientOptions ParseClientOptions(const std::vector<std::string>& arguments) {
    TClientOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--plugins" && i + 1 < arguments.size() && !arguments[i + 1].empty())
            options.pluginFolder = arguments[++i];
        else if (arguments[i] == "--check")
            options.check = true;
        else
            throw std::invalid_argument("kav-client: cannot use argument '" + arguments[i] + "'");
    }
    return options;
}

} // namespace kav
