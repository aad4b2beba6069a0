#pragma once
// TCAShiftCloseReport: access class of the shift close report service (services/shiftclosereport), with its
// operation's name and parameter order. Created without arguments it works over the shared connection
// (ORB); given a client, over that one, which must outlive it. It raises what the proxy raises. Threading:
// that of its client.

#include "services/shiftclosereport/tpshiftclosereport.h"

#include <string>

namespace kav {

class TCAShiftCloseReport final {
public:
    TCAShiftCloseReport();
    explicit TCAShiftCloseReport(pelio::TPelioClient& client);
    TCAShiftCloseReport(const TCAShiftCloseReport&) = delete;
    TCAShiftCloseReport& operator=(const TCAShiftCloseReport&) = delete;

    Variant GetShiftClose(const std::string& context, const std::string& sellerCode,
                          const std::string& fromTime, const std::string& toTime);

private:
    TTPShiftCloseReport proxy_;
};

} // namespace kav
