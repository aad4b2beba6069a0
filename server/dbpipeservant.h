#pragma once
// TKavDBPipe: the data pipe servant. Checks the caller's session, then runs the statement on the
// connection thread's database connection; database errors reach the caller with their message.

#include "server/serverservices.h"
#include "services/dbpipe/tpdbpipe.h"

namespace kav::server {

class TKavDBPipe final : public TTPDBPipe_serv {
public:
    explicit TKavDBPipe(const ServerServices& services) : services_(services) {}

    Variant GetData(const std::string& Context, const std::string& SQL) override;
    Variant GetMasterDetailData(const std::string& Context, const std::string& MasterSQL,
                                const std::string& DetailName, const std::string& DetailSQL) override;
    std::int32_t ExecSQL(const std::string& Context, const std::string& SQL) override;

private:
    Connection& CheckedConnection(const std::string& context);

    const ServerServices& services_;
};

// The packet as a byte-array variant; raises EosRemoteException when it would not fit into a
// message of `maxMessageBytes`.
Variant PacketResult(std::string packet, std::uint32_t maxMessageBytes);

} // namespace kav::server
