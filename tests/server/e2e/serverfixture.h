#pragma once
// A kav-server hosted in this process on an ephemeral port over a fresh database of the test's
// backend (SQLite always, PostgreSQL when KAV_TEST_PG names a database), with a sales group "G01" of node
// "01" and three users:
//   demo / demo      a valid seller
//   clerk / 柜台'1   a valid seller whose password holds an apostrophe and Chinese text
//   gone / gone      a disabled user

#include "rpc/exceptions.h"
#include "rpc/pelioclient.h"
#include "rpc/pelioserver.h"
#include "server/db/database.h"
#include "server/db/testdatabase.h" // tests/server/db
#include "server/serverservices.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

namespace kav::server::e2e {

std::string PasswordHash(const std::string& password);

// The message of the EosRemoteException that `call` raises; fails the test when it raises none.
template <class Call> std::string RemoteError(Call&& call) {
    try {
        call();
    } catch (const pelio::EosRemoteException& e) {
        return e.what();
    }
    ADD_FAILURE() << "no EosRemoteException";
    return {};
}

// kav-server's services hosted in this process on an ephemeral port over `database`, which must outlive
// it. The services are registered with the process-wide registry, so one hosted server at a time.
class HostedServer final {
public:
    static constexpr std::uint32_t kMaxMessageBytes = 1u << 20;

    explicit HostedServer(Database& database);
    ~HostedServer(); // joins the connection threads and with them their database connections
    HostedServer(const HostedServer&) = delete;
    HostedServer& operator=(const HostedServer&) = delete;

    int Port() const;
    // A new connection to the hosted server.
    std::unique_ptr<pelio::TPelioClient> NewClient() const;
    // For tests that change the server's settings or host more of the services.
    pelio::TPelioServer& Server() { return *server_; }
    const ServerServices& Services() const { return services_; }

private:
    TSessionSigner sessions_;
    ServerServices services_;
    std::optional<pelio::TPelioServer> server_;
};

// The signed context of a login through the service on `client`.
std::string LoginAs(pelio::TPelioClient& client, const std::string& user, const std::string& password);

class ServerFixture : public ::testing::TestWithParam<Backend> {
protected:
    static constexpr std::uint32_t kMaxMessageBytes = HostedServer::kMaxMessageBytes;

    void SetUp() override;
    void TearDown() override;

    // Fills the fresh database before the server starts: by default the group and the three users above.
    virtual void FillDatabase();

    // A new connection to the hosted server.
    std::unique_ptr<pelio::TPelioClient> NewClient() const { return server_->NewClient(); }
    // The signed context of a login through the service.
    std::string LoginAs(const std::string& user, const std::string& password) {
        return e2e::LoginAs(*client_, user, password);
    }

    std::optional<test::TestDatabase> database_;
    std::unique_ptr<Connection> setup_; // the test's own connection for preparing and checking rows
    std::optional<HostedServer> server_;
    std::unique_ptr<pelio::TPelioClient> client_;
};

} // namespace kav::server::e2e
