#pragma once
// ITPSaleSearchShow: may the caller perform an action on a performance's orders? `Code` is a
// product code or an order code (taken as its order's product); `Action` "3" collects tickets,
// "4" cancels a booking. The answer follows the performance's state and the caller's group
// (docs/services.md); an unknown code or action raises EosRemoteException in the caller.

#include "rpc/remote.h"

#include <string>
#include <string_view>

namespace kav {

inline constexpr std::string_view kSaleSearchShowInterface = "ITPSaleSearchShow";

// Action codes.
inline constexpr std::string_view kActionExecuteOrder = "3";
inline constexpr std::string_view kActionCancelOrder = "4";

class ITPSaleSearchShow {
public:
    virtual ~ITPSaleSearchShow() = default;

    virtual bool CanExecuteAction(const std::string& Context, const std::string& Code,
                                  const std::string& Action) = 0;
};

namespace salesearchshow_ops {
using namespace pelio::wire;
using I = ITPSaleSearchShow;

inline constexpr pelio::TRemoteOperation<I, Boolean, String, String, String> CanExecuteAction{
    "CanExecuteAction", &I::CanExecuteAction};
} // namespace salesearchshow_ops

} // namespace kav
