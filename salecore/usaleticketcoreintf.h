#pragma once
// The sale ticket core's interface (ISaleTicketCoreIntf): what the order windows call to search
// booked orders, account (charge) an order, register its customers, print and reprint its tickets
// and cancel it; with its records, owning lists, result codes and the user message of each code.
//
// One core serves the process (_SaleTicketCoreIntf), on the GUI thread only; nothing here locks.
// Remote failures inside an operation are caught by the core and turned into result codes, their
// text kept as the last error message (_GetLastSaleCoreErrorMsg); _ResultSaleTicketCoreMsg gives
// the message a window shows for a code.

#include "platform/core/datetime.h"
#include "platform/core/ownedlist.h"
#include "rpc/variant.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kav {

using pelio::Variant;

// The ticket face component that prints one ticket from the current records.
class TKavTicketFace;

// One seat to print.
struct Tpt_SeatInfo {
    std::string SeatCode;
    bool IsGift = false;  // a gift (free) ticket; sent as "Y"/"N" when the ticket is produced
    bool Printed = false; // set once printed; later print runs skip it
};

// One booked order as the order search returns it.
struct Tpt_OrderInfo {
    std::string ProductCode;
    std::string OrderCode;
    TDateTime CreateTime = 0;
    std::string PriceLevel;
    std::string Price;
    std::string SeatCount;
    double Receivables = 0; // the amount due
    std::string ClientLevel;
    std::string CName; // the customer's name
    std::string Tel;
    std::string Discount;
    std::string CreateUser;
    std::string OrderStatus; // "B" booked
    std::string Payee;
    TDateTime GatheringTime = 0;
    std::string SaleClassCode;
    std::string IsGift;
    std::string UserRegType; // as TSaleAccountCondition::UserRegType
};

// The parameters of one accounting.
struct TSaleAccountCondition {
    std::string OrderCode;
    std::string PayModeCode; // "M" = member card
    std::string CreditCardCode;
    std::string CreateGroup; // the creating group whose sale-money record is charged
    std::string ProductCode;
    std::string UserRegType;    // customer registration: "O" per order, "S" per seat, anything else none
    std::string MemberID;       // carried, not used by the core
    std::string MemberPay;      // "Y" when the member card pays
    std::string MemberBalance;  // the card's balance, decimal text
    std::string MemberPassword; // the card password as typed
    std::string MemberCard;
    std::string OrderStatus; // passed on to the server
    double Amount = 0;       // the amount of this sale
};

struct TSearchOrderCondition {
    TDateTime BeginTime = 0;
    TDateTime EndTime = 0;
    std::string CustomerName;
};

enum TPrintTicket_Result { R_PT_OK, R_PT_UNKNOWERROR, R_PT_OUTPUTTICKETFAILED };
enum TSaleAccount_Result {
    R_SA_OK,
    R_SA_UNKNOWERROR,
    R_SA_OVERGROUPMAXSALEMONEY,
    R_SA_ACCOUNTFAILED,
    R_SA_POSTCLIENTINFOFAILED,
    R_SA_CHECKMEMBERMONEYFAILED,
    R_SA_MEMBERPAYPASSWORDEROR,
    R_SA_MEMBERPAYSERVEREROR
};
enum TCancelForeBook_Result { R_CF_OK, R_CF_UNKNOWERROR, R_CF_CANCELFOREBOOKFAILED };
enum TAccountOption { OptNotAccount, OptAccountFail, OptAccountSuccess };

// Called with the full seat name of the ticket.
using TPrintATicketNotify = std::function<void(const std::string&)>;
using TNotifyEvent = std::function<void()>;

// Lists that own their records: a record removed from the list, or left in it when it is cleared
// or destroyed, is freed.
class Tpt_SeatInfoList : public TOwnedList<Tpt_SeatInfo> {
public:
    // The first record whose seat code equals `SeatCode` exactly; null when there is none.
    Tpt_SeatInfo* Find(const std::string& SeatCode) const;
    // Appends every seat code in list order.
    void GetSeatCodes(std::vector<std::string>& Strings) const;
};

class Tpt_OrderInfoList : public TOwnedList<Tpt_OrderInfo> {};

// The package's exception class.
class ESaleTicketCore : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// `Context` is always the caller's session context text. Customer data are name=value lines.
class ISaleTicketCoreIntf {
public:
    virtual ~ISaleTicketCoreIntf() = default;

    virtual Variant SelectOrder(const std::string& Context, const TSearchOrderCondition& Condition) = 0;
    virtual bool ForeBookAccount(const std::string& Context, Tpt_OrderInfoList& Orders,
                                 const std::string& GroupCode) = 0;
    virtual Variant GetBookSeatInfo(const std::string& Context, const std::string& OrderCode) = 0;
    virtual bool CancelOrder(const std::string& Context, const std::string& OrderCode) = 0;
    virtual Variant GetForeBookSeat(const std::string& Context, const std::string& Code) = 0;
    virtual Variant GetSectionData(const std::string& Context, const std::string& SeatCode) = 0;
    virtual Variant GetIDTypeBriefData(const std::string& Context) = 0;
    virtual bool UpdateClientInfo(const std::string& Context, const Variant& ClientData) = 0;
    virtual std::string GetSectionGroupCode(const std::string& Context, const std::string& ProductCode,
                                            const std::string& SectionCode) = 0;
    virtual TSaleAccount_Result SaleAccount_CNOH(const std::string& Context,
                                                 const TSaleAccountCondition& Condition,
                                                 const std::string& GroupCode,
                                                 const std::vector<std::string>& CustomerData) = 0;
    virtual TSaleAccount_Result SaleAccount_BL(const std::string& Context,
                                               const TSaleAccountCondition& Condition,
                                               const std::string& GroupCode,
                                               const std::vector<std::string>& CustomerData,
                                               const Variant& PayModeData) = 0;
    virtual TPrintTicket_Result PrintTickets(const std::string& Context, const std::string& ProductCode,
                                             const std::string& SectionCode,
                                             const std::string& SectionGroupCode,
                                             const std::string& SaleClassCode, Tpt_SeatInfoList& Seats,
                                             TKavTicketFace& Face, std::string& OrderHandlerTime,
                                             const std::string& CustomText) = 0;
    virtual TPrintTicket_Result ReprintTickets(const std::string& Context, const std::string& OrderCode,
                                               const std::string& ProductCode, const std::string& SectionCode,
                                               const std::string& SectionGroupCode,
                                               const std::string& SaleClassCode, Tpt_SeatInfoList& Seats,
                                               TKavTicketFace& Face) = 0;
    virtual bool CanExecuteOrder(const std::string& Context, const std::string& OrderCode) = 0;
    virtual bool CanCancelOrder(const std::string& Context, const std::string& OrderCode) = 0;
    virtual void _Init_pt_SeatInfoList(Tpt_SeatInfoList& List, const std::vector<std::string>& SeatCodes,
                                       const std::string& Context, const std::string& ProductCode,
                                       const std::string& SaleClassCode, bool AllGift) = 0;
    virtual TCancelForeBook_Result CancelForeBook(const std::string& Context,
                                                  const std::string& OrderCode) = 0;

    virtual TPrintATicketNotify GetOnAfterPrintATicket() const = 0;
    virtual TNotifyEvent GetOnAfterPrintTickets() const = 0;
    virtual TPrintATicketNotify GetOnBeforePrintATicket() const = 0;
    virtual TNotifyEvent GetOnBeforePrintTickets() const = 0;
    // TAccountOption as an integer.
    virtual int GetAccountState() const = 0;
    virtual void SetAccountState(int Value) = 0;
    virtual void SetOnAfterPrintATicket(TPrintATicketNotify Value) = 0;
    virtual void SetOnAfterPrintTickets(TNotifyEvent Value) = 0;
    virtual void SetOnBeforePrintATicket(TPrintATicketNotify Value) = 0;
    virtual void SetOnBeforePrintTickets(TNotifyEvent Value) = 0;
};

// The process-wide core, created at the first call (TSaleTicketCoreImpl); every caller shares it.
ISaleTicketCoreIntf& _SaleTicketCoreIntf();

// The last error message: set by the core's operations when they catch a failure.
const std::string& _GetLastSaleCoreErrorMsg();
void SetLastSaleCoreErrorMsg(std::string Message);

// The message a window shows for a result; empty for the OK codes.
std::string _ResultSaleTicketCoreMsg(TPrintTicket_Result Result);
std::string _ResultSaleTicketCoreMsg(TSaleAccount_Result Result);
std::string _ResultSaleTicketCoreMsg(TCancelForeBook_Result Result);

// The seats of the sale in progress, shared with the customer registration window; created at the
// first call and freed when the package unloads.
Tpt_SeatInfoList& pt_SeatInfoList();

} // namespace kav
