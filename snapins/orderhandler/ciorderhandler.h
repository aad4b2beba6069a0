#pragma once
// TCIOrderHandler: the snap-in "CIOrderHandler" through which the client shell opens the order handler.
// The package registers it when it is loaded and withdraws it when it is unloaded.
//
// Execute installs the order properties windows that "订单取票" opens (when none are installed), creates
// the one order handler window of the process (UIOrderHandler) when there is none, hands
// it the stored context (which makes the window re-read rights and reset its search panel) and shows it
// in the shell's main window; Shutdown, and the destructor, free the window, so a later Execute starts a
// fresh one.
//
// Threading: GUI thread only.

#include "host/snapin/clientsnapin.h"

#include <string>

namespace kav::orderhandler {

class TCIOrderHandler final : public IKavClientSnapIn {
public:
    TCIOrderHandler() = default;
    ~TCIOrderHandler() override;
    TCIOrderHandler(const TCIOrderHandler&) = delete;
    TCIOrderHandler& operator=(const TCIOrderHandler&) = delete;

    void SetContext(const std::string& Text) override;
    void Execute() override;
    void Shutdown() override;

private:
    std::string context_;
};

} // namespace kav::orderhandler
