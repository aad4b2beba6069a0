#include "server/dbpipeservant.h"

#include "rpc/exceptions.h"

namespace kav::server {

namespace {
// Room in a response for its head, the environment block and the variant's own encoding.
constexpr std::uint32_t kResponseOverhead = 64 * 1024;

[[noreturn]] void ResultTooLarge(const std::string& size, std::uint32_t maxMessageBytes) {
    throw pelio::EosRemoteException("查询结果过大: " + size + " 字节, 超过消息上限 " +
                                    std::to_string(maxMessageBytes) + " 字节, 请缩小查询范围");
}

// The largest packet that fits into a response, for the connection to stop building a larger one.
std::size_t MaxPacketBytes(std::uint32_t maxMessageBytes) {
    return maxMessageBytes > kResponseOverhead ? maxMessageBytes - kResponseOverhead : 0;
}

} // namespace

Variant PacketResult(std::string packet, std::uint32_t maxMessageBytes) {
    if (packet.size() > MaxPacketBytes(maxMessageBytes))
        ResultTooLarge(std::to_string(packet.size()), maxMessageBytes);
    return Variant::ByteArray(std::move(packet));
}

Connection& TKavDBPipe::CheckedConnection(const std::string& context) {
    services_.sessions.Verify(context);
    Connection& connection = ThreadConnection(services_.database);
    connection.SetMaxPacketBytes(MaxPacketBytes(services_.maxMessageBytes));
    return connection;
}

Variant TKavDBPipe::GetData(const std::string& Context, const std::string& SQL) {
    try {
        return PacketResult(CheckedConnection(Context).GetData(SQL), services_.maxMessageBytes);
    } catch (const EResultTooLarge& e) {
        ResultTooLarge("多于 " + std::to_string(e.limit), services_.maxMessageBytes);
    }
}

Variant TKavDBPipe::GetMasterDetailData(const std::string& Context, const std::string& MasterSQL,
                                        const std::string& DetailName, const std::string& DetailSQL) {
    try {
        return PacketResult(CheckedConnection(Context).GetMasterDetailData(MasterSQL, DetailName, DetailSQL),
                            services_.maxMessageBytes);
    } catch (const EResultTooLarge& e) {
        ResultTooLarge("多于 " + std::to_string(e.limit), services_.maxMessageBytes);
    }
}

std::int32_t TKavDBPipe::ExecSQL(const std::string& Context, const std::string& SQL) {
    return CheckedConnection(Context).ExecSQL(SQL);
}

} // namespace kav::server
