#pragma once
// The server the report tests run against: kav-server hosted in this process over the demo database
// (seeded once per test program and backend) with the rows of reportcases.sql added. Tests log in as the
// demo users; the fixture's test parameter is the backend (SQLite always, PostgreSQL when KAV_TEST_PG is
// set).

#include "serverfixture.h" // tests/server/e2e

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

namespace kav::reports::test {

using server::Backend;

// The demo database of the backend with the report cases; created at the first call.
server::Database& ReportDatabase(Backend backend);

class ReportServerTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override;
    void TearDown() override;

    // A login's signed context on the fixture's connection.
    std::string LoginAs(const std::string& user, const std::string& password);
    int Port() const { return server_->Port(); }
    std::unique_ptr<pelio::TPelioClient> NewClient() const { return server_->NewClient(); }

    std::optional<server::e2e::HostedServer> server_;
    std::unique_ptr<pelio::TPelioClient> client_;
};

// Backend names for the instantiations.
std::string BackendTestName(const ::testing::TestParamInfo<Backend>& info);

} // namespace kav::reports::test
