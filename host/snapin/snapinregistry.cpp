#include "host/snapin/snapinregistry.h"

#include <algorithm>
#include <mutex>
#include <stdexcept>

namespace kav {

namespace {

struct Registered {
    TClientSnapInEntry entry;
    TClientSnapInClass create;
};

// Built on first use: packages register from their static initialisers, which may run before this
// library's own initialisers would.
struct Registry {
    std::mutex mutex;
    std::vector<Registered> snapIns; // in registration order; few entries, so a list is enough

    auto Find(const std::string& name) {
        return std::find_if(snapIns.begin(), snapIns.end(),
                            [&](const Registered& r) { return r.entry.Name == name; });
    }
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

} // namespace

bool RegisterClientSnapIn(const std::string& Name, TClientSnapInClass Class, const std::string& Caption) {
    if (Name.empty()) throw std::invalid_argument("RegisterClientSnapIn: empty snap-in name");
    if (!Class) throw std::invalid_argument("RegisterClientSnapIn: no class for snap-in " + Name);
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    if (registry.Find(Name) != registry.snapIns.end()) return false;
    registry.snapIns.push_back({{Name, Caption.empty() ? Name : Caption}, Class});
    return true;
}

void UnRegisterClientSnapIn(const std::string& Name) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    if (auto it = registry.Find(Name); it != registry.snapIns.end()) registry.snapIns.erase(it);
}

std::unique_ptr<IKavClientSnapIn> CreateClientSnapIn(const std::string& Name) {
    TClientSnapInClass create = nullptr;
    {
        Registry& registry = TheRegistry();
        std::lock_guard lock(registry.mutex);
        if (auto it = registry.Find(Name); it != registry.snapIns.end()) create = it->create;
    }
    // Outside the lock: a constructor may itself look at the registry.
    return create ? create() : nullptr;
}

std::vector<TClientSnapInEntry> RegisteredClientSnapIns() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    std::vector<TClientSnapInEntry> entries;
    entries.reserve(registry.snapIns.size());
    for (const Registered& r : registry.snapIns)
        entries.push_back(r.entry);
    return entries;
}

TSnapInRegistration::TSnapInRegistration(const std::string& Name, TClientSnapInClass Class,
                                         const std::string& Caption)
    : name_(Name), registered_(RegisterClientSnapIn(Name, Class, Caption)) {}

TSnapInRegistration::~TSnapInRegistration() {
    if (registered_) UnRegisterClientSnapIn(name_);
}

} // namespace kav
