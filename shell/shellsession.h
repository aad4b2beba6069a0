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

namespace kav {

// The session of a context text the server issued. Raises ContextTextError for text that is not a context.
TShellSession MakeShellSession(const std::string& contextText, const std::string& host, int port);

} // namespace kav
