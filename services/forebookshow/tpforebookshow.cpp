#include "services/forebookshow/tpforebookshow.h"

namespace kav {

namespace ops = forebookshow_ops;
using pelio::CallRemote;

namespace {
constexpr std::string_view I = kForeBookShowInterface;

const bool registered = [] {
    pelio::ORBRegisterStubClass<TTPForeBookShow_stub>(std::string(kForeBookShowInterface));
    return true;
}();
} // namespace

TTPForeBookShow_serv::~TTPForeBookShow_serv() = default;

std::int32_t TTPForeBookShow_proxy::MemberForeBookAccount(const std::string& Context,
                                                          const std::string& Params,
                                                          const Variant& AccountData,
                                                          const Variant& GroupData) {
    return CallRemote(*this, I, ops::MemberForeBookAccount, Context, Params, AccountData, GroupData);
}

std::int32_t TTPForeBookShow_proxy::ForeBookAccount_BL(const std::string& Context, const std::string& Params,
                                                       const Variant& AccountData, const Variant& GroupData,
                                                       const Variant& PayModeData) {
    return CallRemote(*this, I, ops::ForeBookAccount_BL, Context, Params, AccountData, GroupData,
                      PayModeData);
}

bool TTPForeBookShow_proxy::NewForeBookAccount(const std::string& Context, const std::string& OrderCode,
                                               const Variant& AccountData, const Variant& GroupData) {
    return CallRemote(*this, I, ops::NewForeBookAccount, Context, OrderCode, AccountData, GroupData);
}

bool TTPForeBookShow_proxy::CancelForeBook(const std::string& Context, const std::string& OrderCode) {
    return CallRemote(*this, I, ops::CancelForeBook, Context, OrderCode);
}

Variant TTPForeBookShow_proxy::GetForeBookSeat(const std::string& Context, const std::string& Code) {
    return CallRemote(*this, I, ops::GetForeBookSeat, Context, Code);
}

std::int32_t TTPForeBookShow_proxy::SetClientInfo(const std::string& Context, const Variant& ClientDelta) {
    return CallRemote(*this, I, ops::SetClientInfo, Context, ClientDelta);
}

} // namespace kav
