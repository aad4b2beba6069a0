#include "services/dbpipe/tpdbpipe.h"

namespace kav {

namespace ops = dbpipe_ops;
using pelio::CallRemote;

namespace {
constexpr std::string_view I = kDBPipeInterface;

const bool registered = [] {
    pelio::ORBRegisterStubClass<TTPDBPipe_stub>(std::string(kDBPipeInterface));
    return true;
}();
} // namespace

TTPDBPipe_serv::~TTPDBPipe_serv() = default;

Variant TTPDBPipe_proxy::GetData(const std::string& Context, const std::string& SQL) {
    return CallRemote(*this, I, ops::GetData, Context, SQL);
}

Variant TTPDBPipe_proxy::GetMasterDetailData(const std::string& Context, const std::string& MasterSQL,
                                             const std::string& DetailName, const std::string& DetailSQL) {
    return CallRemote(*this, I, ops::GetMasterDetailData, Context, MasterSQL, DetailName, DetailSQL);
}

std::int32_t TTPDBPipe_proxy::ExecSQL(const std::string& Context, const std::string& SQL) {
    return CallRemote(*this, I, ops::ExecSQL, Context, SQL);
}

} // namespace kav
