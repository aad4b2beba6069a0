#pragma once
// TCIMapSeatShow: the seat layout's snap-in ("座位划定" in the client shell's 窗口 menu). Each Execute
// asks for a performance and a section (uimapseatlaunch.h) and opens a layout window for them, docked
// by the shell; several windows may be open at once, each with its own data. Shutdown and the
// destructor free the windows still open.
//
// Threading: GUI thread only.

#include "host/snapin/clientsnapin.h"

#include <QPointer>
#include <string>
#include <vector>

namespace kav {

class TUIMapSeatShow;

class TCIMapSeatShow final : public IKavClientSnapIn {
public:
    TCIMapSeatShow() = default;
    ~TCIMapSeatShow() override;

    void SetContext(const std::string& Text) override { context_ = Text; }
    void Execute() override;
    void Shutdown() override;

    // The windows still open, oldest first.
    std::vector<TUIMapSeatShow*> Windows() const;

private:
    std::string context_;
    std::vector<QPointer<TUIMapSeatShow>> windows_;
};

} // namespace kav
