#include "host/cadbpipe.h"

#include "host/orb.h"

namespace kav {

TCADBPipe::TCADBPipe() : TCADBPipe(ORB()) {}

TCADBPipe::TCADBPipe(pelio::TPelioClient& client) : pipe_(&client) {}

Variant TCADBPipe::GetData(const std::string& context, const std::string& sql) {
    return pipe_.GetData(context, sql);
}

std::int32_t TCADBPipe2::ExecSQL(const std::string& context, const std::string& sql) {
    return Pipe().ExecSQL(context, sql);
}

} // namespace kav
