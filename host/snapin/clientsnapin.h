#pragma once
// The client snap-in interface: what the shell calls on a snap-in when the user opens its entry.
//
// The shell creates an instance from the registered class (snapinregistry.h), passes the session context
// text with SetContext and calls Execute; each later opening calls SetContext and Execute again on the same
// instance. Execute creates the snap-in's window once and shows it with ShowFormInRootWindow every time.
// Destroying the instance must free that window: an implementation's destructor calls Shutdown.
//
// Threading: GUI thread only. Execute may raise (a failed remote call); the shell shows the message.

#include <string>

namespace kav {

class IKavClientSnapIn {
public:
    virtual ~IKavClientSnapIn() = default;

    // Stores the text only; the window sees it at the next Execute.
    virtual void SetContext(const std::string& Text) = 0;
    virtual void Execute() = 0;
    // Frees the window, if any; a later Execute starts a fresh one.
    virtual void Shutdown() = 0;
};

} // namespace kav
