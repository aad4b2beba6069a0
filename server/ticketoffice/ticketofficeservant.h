#pragma once
// TKavTicketOffice: the ticket office servant. Every operation first checks the caller's session;
// lookups read the caller's node only. OutputTicket makes the one ticket of a seat of a paid order
// and answers its ticket record; GetTicketInfo hands that ticket back for a reprint (ticketoutput.h).
// ReleaseSeat cancels a booked, unpaid order (ordercancel.h). Booking, batches and accounting
// (orderbooking.h, saleaccounting.h, bookinginfo.h beside this file) each run as one transaction and
// answer only what happened: a refused request raises EosRemoteException and changes nothing. The
// text formats and rules are in docs/ticket-office.md.

#include "server/serverservices.h"
#include "server/ticketoffice/orderbooking.h"
#include "services/ticketoffice/tpticketoffice.h"

namespace kav::server {

class TKavTicketOffice final : public TTPTicketOffice_serv {
public:
    // The answer of SaleAccount and BatchAccount: the orders were accounted.
    static constexpr std::int32_t kAccounted = 1;

    explicit TKavTicketOffice(const ServerServices& services) : services_(services) {}

    Variant GetProductPrivilege(const std::string& Context, const std::string& ProductCode) override;
    Variant GetSectionSeat(const std::string& Context, const std::string& ProductCode,
                           const std::string& SectionCode) override;
    bool ReleaseSeat(const std::string& Context, const std::string& OrderCode) override;
    Variant GetSeat(const std::string& Context, const std::string& SectionCode,
                    const std::string& ProductCode) override;
    Variant OutputTicket(const std::string& Context, const std::string& SeatCode,
                         const std::string& TicketType, const std::string& IsGift,
                         const std::string& SaleClassCode, const std::string& ProductCode) override;
    Variant GetSaleClass(const std::string& Context, const std::string& ProductCode) override;
    bool SaveFreeBookInfo(const std::string& Context, const std::string& ActionCode,
                          const std::string& SaleSort, const std::string& OrderCode,
                          const Variant& OrderData) override;
    std::int32_t SaleAccount(const std::string& Context, const std::string& AOrderParam,
                             const Variant& OrderData, const Variant& GroupSaleMoneyData,
                             const Variant& cdsPayModeMoneyData) override;
    bool ISAccountFail(const std::string& Context, const std::string& OrderCode) override;
    Variant GetTicketInfo(const std::string& Context, const std::string& OrderCode,
                          const std::string& SeatCode) override;
    Variant CreateOrderAndBooking(bool IsBookOrder, const std::string& Context,
                                  const std::string& ProductCode, const std::string& SectionCode,
                                  std::int32_t SeatNum, const Variant& cdsSeatDelta) override;
    Variant CreateOrderByBatch(const std::string& BatchCode, const std::string& Context,
                               const std::string& ProductCode, const std::string& SectionCode,
                               std::int32_t SeatNum, const Variant& cdsSeatDelta) override;
    bool ReleaseBatch(const std::string& Context, const std::string& BatchCode) override;
    std::int32_t BatchAccount(const std::string& Context, const std::string& AOrderParams,
                              const std::string& BatchCode, const Variant& OrderData,
                              const Variant& GroupSaleMoneyData, const Variant& ReportPayModeData) override;
    Variant GetSaleClassByBatch(const std::string& Context, const std::string& ProductCode,
                                const std::string& SaleClassCode) override;
    Variant GetSeatByBatch(const std::string& Context, const std::string& OrderCode) override;

private:
    // The caller's node code, after checking the session.
    std::string NodeOf(const std::string& context) const;
    // The caller, after checking the session.
    Caller CallerFor(const std::string& context) const;
    Variant Query(const std::string& sql);
    // Creates the order of `request` holding the packet's seats; answers the order's seats.
    Variant Book(const Caller& caller, BookingRequest request, const Variant& seatPacket);

    const ServerServices& services_;
};

} // namespace kav::server
