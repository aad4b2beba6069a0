#include "services/ticketoffice/testticketoffice.h"

#include <initializer_list>

namespace kav {

namespace {

Variant Describe(std::string_view operation, std::initializer_list<std::string_view> arguments) {
    std::string text(operation);
    for (std::string_view argument : arguments) {
        text += '|';
        text += argument;
    }
    return Variant::ByteArray(std::move(text));
}

std::string SizeOf(const Variant& packet) {
    return std::to_string(packet.ByteArrayView().size());
}

std::int32_t TotalSize(std::initializer_list<const Variant*> packets) {
    std::size_t total = 0;
    for (const Variant* packet : packets)
        total += packet->ByteArrayView().size();
    return static_cast<std::int32_t>(total);
}

} // namespace

Variant TTestTicketOffice::GetProductPrivilege(const std::string& Context, const std::string& ProductCode) {
    return Describe("GetProductPrivilege", {Context, ProductCode});
}

Variant TTestTicketOffice::GetSectionSeat(const std::string& Context, const std::string& ProductCode,
                                          const std::string& SectionCode) {
    return Describe("GetSectionSeat", {Context, ProductCode, SectionCode});
}

bool TTestTicketOffice::ReleaseSeat(const std::string&, const std::string&) {
    return true;
}

Variant TTestTicketOffice::GetSeat(const std::string& Context, const std::string& SectionCode,
                                   const std::string& ProductCode) {
    return Describe("GetSeat", {Context, SectionCode, ProductCode});
}

Variant TTestTicketOffice::OutputTicket(const std::string& Context, const std::string& SeatCode,
                                        const std::string& TicketType, const std::string& IsGift,
                                        const std::string& SaleClassCode, const std::string& ProductCode) {
    return Describe("OutputTicket", {Context, SeatCode, TicketType, IsGift, SaleClassCode, ProductCode});
}

Variant TTestTicketOffice::GetSaleClass(const std::string& Context, const std::string& ProductCode) {
    return Describe("GetSaleClass", {Context, ProductCode});
}

bool TTestTicketOffice::SaveFreeBookInfo(const std::string&, const std::string&, const std::string&,
                                         const std::string&, const Variant&) {
    return true;
}

std::int32_t TTestTicketOffice::SaleAccount(const std::string&, const std::string&, const Variant& OrderData,
                                            const Variant& GroupSaleMoneyData,
                                            const Variant& cdsPayModeMoneyData) {
    return TotalSize({&OrderData, &GroupSaleMoneyData, &cdsPayModeMoneyData});
}

bool TTestTicketOffice::ISAccountFail(const std::string&, const std::string&) {
    return true;
}

Variant TTestTicketOffice::GetTicketInfo(const std::string& Context, const std::string& OrderCode,
                                         const std::string& SeatCode) {
    return Describe("GetTicketInfo", {Context, OrderCode, SeatCode});
}

Variant TTestTicketOffice::CreateOrderAndBooking(bool IsBookOrder, const std::string& Context,
                                                 const std::string& ProductCode,
                                                 const std::string& SectionCode, std::int32_t SeatNum,
                                                 const Variant& cdsSeatDelta) {
    return Describe("CreateOrderAndBooking", {IsBookOrder ? "true" : "false", Context, ProductCode,
                                              SectionCode, std::to_string(SeatNum), SizeOf(cdsSeatDelta)});
}

Variant TTestTicketOffice::CreateOrderByBatch(const std::string& BatchCode, const std::string& Context,
                                              const std::string& ProductCode, const std::string& SectionCode,
                                              std::int32_t SeatNum, const Variant& cdsSeatDelta) {
    return Describe("CreateOrderByBatch", {BatchCode, Context, ProductCode, SectionCode,
                                           std::to_string(SeatNum), SizeOf(cdsSeatDelta)});
}

bool TTestTicketOffice::ReleaseBatch(const std::string&, const std::string&) {
    return true;
}

std::int32_t TTestTicketOffice::BatchAccount(const std::string&, const std::string&, const std::string&,
                                             const Variant& OrderData, const Variant& GroupSaleMoneyData,
                                             const Variant& ReportPayModeData) {
    return TotalSize({&OrderData, &GroupSaleMoneyData, &ReportPayModeData});
}

Variant TTestTicketOffice::GetSaleClassByBatch(const std::string& Context, const std::string& ProductCode,
                                               const std::string& SaleClassCode) {
    return Describe("GetSaleClassByBatch", {Context, ProductCode, SaleClassCode});
}

Variant TTestTicketOffice::GetSeatByBatch(const std::string& Context, const std::string& OrderCode) {
    return Describe("GetSeatByBatch", {Context, OrderCode});
}

} // namespace kav
