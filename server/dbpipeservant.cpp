#include "server/dbpipeservant.h"

#include "rpc/exceptions.h"

namespace kav::server {

namespace {
// Room in a response for its head, the environment block and the variant's own encoding.
constexpr std::uint32_t kResponseOverhead = 64 * 1024;
} // namespace

Variant PacketResult(std::string packet, std::uint32_t maxMessageBytes) {
    const std::uint64_t needed = std::uint64_t{packet.size()} + kResponseOverhead;
    if (needed > maxMessageBytes)
        throw pelio::EosRemoteException("查询结果过大: " + std::to_string(packet.size()) +
                                        " 字节, 超过消息上限 " + std::to_string(maxMessageBytes) +
                                        " 字节, 请缩小查询范围");
    return Variant::ByteArray(std::move(packet));
}

Connection& TKavDBPipe::CheckedConnection(const std::string& context) {
    services_.sessions.Verify(context);
    return ThreadConnection(services_.database);
}

Variant TKavDBPipe::GetData(const std::string& Context, const std::string& SQL) {
    return PacketResult(CheckedConnection(Context).GetData(SQL), services_.maxMessageBytes);
}

Variant TKavDBPipe::GetMasterDetailData(const std::string& Context, const std::string& MasterSQL,
                                        const std::string& DetailName, const std::string& DetailSQL) {
    return PacketResult(CheckedConnection(Context).GetMasterDetailData(MasterSQL, DetailName, DetailSQL),
                        services_.maxMessageBytes);
}

std::int32_t TKavDBPipe::ExecSQL(const std::string& Context, const std::string& SQL) {
    return CheckedConnection(Context).ExecSQL(SQL);
}

} // namespace kav::server
