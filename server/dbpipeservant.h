#pragma once
// TKavDBPipe: the data pipe servant. Checks the caller's session, then runs the statement on the
// connection thread's pipe connection (Database::ConnectPipe), which serves the session's node;
// database errors reach the caller with their message. A statement that reads or writes a
// credential column is refused with kCredentialColumnText and the column, and audited.

#include "server/serverservices.h"
#include "services/dbpipe/tpdbpipe.h"

#include <string_view>

namespace kav::server {

inline constexpr std::string_view kCredentialColumnText = "数据通道不能读取或修改受保护的列 ";

class TKavDBPipe final : public TTPDBPipe_serv {
public:
    explicit TKavDBPipe(const ServerServices& services) : services_(services) {}

    Variant GetData(const std::string& Context, const std::string& SQL) override;
    Variant GetMasterDetailData(const std::string& Context, const std::string& MasterSQL,
                                const std::string& DetailName, const std::string& DetailSQL) override;
    std::int32_t ExecSQL(const std::string& Context, const std::string& SQL) override;

private:
    // `work(connection)` on the pipe connection for the session of `context`; `sql` is what the
    // audit records of a refusal.
    template <class Work> auto Run(const std::string& context, std::string_view sql, Work&& work);

    const ServerServices& services_;
};

// The packet as a byte-array variant; raises EosRemoteException when it would not fit into a
// message of `maxMessageBytes`.
Variant PacketResult(std::string packet, std::uint32_t maxMessageBytes);

} // namespace kav::server
