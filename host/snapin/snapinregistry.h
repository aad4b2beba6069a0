#pragma once
// The process-wide registry of client snap-in classes, keyed by name.
//
// A window package registers its snap-ins from a static initialiser, so they are known as soon as the
// package is loaded, and unregisters them from the matching static destructor: the registered class is
// code of the package and must not outlive it.
//
//     static const kav::TSnapInRegistration registration{"CIOrderHandler",
//                                                        kav::SnapInClass<TCIOrderHandler>(), "订单处理"};
//
// Threading: the functions may be called from any thread (packages are loaded wherever the shell loads
// them); the instances they create belong to the GUI thread.

#include "host/snapin/clientsnapin.h"

#include <memory>
#include <string>
#include <vector>

namespace kav {

// A snap-in class: creates a new instance. Never null in the registry.
using TClientSnapInClass = std::unique_ptr<IKavClientSnapIn> (*)();

template <class SnapIn> TClientSnapInClass SnapInClass() {
    return [] { return std::unique_ptr<IKavClientSnapIn>(std::make_unique<SnapIn>()); };
}

struct TClientSnapInEntry {
    std::string Name;
    std::string Caption; // what the shell's menu shows; the name when none was given
};

// Registers Class under Name (names compare exactly). A name already registered keeps its first class and
// the call returns false. An empty name or a null class is a caller's bug (std::invalid_argument).
bool RegisterClientSnapIn(const std::string& Name, TClientSnapInClass Class, const std::string& Caption = {});
// Unknown names are ignored.
void UnRegisterClientSnapIn(const std::string& Name);

// A new instance of the class registered under Name, or null when none is.
std::unique_ptr<IKavClientSnapIn> CreateClientSnapIn(const std::string& Name);
// The registered snap-ins in the order they were registered.
std::vector<TClientSnapInEntry> RegisteredClientSnapIns();

// Registers in its constructor and unregisters in its destructor, only when its own registration took.
class TSnapInRegistration final {
public:
    TSnapInRegistration(const std::string& Name, TClientSnapInClass Class, const std::string& Caption = {});
    ~TSnapInRegistration();
    TSnapInRegistration(const TSnapInRegistration&) = delete;
    TSnapInRegistration& operator=(const TSnapInRegistration&) = delete;

private:
    std::string name_;
    bool registered_;
};

} // namespace kav
