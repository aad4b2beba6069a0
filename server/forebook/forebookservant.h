#pragma once
// TKavForeBookShow: the fore-book accounting servant. Accounting reuses the ticket office's
// (ticketoffice/saleaccounting.h), a paid order not yet collected being a collection; cancelling
// reuses ticketoffice/ordercancel.h; registrations ticketoffice/bookinginfo.h. Every operation
// checks the session first, runs as one transaction and raises EosRemoteException for a refusal,
// changing nothing. What each operation does: docs/services.md.

#include "server/serverservices.h"
#include "services/forebookshow/tpforebookshow.h"

namespace kav::server {

class TKavForeBookShow final : public TTPForeBookShow_serv {
public:
    // The answer of the accounting operations: accounted, or nothing left to charge.
    static constexpr std::int32_t kAccounted = 1;

    explicit TKavForeBookShow(const ServerServices& services) : services_(services) {}

    std::int32_t MemberForeBookAccount(const std::string& Context, const std::string& Params,
                                       const Variant& AccountData, const Variant& GroupData) override;
    std::int32_t ForeBookAccount_BL(const std::string& Context, const std::string& Params,
                                    const Variant& AccountData, const Variant& GroupData,
                                    const Variant& PayModeData) override;
    bool NewForeBookAccount(const std::string& Context, const std::string& OrderCode,
                            const Variant& AccountData, const Variant& GroupData) override;
    bool CancelForeBook(const std::string& Context, const std::string& OrderCode) override;
    Variant GetForeBookSeat(const std::string& Context, const std::string& Code) override;
    std::int32_t SetClientInfo(const std::string& Context, const Variant& ClientDelta) override;

private:
    std::int32_t Account(const std::string& context, const std::string& params, const Variant& accountData,
                         const Variant& groupData, const Variant& payModeData);

    const ServerServices& services_;
};

} // namespace kav::server
