#pragma once
// ITPTicketOffice: the ticket office service that sells, books, releases and prints seats.
// Requests name the interface "ITPTicketOffice" and the operation; arguments travel in the listed
// order. `Context` is the caller's session context text. Packets (OrderData, cdsSeatDelta, ...)
// are data packets as byte-array variants; results of type Variant are data packets too.

#include "rpc/peliocore.h"
#include "rpc/remote.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kav {

using pelio::Variant;

inline constexpr std::string_view kTicketOfficeInterface = "ITPTicketOffice";
inline constexpr pelio::TGUID IID_ITPTicketOffice{
    0x9A779C68, 0x0259, 0x4BD8, {0x97, 0x5C, 0x7E, 0x51, 0x99, 0x71, 0xF1, 0xE8}};

class ITPTicketOffice {
public:
    virtual ~ITPTicketOffice() = default;

    virtual Variant GetProductPrivilege(const std::string& Context, const std::string& ProductCode) = 0;
    virtual Variant GetSectionSeat(const std::string& Context, const std::string& ProductCode,
                                   const std::string& SectionCode) = 0;
    virtual bool ReleaseSeat(const std::string& Context, const std::string& OrderCode) = 0;
    virtual Variant GetSeat(const std::string& Context, const std::string& SectionCode,
                            const std::string& ProductCode) = 0;
    virtual Variant OutputTicket(const std::string& Context, const std::string& SeatCode,
                                 const std::string& TicketType, const std::string& IsGift,
                                 const std::string& SaleClassCode, const std::string& ProductCode) = 0;
    virtual Variant GetSaleClass(const std::string& Context, const std::string& ProductCode) = 0;
    virtual bool SaveFreeBookInfo(const std::string& Context, const std::string& ActionCode,
                                  const std::string& SaleSort, const std::string& OrderCode,
                                  const Variant& OrderData) = 0;
    virtual std::int32_t SaleAccount(const std::string& Context, const std::string& AOrderParam,
                                     const Variant& OrderData, const Variant& GroupSaleMoneyData,
                                     const Variant& cdsPayModeMoneyData) = 0;
    virtual bool ISAccountFail(const std::string& Context, const std::string& OrderCode) = 0;
    virtual Variant GetTicketInfo(const std::string& Context, const std::string& OrderCode,
                                  const std::string& SeatCode) = 0;
    virtual Variant CreateOrderAndBooking(bool IsBookOrder, const std::string& Context,
                                          const std::string& ProductCode, const std::string& SectionCode,
                                          std::int32_t SeatNum, const Variant& cdsSeatDelta) = 0;
    virtual Variant CreateOrderByBatch(const std::string& BatchCode, const std::string& Context,
                                       const std::string& ProductCode, const std::string& SectionCode,
                                       std::int32_t SeatNum, const Variant& cdsSeatDelta) = 0;
    virtual bool ReleaseBatch(const std::string& Context, const std::string& BatchCode) = 0;
    virtual std::int32_t BatchAccount(const std::string& Context, const std::string& AOrderParams,
                                      const std::string& BatchCode, const Variant& OrderData,
                                      const Variant& GroupSaleMoneyData,
                                      const Variant& ReportPayModeData) = 0;
    virtual Variant GetSaleClassByBatch(const std::string& Context, const std::string& ProductCode,
                                        const std::string& SaleClassCode) = 0;
    virtual Variant GetSeatByBatch(const std::string& Context, const std::string& OrderCode) = 0;
};

// The operations' wire declarations, shared by the proxy and the stub.
namespace ticketoffice_ops {
using namespace pelio::wire;
using I = ITPTicketOffice;
template <class R, class... A> using Op = pelio::TRemoteOperation<I, R, A...>;

inline constexpr Op<OleVariant, String, String> GetProductPrivilege{"GetProductPrivilege",
                                                                    &I::GetProductPrivilege};
inline constexpr Op<OleVariant, String, String, String> GetSectionSeat{"GetSectionSeat", &I::GetSectionSeat};
inline constexpr Op<Boolean, String, String> ReleaseSeat{"ReleaseSeat", &I::ReleaseSeat};
inline constexpr Op<OleVariant, String, String, String> GetSeat{"GetSeat", &I::GetSeat};
inline constexpr Op<OleVariant, String, String, String, String, String, String> OutputTicket{
    "OutputTicket", &I::OutputTicket};
inline constexpr Op<OleVariant, String, String> GetSaleClass{"GetSaleClass", &I::GetSaleClass};
inline constexpr Op<Boolean, String, String, String, String, Packet> SaveFreeBookInfo{"SaveFreeBookInfo",
                                                                                      &I::SaveFreeBookInfo};
inline constexpr Op<Integer, String, String, Packet, Packet, Packet> SaleAccount{"SaleAccount",
                                                                                 &I::SaleAccount};
inline constexpr Op<Boolean, String, String> ISAccountFail{"ISAccountFail", &I::ISAccountFail};
inline constexpr Op<OleVariant, String, String, String> GetTicketInfo{"GetTicketInfo", &I::GetTicketInfo};
inline constexpr Op<OleVariant, Boolean, String, String, String, Integer, Packet> CreateOrderAndBooking{
    "CreateOrderAndBooking", &I::CreateOrderAndBooking};
inline constexpr Op<OleVariant, String, String, String, String, Integer, Packet> CreateOrderByBatch{
    "CreateOrderByBatch", &I::CreateOrderByBatch};
inline constexpr Op<Boolean, String, String> ReleaseBatch{"ReleaseBatch", &I::ReleaseBatch};
inline constexpr Op<Integer, String, String, String, Packet, Packet, Packet> BatchAccount{"BatchAccount",
                                                                                          &I::BatchAccount};
inline constexpr Op<OleVariant, String, String, String> GetSaleClassByBatch{"GetSaleClassByBatch",
                                                                            &I::GetSaleClassByBatch};
inline constexpr Op<OleVariant, String, String> GetSeatByBatch{"GetSeatByBatch", &I::GetSeatByBatch};
} // namespace ticketoffice_ops

} // namespace kav
