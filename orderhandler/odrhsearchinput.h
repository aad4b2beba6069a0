#pragma once
// From what the search panel holds to the conditions of a detail search: the checks the user's rights
// demand, and the condition record the order provider turns into SQL.

#include "host/kavcontext.h"
#include "host/orderhandlerrights.h"
#include "orderhandler/odrhsearchcondition.h"
#include "orderhandler/odrhtypes.h"

#include <optional>
#include <string>
#include <utility>

namespace kav::orderhandler {

using TTimeRange = std::pair<TDateTime, TDateTime>;

// The search panel's values; texts as typed.
struct TDetailSearchInput {
    // The order sources the user may view (codes "2", "3"); the panel offers them and "全部".
    std::vector<std::string> viewableSources;
    // The chosen source's code, or empty for "全部".
    std::string orderFrom;
    std::string orderStatus = kStatusPaidOrCollected; // B, A, C, R, RA or ALL
    bool productRequired = false;                     // the product combo shows "自定义"
    std::string productCodes;                         // element 0 of TSelectedProducts
    std::string customerType;                         // CLIENTTYPE; empty for the empty entry
    std::string certificateType;                      // CERTIFICATETYPE; empty for the empty entry
    std::string customerName;
    std::string telephone;
    std::string cellPhone;
    std::string identityNumber;
    std::string memberCardNo;
    std::string comment;
    std::string email;
    std::optional<TTimeRange> createTime; // none for "无限制"
    std::optional<TTimeRange> handlerTime;
    std::optional<TTimeRange> failDate; // dates only
};

// Raises EodrSearchCondition for the first condition that is missing, in this order: no order source
// offered, "自定义" product without a product, and the name, telephone and certificate the rights
// demand.
void ValidateDetailSearch(const TDetailSearchInput& input, const ISPOrderHandler& rights);

// The condition of the search. Texts are taken trimmed; an empty one takes no part. "全部" searches the
// sources the user may view: every order when both, else the one. For online orders (source 3) the
// statuses B and C are searched as the N and U they store. The group restriction follows the user's
// scope: against the context's owner code for a negative scope, else its group code.
TOrderHandlerSearchCondition MakeSearchCondition(const TDetailSearchInput& input, const ISPOrderHandler& rights,
                                                 const TKavContext& context);

} // namespace kav::orderhandler
