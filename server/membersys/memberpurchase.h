#pragma once
// Member purchases (KAV_MEMBER_PURCHASE): what the member system keeps of a member's order once its
// tickets are printed, one row per order whatever way it was posted. The amount kept is the
// order's own receivables, the member the order's own; the posted text is kept as it came.

#include "server/db/database.h"
#include "server/ticketoffice/caller.h"

#include <string>
#include <string_view>

namespace kav::server {

// POSTWAY values.
inline constexpr char kPostByServer = 'S';
inline constexpr char kPostBySoap = 'O';
inline constexpr char kPostByForm = 'P';

// The most the posted text may hold.
inline constexpr std::size_t kMaxPurchaseDetail = 4000;

struct MemberPurchase {
    char way = kPostByServer;
    std::string orderCode;
    std::string memberId; // as posted; empty: not said
    std::string payModeName;
    std::string detail; // the posted text
    bool noteFlag = false;
    bool isMember = true; // false: an order without member, nothing to keep
};

// Keeps the purchase in one transaction; an order kept before is left as it is. Raises
// pelio::EosRemoteException for an unknown or unpaid order, an order without member, a member id
// that is not the order's and a text longer than kMaxPurchaseDetail.
void RecordMemberPurchase(Connection& connection, const Caller& caller, const MemberPurchase& purchase);

// The form post (ITPMemberSys.Post and the HTTP endpoint): `lines` are the form's fields as
// name=value lines. Answers kMemberPostAccepted ("A00006") when kept, else "E00001 " and why; an
// operation other than "ConsumeInfoPost" answers "E00002 ...".
std::string PostMemberPurchase(Connection& connection, const Caller& caller, const std::string& lines,
                               std::string_view operationName, bool noteFlag, bool isMember);

} // namespace kav::server
