#pragma once
// What the shell knows of the logged-in session: the context text the server issued, which every snap-in
// is given, and the values the main window shows.

#include <string>

namespace kav {

struct TShellSession {
    std::string ContextText;
    std::string UserCode;
    std::string UserName;
    std::string GroupCode;
    std::string NodeCode;
    std::string Host;
    int Port = 0;
};

} // namespace kav
