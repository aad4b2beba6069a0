#pragma once
// TTestTicketOffice: a servant without business logic that answers every operation with a value
// of its result type, for trying the protocol by hand. Data packet results are byte arrays
// holding "<operation>|<argument>|..." (packets as their byte counts); Boolean results are true;
// Integer results are the total byte count of the packet arguments.

#include "services/ticketoffice/tpticketoffice.h"

namespace kav {

class TTestTicketOffice : public TTPTicketOffice_serv {
public:
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
};

} // namespace kav
