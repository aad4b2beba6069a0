#pragma once
// The registries through which packages announce element classes, by name, in registration order:
// one for the windowed section elements (TKavSectionElement) and a separate one for the lightweight
// section blocks (TKavSelectSectionShow). Names compare ignoring letter case; a name already
// registered keeps its first class and display name.
//
// A package registers from a static initialiser and must unregister before it unloads, because the
// class is its code; TKavElementRegistration does both:
//
//     static const kav::TKavSectionElementRegistration text{"TESection", "文字1",
//                                                           kav::SectionElementClass<TKavSectionText>()};
//
// Threading: any thread (packages load wherever the shell loads them); elements belong to the GUI thread.

#include <QObject>
#include <string>
#include <vector>

class QWidget;

namespace kav {

class TKavSectionElement;
class TKavSelectSectionShow;

// A class: makes a new element for an owner.
using TKavSectionElementClass = TKavSectionElement* (*)(QWidget* owner);
using TKavSelectSectionClass = TKavSelectSectionShow* (*)(QObject* owner);

template <class Element> TKavSectionElementClass SectionElementClass() {
    return [](QWidget* owner) -> TKavSectionElement* { return new Element(owner); };
}
template <class Element> TKavSelectSectionClass SelectSectionClass() {
    return [](QObject* owner) -> TKavSelectSectionShow* { return new Element(owner); };
}

// ---- windowed section elements. Register answers whether the name was new.
bool RegisterCustomElement(const std::string& name, const std::string& displayName,
                           TKavSectionElementClass cls);
void UnRegisterCustomElement(const std::string& name);             // unknown names are ignored
TKavSectionElementClass GetCustomElement(const std::string& name); // null when unknown
std::string GetCustomElementDisplayName(const std::string& name);  // empty when unknown
std::vector<std::string> GetCustomElementNameList();

// ---- lightweight section blocks, the same five operations over their own lists.
bool RegisterSelectSection(const std::string& name, const std::string& displayName,
                           TKavSelectSectionClass cls);
void UnRegisterSelectSection(const std::string& name);
TKavSelectSectionClass GetSelectSection(const std::string& name);
std::string GetSelectSectionDisplayName(const std::string& name);
std::vector<std::string> GetSelectSectionNameList();

// Registers in its constructor and unregisters in its destructor, only when its own registration took.
template <class Class, bool (*Register)(const std::string&, const std::string&, Class),
          void (*UnRegister)(const std::string&)>
class TKavElementRegistration final {
public:
    TKavElementRegistration(const std::string& name, const std::string& displayName, Class cls)
        : name_(name), registered_(Register(name, displayName, cls)) {}
    ~TKavElementRegistration() {
        if (registered_) UnRegister(name_);
    }
    TKavElementRegistration(const TKavElementRegistration&) = delete;
    TKavElementRegistration& operator=(const TKavElementRegistration&) = delete;

    bool Registered() const { return registered_; }

private:
    std::string name_;
    bool registered_;
};

using TKavSectionElementRegistration =
    TKavElementRegistration<TKavSectionElementClass, RegisterCustomElement, UnRegisterCustomElement>;
using TKavSelectSectionRegistration =
    TKavElementRegistration<TKavSelectSectionClass, RegisterSelectSection, UnRegisterSelectSection>;

} // namespace kav
