#pragma once
// TSaleTicketCoreImpl: the sale core behind ISaleTicketCoreIntf. It charges an order through the
// fore-book accounting service after checking the agent group's sales ceiling and the member card's
// balance, has the customers registered (TUIClientInfoShowByClientTicket), asks the ticket office for
// each ticket and prints it on the performance's ticket face, and answers the order windows' look-ups
// over the data pipe. Every value in its SQL goes through SqlFormat.
//
// What it guarantees beyond the plain sequence of calls:
//   - AccountState belongs to the order it was set for: a state left by one order never lets another
//     order pass as already charged.
//   - Before the first ticket of a run is made, the face is checked (a performance without a usable
//     face is refused) and the printer opened (a dead printer is refused): nothing is numbered then.
//   - A run that stops at a seat after its ticket may have been made (the print failed, or the answer
//     was lost) marks the seat; the next run asks the ticket office for that seat's ticket first and
//     prints it instead of making a second one. Seats already printed for the same order are not
//     printed again by PrintTickets, even from a seat list made afresh (ReprintTickets does print
//     them). So every seat ends with exactly one ticket, printed once.
//   - Money is compared in whole cents.
//
// Lifetime: one per process (_SaleTicketCoreIntf), or one per test over its own connection; the access
// objects, the data module and the group component live as long as the core. GUI thread only.

#include "host/cadbpipe.h"
#include "host/caforebookshow.h"
#include "host/casalesearchshow.h"
#include "host/caticketfaceshow.h"
#include "host/caticketoffice.h"
#include "host/kavcontext.h"
#include "salecore/cdsaleticketcore.h"
#include "salecore/groupmaxsalemoney.h"
#include "salecore/usaleticketcoreintf.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kav {

class TSaleTicketCoreImpl final : public ISaleTicketCoreIntf {
public:
    // Over the shared connection (ORB).
    TSaleTicketCoreImpl();
    // Over `client`, which must outlive the core.
    explicit TSaleTicketCoreImpl(pelio::TPelioClient& client);
    ~TSaleTicketCoreImpl() override;

    Variant SelectOrder(const std::string& Context, const TSearchOrderCondition& Condition) override;
    bool ForeBookAccount(const std::string& Context, Tpt_OrderInfoList& Orders,
                         const std::string& GroupCode) override;
    Variant GetBookSeatInfo(const std::string& Context, const std::string& OrderCode) override;
    bool CancelOrder(const std::string& Context, const std::string& OrderCode) override;
    Variant GetForeBookSeat(const std::string& Context, const std::string& Code) override;
    // Raises ESaleTicketCore for a seat code that is not digits (bare or between apostrophes).
    Variant GetSectionData(const std::string& Context, const std::string& SeatCode) override;
    Variant GetIDTypeBriefData(const std::string& Context) override;
    bool UpdateClientInfo(const std::string& Context, const Variant& ClientData) override;
    std::string GetSectionGroupCode(const std::string& Context, const std::string& ProductCode,
                                    const std::string& SectionCode) override;
    TSaleAccount_Result SaleAccount_CNOH(const std::string& Context, const TSaleAccountCondition& Condition,
                                         const std::string& GroupCode,
                                         const std::vector<std::string>& CustomerData) override;
    TSaleAccount_Result SaleAccount_BL(const std::string& Context, const TSaleAccountCondition& Condition,
                                       const std::string& GroupCode,
                                       const std::vector<std::string>& CustomerData,
                                       const Variant& PayModeData) override;
    TPrintTicket_Result PrintTickets(const std::string& Context, const std::string& ProductCode,
                                     const std::string& SectionCode, const std::string& SectionGroupCode,
                                     const std::string& SaleClassCode, Tpt_SeatInfoList& Seats,
                                     TKavTicketFace& Face, std::string& OrderHandlerTime,
                                     const std::string& CustomText) override;
    TPrintTicket_Result ReprintTickets(const std::string& Context, const std::string& OrderCode,
                                       const std::string& ProductCode, const std::string& SectionCode,
                                       const std::string& SectionGroupCode, const std::string& SaleClassCode,
                                       Tpt_SeatInfoList& Seats, TKavTicketFace& Face) override;
    bool CanExecuteOrder(const std::string& Context, const std::string& OrderCode) override;
    bool CanCancelOrder(const std::string& Context, const std::string& OrderCode) override;
    void _Init_pt_SeatInfoList(Tpt_SeatInfoList& List, const std::vector<std::string>& SeatCodes,
                               const std::string& Context, const std::string& ProductCode,
                               const std::string& SaleClassCode, bool AllGift) override;
    TCancelForeBook_Result CancelForeBook(const std::string& Context, const std::string& OrderCode) override;

    TPrintATicketNotify GetOnAfterPrintATicket() const override { return onAfterPrintATicket_; }
    TNotifyEvent GetOnAfterPrintTickets() const override { return onAfterPrintTickets_; }
    TPrintATicketNotify GetOnBeforePrintATicket() const override { return onBeforePrintATicket_; }
    TNotifyEvent GetOnBeforePrintTickets() const override { return onBeforePrintTickets_; }
    int GetAccountState() const override { return accountState_; }
    void SetAccountState(int Value) override { accountState_ = Value; }
    void SetOnAfterPrintATicket(TPrintATicketNotify Value) override {
        onAfterPrintATicket_ = std::move(Value);
    }
    void SetOnAfterPrintTickets(TNotifyEvent Value) override { onAfterPrintTickets_ = std::move(Value); }
    void SetOnBeforePrintATicket(TPrintATicketNotify Value) override {
        onBeforePrintATicket_ = std::move(Value);
    }
    void SetOnBeforePrintTickets(TNotifyEvent Value) override { onBeforePrintTickets_ = std::move(Value); }

    // The ticket office's word that the order's accounting failed.
    bool AccountFail(const std::string& Context, const std::string& OrderCode);
    // Opens the registration window when UserRegType is "O" or "S"; true when the customers were
    // registered (or none are required). CustomerData: name=value lines pre-filling the first person.
    bool SetClientInfo(const std::string& Context, const std::string& ProductCode,
                       const std::vector<std::string>& CustomerData, const std::string& UserRegType,
                       const std::string& OrderCode);
    // Loads the group record for CreateGroup; when the ceiling does not allow Amount, tells the seller
    // and answers true.
    bool MoreThanGroupMaxSaleMoney(const std::string& Context, const std::string& CreateGroup, double Amount);

    TCDSaleTicketCore& DataModule() { return module_; }

private:
    // Operations call each other with the context they hold; loading it again would read from itself.
    void LoadContext(const std::string& Context) {
        if (&Context != &context_.GetAsString()) context_.SetAsString(Context);
    }
    const std::string& ContextText() const { return context_.GetAsString(); }
    Variant Query(const std::string& sql);

    // accounting
    void GetGroupMaxSaleMoney(const std::string& CreateGroup);
    bool NeedCountGroupMaxSaleMoney(const std::string& ProductCode);
    bool CheckMaxSaleMoney(double Amount);
    void AccountGroupActualSaleMoney(double Amount);
    TSaleAccount_Result SaleAccount(const TSaleAccountCondition& Condition, const std::string& GroupCode,
                                    const std::vector<std::string>& CustomerData, const Variant* PayModeData);
    void FillAccount(const std::string& OrderCode, const std::string& PayModeCode,
                     const std::string& CreditCardCode, double Amount);
    void KeepCollectedOrder(const Tpt_OrderInfo& Order);
    // The order whose tickets are being printed; another order starts with no seat printed or in doubt.
    void BeginSale(const std::string& OrderCode);

    // printing
    TPrintTicket_Result PrintRun(const std::string& Context, const std::string* ReprintOrder,
                                 const std::string& ProductCode, const std::string& SectionCode,
                                 const std::string& SectionGroupCode, const std::string& SaleClassCode,
                                 Tpt_SeatInfoList& Seats, TKavTicketFace& Face,
                                 std::string* OrderHandlerTime);
    bool FetchTicket(const std::string& OrderCode, const std::string& SeatCode);
    void UpdateTicketFace(const std::string& SectionCode, const std::string& SectionGroupCode);
    void BindFace(TKavTicketFace& Face);

    TKavContext context_;
    TKavTicketFace* face_ = nullptr;
    TCDSaleTicketCore module_;
    TCAForeBookShow foreBook_;
    TCATicketFaceShow ticketFaceShow_;
    TCATicketOffice ticketOffice_;
    TCASaleSearchShow saleSearch_;
    TCADBPipe2 pipe_;
    TGroupMaxSaleMoney groupMaxSaleMoney_;
    std::string sectionCode_;

    TPrintATicketNotify onAfterPrintATicket_, onBeforePrintATicket_;
    TNotifyEvent onAfterPrintTickets_, onBeforePrintTickets_;
    int accountState_ = OptNotAccount;
    std::string accountStateOrder_;       // the order AccountState speaks of
    std::string saleOrderCode_;           // the order being sold, whose tickets a retry may find made
    std::set<std::string> doubtfulSeats_; // a run stopped there after its ticket may have been made
    std::set<std::string> printedSeats_;  // printed for the sale order in this process
    std::optional<Variant> idTypes_;
};

// The seats of a sale with their gift marks: `giftNum` gifts come with every `ticketNum` bought. The
// seats are cut into as many suites as fit, each suite n div suites seats long (n = seat count);
// the last giftNum seats of each suite are gifts. No gifts without a suite's bought tickets.
std::vector<bool> GiftSeats(std::size_t seatCount, int giftNum, int ticketNum);

// True unless the member card pays (pay mode "M", MemberPay "Y"); then its balance (0 when the text is
// not a number) must cover the amount, compared in cents.
bool CheckMemberMoneyEnough(const TSaleAccountCondition& Condition);

// FitPIC: Extra up to and including its last "|", then Pic when Pic is not blank.
std::string FitPIC(const std::string& Extra, const std::string& Pic);

} // namespace kav
