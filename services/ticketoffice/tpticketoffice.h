#pragma once
// The ticket office binding: TTPTicketOffice (the client proxy), TTPTicketOffice_stub (registered
// under "ITPTicketOffice" when this library is loaded) and TTPTicketOffice_serv (the servant a
// server program derives and registers with ORBRegisterServantClass).
//
// Proxy methods raise what a remote call raises (see rpc/pelioclient.h); a packet argument that is not
// a byte array raises std::runtime_error before anything is sent. A proxy must not outlive its
// client and, like it, serves one thread.

#include "rpc/pelioclient.h"
#include "rpc/registry.h"
#include "services/ticketoffice/tpticketoffice_int.h"

namespace kav {

class TTPTicketOffice_proxy : public pelio::TPelioProxy, public ITPTicketOffice {
public:
    using pelio::TPelioProxy::TPelioProxy;

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

class TTPTicketOffice : public TTPTicketOffice_proxy {
public:
    using TTPTicketOffice_proxy::TTPTicketOffice_proxy;
};

// The server side's implementation base: one abstract method per operation, in interface order.
class TTPTicketOffice_serv : public pelio::TPelioServant, public ITPTicketOffice {
public:
    // Defined in the library, so that a server program deriving a servant always loads it, and
    // with it the stub's registration.
    ~TTPTicketOffice_serv() override;
};

class TTPTicketOffice_stub
    : public pelio::TRemoteStub<
          TTPTicketOffice_serv, ticketoffice_ops::GetProductPrivilege, ticketoffice_ops::GetSectionSeat,
          ticketoffice_ops::ReleaseSeat, ticketoffice_ops::GetSeat, ticketoffice_ops::OutputTicket,
          ticketoffice_ops::GetSaleClass, ticketoffice_ops::SaveFreeBookInfo, ticketoffice_ops::SaleAccount,
          ticketoffice_ops::ISAccountFail, ticketoffice_ops::GetTicketInfo,
          ticketoffice_ops::CreateOrderAndBooking, ticketoffice_ops::CreateOrderByBatch,
          ticketoffice_ops::BatchAccount, ticketoffice_ops::ReleaseBatch,
          ticketoffice_ops::GetSaleClassByBatch, ticketoffice_ops::GetSeatByBatch> {};

} // namespace kav
