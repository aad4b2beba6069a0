#include "services/ticketoffice/tpticketoffice.h"

namespace kav {

namespace ops = ticketoffice_ops;
using pelio::CallRemote;

namespace {
constexpr std::string_view I = kTicketOfficeInterface;

// Registered when the library is loaded, so that a server linking it can publish the service.
const bool registered = [] {
    pelio::ORBRegisterStubClass<TTPTicketOffice_stub>(std::string(kTicketOfficeInterface));
    return true;
}();
} // namespace

TTPTicketOffice_serv::~TTPTicketOffice_serv() = default;

Variant TTPTicketOffice_proxy::GetProductPrivilege(const std::string& Context,
                                                   const std::string& ProductCode) {
    return CallRemote(*this, I, ops::GetProductPrivilege, Context, ProductCode);
}

Variant TTPTicketOffice_proxy::GetSectionSeat(const std::string& Context, const std::string& ProductCode,
                                              const std::string& SectionCode) {
    return CallRemote(*this, I, ops::GetSectionSeat, Context, ProductCode, SectionCode);
}

bool TTPTicketOffice_proxy::ReleaseSeat(const std::string& Context, const std::string& OrderCode) {
    return CallRemote(*this, I, ops::ReleaseSeat, Context, OrderCode);
}

Variant TTPTicketOffice_proxy::GetSeat(const std::string& Context, const std::string& SectionCode,
                                       const std::string& ProductCode) {
    return CallRemote(*this, I, ops::GetSeat, Context, SectionCode, ProductCode);
}

Variant TTPTicketOffice_proxy::OutputTicket(const std::string& Context, const std::string& SeatCode,
                                            const std::string& TicketType, const std::string& IsGift,
                                            const std::string& SaleClassCode,
                                            const std::string& ProductCode) {
    return CallRemote(*this, I, ops::OutputTicket, Context, SeatCode, TicketType, IsGift, SaleClassCode,
                      ProductCode);
}

Variant TTPTicketOffice_proxy::GetSaleClass(const std::string& Context, const std::string& ProductCode) {
    return CallRemote(*this, I, ops::GetSaleClass, Context, ProductCode);
}

bool TTPTicketOffice_proxy::SaveFreeBookInfo(const std::string& Context, const std::string& ActionCode,
                                             const std::string& SaleSort, const std::string& OrderCode,
                                             const Variant& OrderData) {
    return CallRemote(*this, I, ops::SaveFreeBookInfo, Context, ActionCode, SaleSort, OrderCode, OrderData);
}

std::int32_t TTPTicketOffice_proxy::SaleAccount(const std::string& Context, const std::string& AOrderParam,
                                                const Variant& OrderData, const Variant& GroupSaleMoneyData,
                                                const Variant& cdsPayModeMoneyData) {
    return CallRemote(*this, I, ops::SaleAccount, Context, AOrderParam, OrderData, GroupSaleMoneyData,
                      cdsPayModeMoneyData);
}

bool TTPTicketOffice_proxy::ISAccountFail(const std::string& Context, const std::string& OrderCode) {
    return CallRemote(*this, I, ops::ISAccountFail, Context, OrderCode);
}

Variant TTPTicketOffice_proxy::GetTicketInfo(const std::string& Context, const std::string& OrderCode,
                                             const std::string& SeatCode) {
    return CallRemote(*this, I, ops::GetTicketInfo, Context, OrderCode, SeatCode);
}

Variant TTPTicketOffice_proxy::CreateOrderAndBooking(bool IsBookOrder, const std::string& Context,
                                                     const std::string& ProductCode,
                                                     const std::string& SectionCode, std::int32_t SeatNum,
                                                     const Variant& cdsSeatDelta) {
    return CallRemote(*this, I, ops::CreateOrderAndBooking, IsBookOrder, Context, ProductCode, SectionCode,
                      SeatNum, cdsSeatDelta);
}

Variant TTPTicketOffice_proxy::CreateOrderByBatch(const std::string& BatchCode, const std::string& Context,
                                                  const std::string& ProductCode,
                                                  const std::string& SectionCode, std::int32_t SeatNum,
                                                  const Variant& cdsSeatDelta) {
    return CallRemote(*this, I, ops::CreateOrderByBatch, BatchCode, Context, ProductCode, SectionCode,
                      SeatNum, cdsSeatDelta);
}

bool TTPTicketOffice_proxy::ReleaseBatch(const std::string& Context, const std::string& BatchCode) {
    return CallRemote(*this, I, ops::ReleaseBatch, Context, BatchCode);
}

std::int32_t TTPTicketOffice_proxy::BatchAccount(const std::string& Context, const std::string& AOrderParams,
                                                 const std::string& BatchCode, const Variant& OrderData,
                                                 const Variant& GroupSaleMoneyData,
                                                 const Variant& ReportPayModeData) {
    return CallRemote(*this, I, ops::BatchAccount, Context, AOrderParams, BatchCode, OrderData,
                      GroupSaleMoneyData, ReportPayModeData);
}

Variant TTPTicketOffice_proxy::GetSaleClassByBatch(const std::string& Context, const std::string& ProductCode,
                                                   const std::string& SaleClassCode) {
    return CallRemote(*this, I, ops::GetSaleClassByBatch, Context, ProductCode, SaleClassCode);
}

Variant TTPTicketOffice_proxy::GetSeatByBatch(const std::string& Context, const std::string& OrderCode) {
    return CallRemote(*this, I, ops::GetSeatByBatch, Context, OrderCode);
}

} // namespace kav
