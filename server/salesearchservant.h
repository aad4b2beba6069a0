#pragma once
// TKavSaleSearchShow: whether the caller may collect the tickets ("3") or cancel the bookings ("4")
// of a performance, named by its code or by one of its orders' codes. The rule, and the groups
// denied an action (KAV_GROUP_ACTION_DENY): docs/services.md. Checks the session first; an unknown
// code or action raises EosRemoteException.

#include "server/serverservices.h"
#include "services/salesearchshow/tpsalesearchshow.h"

namespace kav::server {

class TKavSaleSearchShow final : public TTPSaleSearchShow_serv {
public:
    explicit TKavSaleSearchShow(const ServerServices& services) : services_(services) {}

    bool CanExecuteAction(const std::string& Context, const std::string& Code,
                          const std::string& Action) override;

private:
    const ServerServices& services_;
};

} // namespace kav::server
