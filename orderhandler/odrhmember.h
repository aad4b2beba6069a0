#pragma once
// The member system as the order properties windows use it: an order's member and card, the card's
// balance, and the purchase posted to the member system once the tickets are out, in the way the
// site's member-system mode asks for:
//
//   Y  by server: name=value lines (MC_MemberID=, MC_Creater=, ... MC_ProductGroup=)
//   N  by SOAP:   a record and one price level line per level
//   H  by HTTP:   the form of "ConsumeInfoPost" (sbs_id=, store_id=, order_number=, ... CL_CostSum=, t=),
//                 accepted when the answer starts with "A00006"
//
// A posted value never breaks its record: line breaks inside it become blanks, and "|" inside a
// value of the "|"-joined price level lists becomes "/".
//
// Threading: GUI thread (the member system access works over the shared connection).

#include "host/camembersys.h"
#include "orderhandler/odrhrecords.h"

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace kav::orderhandler {

// The member-system modes.
inline constexpr const char* kMemberModeByServer = "Y";
inline constexpr const char* kMemberModeBySoap = "N";
inline constexpr const char* kMemberModeByHttp = "H";
// The answer of an accepted form post.
inline constexpr const char* kMemberPostAccepted = "A00006";

// The order's member as the member system knows it.
struct TOrderMemberInfoItem {
    std::string memberKey;
    std::string memberId;
    std::string isFeeMember; // a stored-value card: "Y"
    std::string balance;     // decimal text
    std::string mode;        // the member-system mode it was fetched in
    std::string cardNo;
    std::string groupCode;
    std::string cardPassword; // the password the seller typed once the server accepted it; never fetched
    std::string points;
    std::string swipeFlag; // "true": the card is swiped (number and password), "false": password only
    std::string className;
};

// The order belongs to a member: its member id is neither empty nor "-1".
bool IsMemberOrder(const TodrHOrderInfoRecord& order);

// The item of mode H, built without asking the member system: the balance "10000000" and no swipe.
TOrderMemberInfoItem LocalMemberInfo(const TodrHOrderInfoRecord& order, const std::string& groupCode);
TOrderMemberInfoItem MemberInfoOf(const TMemberUserInfo& member, const std::string& mode);

// The member of `memberId` from the member system. nullopt when it has none (told with "没有查到会员信息，
// 请与管理员联系！" when `promptWhenMissing`) or cannot be reached (told with "网络故障，无法查询到会员卡里的
// 金额，请与管理员联系！").
std::optional<TOrderMemberInfoItem> QueryOrderMemberInfo(TCAMemberSys& memberSys, const std::string& context,
                                                          const std::string& memberId, const std::string& mode,
                                                          bool promptWhenMissing);

// The card's balance the sale is checked against: the member's when the order is a stored-value
// member's and the member is known, else "0".
std::string GetMemberBalance(const TodrHOrderInfoRecord& order, const TOrderMemberInfoItem* member);

// One price level of an order, from the first seat of that level with a seat amount above 0.
struct TPriceLevelLine {
    std::string priceLevel;
    double price = 0;
    std::int32_t seatAmount = 0;
    double totalPrice = 0;
    std::int32_t discount = 0; // percent
};
std::vector<TPriceLevelLine> PriceLevelLines(const TodrHSeatInfoList& seats);
// Σ seat amount × price over the lines.
double PriceSum(const std::vector<TPriceLevelLine>& lines);
// The discount of the last line; 0 without lines.
std::int32_t LastDiscount(const std::vector<TPriceLevelLine>& lines);

// What a purchase post says besides the order: the pay mode's name and the seller.
struct TMemberPurchase {
    const TodrHOrderInfoRecord* order = nullptr;
    std::vector<TPriceLevelLine> lines;
    std::string payModeName;
    std::string userCode;
};

std::string ServerSaleInfoText(const TMemberPurchase& purchase);
TMemberInfoRecord SoapMemberInfo(const TMemberPurchase& purchase);
// `unixSeconds`: the t= field.
std::string FormPostLines(const TMemberPurchase& purchase, std::int64_t unixSeconds);

// Posts the purchase in the way of `mode` (any other mode: false). A refused form post shows the
// member system's answer. Raises what the member system access raises.
bool SaveMemberSaleInfo(TCAMemberSys& memberSys, const std::string& context, const TMemberPurchase& purchase,
                        bool noteFlag, const std::string& mode);

} // namespace kav::orderhandler
