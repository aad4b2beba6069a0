#include "server/dbpipeservant.h"

#include "rpc/exceptions.h"
#include "rpc/pelioenv.h"
#include "server/access/auditlog.h"
#include "server/db/transaction.h"

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

template <class Work> auto TKavDBPipe::Run(const std::string& context, std::string_view sql, Work&& work) {
    const TContextText session = services_.sessions.Verify(context);
    Connection& connection = ThreadPipeConnection(services_.database);
    connection.SetPipeNode(session.Value(context_names::NodeCode));
    connection.SetMaxPacketBytes(MaxPacketBytes(services_.maxMessageBytes));
    try {
        return work(connection);
    } catch (const EResultTooLarge& e) {
        ResultTooLarge("多于 " + std::to_string(e.limit), services_.maxMessageBytes);
    } catch (const ECredentialColumn& e) {
        Connection& owner = ThreadConnection(services_.database);
        InTransaction(owner, [&] {
            WriteAudit(owner, {audit_kind::PipeRefused, session.Value(context_names::NodeCode),
                               session.Value(context_names::UserCode),
                               Environment() ? Environment()->Info.PeerAddress : std::string(),
                               e.column + ": " + std::string(sql)});
        });
        throw pelio::EosRemoteException(std::string(kCredentialColumnText) + e.column);
    }
}

Variant TKavDBPipe::GetData(const std::string& Context, const std::string& SQL) {
    return Run(Context, SQL, [&](Connection& connection) {
        return PacketResult(connection.GetData(SQL), services_.maxMessageBytes);
    });
}

Variant TKavDBPipe::GetMasterDetailData(const std::string& Context, const std::string& MasterSQL,
                                        const std::string& DetailName, const std::string& DetailSQL) {
    return Run(Context, MasterSQL + "\n" + DetailSQL, [&](Connection& connection) {
        return PacketResult(connection.GetMasterDetailData(MasterSQL, DetailName, DetailSQL),
                            services_.maxMessageBytes);
    });
}

std::int32_t TKavDBPipe::ExecSQL(const std::string& Context, const std::string& SQL) {
    return Run(Context, SQL, [&](Connection& connection) { return connection.ExecSQL(SQL); });
}

} // namespace kav::server
