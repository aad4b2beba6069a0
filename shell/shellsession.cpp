#include "shell/shellsession.h"

#include "host/kavcontext.h"

namespace kav {

TShellSession MakeShellSession(const std::string& contextText, const std::string& host, int port) {
    TKavContext context;
    context.SetAsString(contextText);
    return {
        contextText, context.UserCode(), context.UserName(), context.GroupCode(), context.NodeCode(), host,
        port};
}

} // namespace kav
