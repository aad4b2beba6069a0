#pragma once
// TCAMemberSys: access to the member system (ITPMemberSys) with the member system's own records.
// Created without arguments it works over the shared connection (ORB); given a client it works over
// that one, which must outlive it. It raises what a remote call raises (EosRemoteException with
// the server's text, EosException for a lost connection). Threading: that of its client.
//
// A member's card password never reaches the client: CheckCardPassword asks the server.

#include "services/membersys/tpmembersys.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kav {

// One condition of a member query; an unused condition takes no part.
struct TQueryUserInfoCondition {
    std::string Value;
    bool Used = false;
};

// A member query: members matching every used condition. No used condition finds nobody.
struct TQueryUserInfoConditionRecord {
    TQueryUserInfoCondition MemberID;
    TQueryUserInfoCondition CardNo;
    TQueryUserInfoCondition CName;
    TQueryUserInfoCondition CellPhone;
};

struct TMemberUserInfo {
    std::string MemberKey; // the member's record in the member system
    std::string MemberID;
    bool IsFeeMember = false; // a stored-value card
    double Balance = 0;
    std::string CardNo;
    std::string GroupCode;
    std::int64_t Points = 0;
    bool IsSwipe = false; // the card must be swiped (card number and password), not only its password
    std::string ClassName;
    std::string CName;
    std::string CellPhone;
};
using TMemberUserInfoList = std::vector<TMemberUserInfo>;

// One price level line of a purchase, as the member system takes it: texts.
struct TTicketInfoRecord {
    std::string PriceLevel;
    std::string Price;
    std::string SeatAmount;
    std::string TotalPrice;
};
using TTicketInfoRecordList = std::vector<TTicketInfoRecord>;

// A member's purchase as the SOAP way posts it. Texts as the caller formats them.
struct TMemberInfoRecord {
    std::string HandlerTime;
    std::string PriceSum;
    std::string Cost;     // the receivable amount
    std::string CostType; // the pay mode's name
    std::string MemberID;
    std::string Discount;
    std::string ShippingWay;
    std::string Address;
    std::string UserName; // the customer's name
    std::string PhoneNumber;
    std::string PostMemo; // the shipping comment
    std::string Creater;  // the user code of the seller
    std::string WareCode; // the product
    std::string WareName;
    std::string WareTime; // the performance time
    std::string PlaceName;
    std::string OrderCode;
    std::string OrderSource;
    std::string SaleClassName;
    std::string InvoiceHead;
    std::string IsOneCard;
    std::string Group;
    std::string ProductGroup;
    TTicketInfoRecordList Tickets;
};

class TCAMemberSys {
public:
    TCAMemberSys();
    explicit TCAMemberSys(pelio::TPelioClient& client);
    virtual ~TCAMemberSys() = default;
    TCAMemberSys(const TCAMemberSys&) = delete;
    TCAMemberSys& operator=(const TCAMemberSys&) = delete;

    // `Mode` is the member-system mode letter: Y, N or H.
    TMemberUserInfoList QueryUserInfo(const std::string& Context,
                                      const TQueryUserInfoConditionRecord& Condition,
                                      const std::string& Mode);
    // True when the card exists on the session's node and the password is its password.
    bool CheckCardPassword(const std::string& Context, const std::string& CardNo,
                           const std::string& Password);
    // `SaleInfo`: the name=value lines of the by-server way.
    bool SaveSaleInfoByServer(const std::string& Context, const std::string& OrderCode,
                              const std::string& SaleInfo, bool NoteFlag, bool IsMember);
    bool SaveSaleInfoBySOAP(const std::string& Context, const TMemberInfoRecord& Info, bool IsMember,
                            bool NoteFlag);
    // `Lines`: the name=value lines of the form post. Answers the member system's response text,
    // which starts with kMemberPostAccepted when the purchase was recorded.
    std::string Post(const std::string& Context, const std::string& Lines, const std::string& OperationName,
                     bool NoteFlag, bool IsMember);

    // The texts that travel: the condition and the record as name=value lines, the record's
    // price level lines as a data packet (PRICELEVEL, PRICE, SEATAMOUNT, TOTALPRICE). A line break
    // inside a value becomes a blank.
    static std::string ConditionText(const TQueryUserInfoConditionRecord& Condition);
    static std::string MemberInfoText(const TMemberInfoRecord& Info);
    static Variant TicketInfoPacket(const TTicketInfoRecordList& Tickets);

private:
    TTPMemberSys memberSys_;
};

} // namespace kav
