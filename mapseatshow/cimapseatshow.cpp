#include "mapseatshow/cimapseatshow.h"

#include "host/orb.h"
#include "host/snapin/kavcsnapin.h"
#include "host/snapin/rootwindow.h"
#include "mapseatshow/uimapseatlaunch.h"
#include "mapseatshow/uimapseatshow.h"

namespace kav {

TCIMapSeatShow::~TCIMapSeatShow() {
    Shutdown();
}

void TCIMapSeatShow::Execute() {
    const std::optional<TMapSeatChoice> choice = TUIMapSeatLaunch::Ask(ORB(), context_, nullptr);
    if (!choice) return;
    auto* window = new TUIMapSeatShow;
    windows_.emplace_back(window);
    window->SnapIn().SetContext(context_);
    window->SetMapCode(choice->MapCode);
    window->SetProductCode(choice->ProductCode);
    window->SetSectionName(choice->SectionName);
    window->SetSectionCode(choice->SectionCode);
    ShowFormInRootWindow(window);
}

void TCIMapSeatShow::Shutdown() {
    for (const QPointer<TUIMapSeatShow>& window : windows_)
        delete window.data();
    windows_.clear();
}

std::vector<TUIMapSeatShow*> TCIMapSeatShow::Windows() const {
    std::vector<TUIMapSeatShow*> open;
    for (const QPointer<TUIMapSeatShow>& window : windows_)
        if (window) open.push_back(window.data());
    return open;
}

} // namespace kav
