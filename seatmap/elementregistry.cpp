#include "seatmap/elementregistry.h"

#include "platform/core/textcodec.h"

#include <algorithm>
#include <mutex>

namespace kav {

namespace {

// One registry of element classes. Built on first use: packages register from their static
// initialisers, which may run before this library's own would.
template <class Class> class ClassRegistry {
public:
    bool Register(const std::string& name, const std::string& displayName, Class cls) {
        std::lock_guard lock(mutex_);
        if (Find(name) != entries_.end()) return false;
        entries_.push_back({name, displayName, cls});
        return true;
    }
    void UnRegister(const std::string& name) {
        std::lock_guard lock(mutex_);
        if (auto it = Find(name); it != entries_.end()) entries_.erase(it);
    }
    Class Get(const std::string& name) {
        std::lock_guard lock(mutex_);
        auto it = Find(name);
        return it == entries_.end() ? nullptr : it->cls;
    }
    std::string DisplayName(const std::string& name) {
        std::lock_guard lock(mutex_);
        auto it = Find(name);
        return it == entries_.end() ? std::string() : it->displayName;
    }
    std::vector<std::string> Names() {
        std::lock_guard lock(mutex_);
        std::vector<std::string> names;
        for (const Entry& e : entries_)
            names.push_back(e.name);
        return names;
    }

private:
    struct Entry {
        std::string name;
        std::string displayName;
        Class cls;
    };
    typename std::vector<Entry>::iterator Find(const std::string& name) {
        return std::find_if(entries_.begin(), entries_.end(),
                            [&](const Entry& e) { return EqualsIgnoringCase(e.name, name); });
    }

    std::mutex mutex_;
    std::vector<Entry> entries_;
};

ClassRegistry<TKavSectionElementClass>& Elements() {
    static ClassRegistry<TKavSectionElementClass> registry;
    return registry;
}

ClassRegistry<TKavSelectSectionClass>& SelectSections() {
    static ClassRegistry<TKavSelectSectionClass> registry;
    return registry;
}

} // namespace

bool RegisterCustomElement(const std::string& name, const std::string& displayName,
                           TKavSectionElementClass cls) {
    return Elements().Register(name, displayName, cls);
}
void UnRegisterCustomElement(const std::string& name) {
    Elements().UnRegister(name);
}
TKavSectionElementClass GetCustomElement(const std::string& name) {
    return Elements().Get(name);
}
std::string GetCustomElementDisplayName(const std::string& name) {
    return Elements().DisplayName(name);
}
std::vector<std::string> GetCustomElementNameList() {
    return Elements().Names();
}

bool RegisterSelectSection(const std::string& name, const std::string& displayName,
                           TKavSelectSectionClass cls) {
    return SelectSections().Register(name, displayName, cls);
}
void UnRegisterSelectSection(const std::string& name) {
    SelectSections().UnRegister(name);
}
TKavSelectSectionClass GetSelectSection(const std::string& name) {
    return SelectSections().Get(name);
}
std::string GetSelectSectionDisplayName(const std::string& name) {
    return SelectSections().DisplayName(name);
}
std::vector<std::string> GetSelectSectionNameList() {
    return SelectSections().Names();
}

} // namespace kav
