#include "services/salesearchshow/tpsalesearchshow.h"

namespace kav {

namespace {
const bool registered = [] {
    pelio::ORBRegisterStubClass<TTPSaleSearchShow_stub>(std::string(kSaleSearchShowInterface));
    return true;
}();
} // namespace

TTPSaleSearchShow_serv::~TTPSaleSearchShow_serv() = default;

bool TTPSaleSearchShow_proxy::CanExecuteAction(const std::string& Context, const std::string& Code,
                                               const std::string& Action) {
    return pelio::CallRemote(*this, kSaleSearchShowInterface, salesearchshow_ops::CanExecuteAction, Context,
                             Code, Action);
}

} // namespace kav
