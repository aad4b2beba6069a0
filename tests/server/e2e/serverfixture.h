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

class ServerFixture : public ::testing::TestWithParam<Backend> {
protected:
    static constexpr std::uint32_t kMaxMessageBytes = 1u << 20;

    void SetUp() override;
    void TearDown() override;

    // Fills the fresh database before the server starts: by default the group and the three users above.
    virtual void FillDatabase();

    // A new connection to the hosted server.
    std::unique_ptr<pelio::TPelioClient> NewClient() const;
    // The signed context of a login through the service.
    std::string LoginAs(const std::string& user, const std::string& password);

    std::optional<test::TestDatabase> database_;
    std::unique_ptr<Connection> setup_; // the test's own connection for preparing and checking rows
    std::optional<TSessionSigner> sessions_;
    std::optional<ServerServices> services_;
    std::optional<pelio::TPelioServer> server_;
    std::unique_ptr<pelio::TPelioClient> client_;
};

} // namespace kav::server::e2e
