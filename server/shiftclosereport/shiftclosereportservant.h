#pragma once
// TKavShiftCloseReport: the shift close report servant (services/shiftclosereport). It checks the session,
// the seller and the caller's right to see that seller, and the period, then reads the lines
// (shiftclose.h) in one transaction, so that they agree with each other.
//
// A seller other than the caller must be within the caller's reach by the order-handler rights of module
// "2" (the user's own row before the group's): group scope 0 the caller's own group, negative the groups of
// the caller's owning centre, positive every group of the node.

#include "server/serverservices.h"
#include "services/shiftclosereport/tpshiftclosereport.h"

namespace kav::server {

class TKavShiftCloseReport final : public TTPShiftCloseReport_serv {
public:
    explicit TKavShiftCloseReport(const ServerServices& services) : services_(services) {}

    Variant GetShiftClose(const std::string& Context, const std::string& SellerCode,
                          const std::string& FromTime, const std::string& ToTime) override;

private:
    const ServerServices& services_;
};

} // namespace kav::server
