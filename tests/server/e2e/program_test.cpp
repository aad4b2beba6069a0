// The kav-server program as a child process: start-up line, login over the network, connection
// log, clean stop on SIGTERM and SIGINT, refused command lines, schema upgrades at start, servers
// sharing sessions.

#include "host/cadbpipe.h"
#include "platform/dataset/clientdataset.h"
#include "server/db/schemasetup.h"
#include "serverfixture.h"
#include "serverprocess.h"
#include "services/login/tplogin.h"
#include "testdatabase.h"

#include <csignal>
#include <optional>
#include <gtest/gtest.h>
#include <random>
#include <unistd.h>

using namespace kav;
using namespace kav::server;
using kav::server::e2e::ListeningPortOf;
using kav::server::e2e::ServerProcess;

namespace {

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("kav-program-" + std::to_string(getpid()) + "-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(folder_);
        url_ = "sqlite:" + (folder_ / "kav.db").string();
        const auto database = Database::Open(url_);
        database->EnsureSchema();
        const auto connection = database->Connect();
        connection->Execute("insert into KAV_GROUP (NODECODE, GROUPCODE, CNAME, GROUPTYPE) "
                            "values ('01', 'G01', '一号售票点', '1')");
        connection->Execute("insert into KAV_USER (NODECODE, USERCODE, CNAME, GROUPCODE, PASSWORDHASH) "
                            "values ('01', 'demo', '演示', 'G01', ?1)",
                            {e2e::PasswordHash("demo")});
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::filesystem::path folder_;
    std::string url_;
};

} // namespace

TEST_F(ProgramTest, ServesLogsConnectionsAndStopsCleanly) {
    for (int stopSignal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(stopSignal);
        ServerProcess server({"--port", "0", "--db", url_, "--threads", "2"});
        const std::string started = server.OutputLine();
        const int port = ListeningPortOf(started);
        ASSERT_GT(port, 0) << started;
        EXPECT_EQ(started, "kav-server listening on " + std::to_string(port) + "\n");
        {
            pelio::TPelioClient client;
            client.SetPort(port);
            TTPLogin login(&client);
            const std::string context = login.Login("demo", "demo");
            TCADBPipe pipe(client);
            EXPECT_TRUE(pipe.GetData(context, "select USERCODE from KAV_USER").IsByteArray());
            EXPECT_TRUE(server.WaitForLog("started"));
        }
        EXPECT_TRUE(server.WaitForLog("ended after"));
        server.Signal(stopSignal);
        EXPECT_EQ(server.Wait(), 0);
    }
}

TEST_F(ProgramTest, ATakenPortOrABadCommandLineEndsTheProgramWithAnError) {
    ServerProcess first({"--port", "0", "--db", url_});
    const int port = ListeningPortOf(first.OutputLine());
    ASSERT_GT(port, 0);
    ServerProcess second({"--port", std::to_string(port), "--db", url_});
    EXPECT_TRUE(second.WaitForLog(std::to_string(port)));
    EXPECT_EQ(second.Wait(), 1);

    ServerProcess badOption({"--port", "http"});
    EXPECT_TRUE(badOption.WaitForLog("--port"));
    EXPECT_EQ(badOption.Wait(), 2);
}

TEST_F(ProgramTest, ADemoDatabaseLetsTheDemoUserIn) {
    const std::string url = "sqlite:" + (folder_ / "demo.db").string();
    ServerProcess server({"--port", "0", "--db", url, "--seed", "demo"});
    const int port = ListeningPortOf(server.OutputLine());
    ASSERT_GT(port, 0);
    pelio::TPelioClient client;
    client.SetPort(port);
    TTPLogin login(&client);
    const std::string context = login.Login("demo", "demo");
    EXPECT_NE(context.find("NodeCode=01\n"), std::string::npos);
    TClientDataSet orders;
    orders.SetData(
        TCADBPipe(client).GetData(context, "select ORDERCODE from KAV_ORDER_SHOW").ByteArrayView());
    EXPECT_GT(orders.RecordCount(), 0);
}

TEST_F(ProgramTest, AnOlderDatabaseIsUpgradedAtStartAndANewerOneRefused) {
    const std::string url = "sqlite:" + (folder_ / "first-release.db").string();
    {
        const auto connection = Database::Open(url)->Connect();
        connection->Execute(test::ReadSourceFile("tests/server/db/schema-v1/sqlite.sql"));
        connection->Execute(test::ReadSourceFile("tests/server/db/schema-v1/sample_rows.sql"));
    }
    const std::string current = std::to_string(CurrentSchemaVersion());
    {
        ServerProcess server({"--port", "0", "--db", url});
        EXPECT_TRUE(server.WaitForLog("upgraded the schema of " + url + " from version 1 to " + current));
        EXPECT_GT(ListeningPortOf(server.OutputLine()), 0);
        server.Signal(SIGTERM);
        EXPECT_EQ(server.Wait(), 0);
    }
    const auto connection = Database::Open(url)->Connect();
    EXPECT_EQ(SchemaVersionOf(*connection), CurrentSchemaVersion());
    EXPECT_EQ(connection->Select("select count(*), sum(RECEIVABLES) from KAV_ORDER_SHOW").at(0),
              (std::vector<SqlValue>{std::int64_t{5}, 2180.0}));

    const std::string newer = std::to_string(CurrentSchemaVersion() + 1);
    connection->Execute("update KAV_SCHEMA_VERSION set VERSION = " + newer);
    ServerProcess refused({"--port", "0", "--db", url});
    EXPECT_TRUE(
        refused.WaitForLog("schema version " + newer + ", newer than this kav-server's version " + current));
    EXPECT_EQ(refused.Wait(), 1);
    EXPECT_EQ(SchemaVersionOf(*connection), CurrentSchemaVersion() + 1);
}

// With a key file, a session survives a restart, as it does a move to another server given the same file.
TEST_F(ProgramTest, ASessionKeyFileKeepsSessionsAcrossServers) {
    const std::string keyFile = (folder_ / "session.key").string();
    std::string context;
    {
        ServerProcess first({"--port", "0", "--db", url_, "--session-key-file", keyFile});
        pelio::TPelioClient client;
        client.SetPort(ListeningPortOf(first.OutputLine()));
        context = TTPLogin(&client).Login("demo", "demo");
    }
    ServerProcess second({"--port", "0", "--db", url_, "--session-key-file", keyFile});
    pelio::TPelioClient client;
    client.SetPort(ListeningPortOf(second.OutputLine()));
    EXPECT_TRUE(TCADBPipe(client).GetData(context, "select USERCODE from KAV_USER").IsByteArray());

    // Without the file, the next server draws a key of its own and the session is gone.
    ServerProcess third({"--port", "0", "--db", url_});
    pelio::TPelioClient other;
    other.SetPort(ListeningPortOf(third.OutputLine()));
    EXPECT_THROW(TCADBPipe(other).GetData(context, "select USERCODE from KAV_USER"),
                 pelio::EosRemoteException);
}

namespace {

// kav-server processes at once over one database of the test's backend, as a site runs them.
class SharedSessionsTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        database_.emplace(GetParam());
        database_->Db().EnsureSchema();
        database_->Db().Connect()->Execute("insert into KAV_GROUP (NODECODE, GROUPCODE, CNAME, GROUPTYPE) values "
                                           "('01', 'G01', '一号售票点', '1')");
        database_->Db().Connect()->Execute("insert into KAV_USER (NODECODE, USERCODE, CNAME, GROUPCODE, "
                                           "PASSWORDHASH) values ('01', 'demo', '演示', 'G01', ?1)",
                                           {e2e::PasswordHash("demo")});
        folder_ = std::filesystem::temp_directory_path() /
                  ("kav-keys-" + std::to_string(getpid()) + "-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::unique_ptr<ServerProcess> Start(const std::filesystem::path& keyFile, int& port) {
        auto server = std::make_unique<ServerProcess>(std::vector<std::string>{
            "--port", "0", "--db", database_->Url(), "--session-key-file", keyFile.string()});
        port = ListeningPortOf(server->OutputLine());
        return server;
    }
    static bool Accepts(int port, const std::string& context) {
        pelio::TPelioClient client;
        client.SetPort(port);
        try {
            TCADBPipe(client).GetData(context, "select USERCODE from KAV_USER");
            return true;
        } catch (const pelio::EosRemoteException& e) {
            EXPECT_STREQ(e.what(), "会话无效，请重新登录!");
            return false;
        }
    }

    std::optional<test::TestDatabase> database_;
    std::filesystem::path folder_;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, SharedSessionsTest, ::testing::ValuesIn(test::TestBackends()),
                         [](const auto& info) { return test::BackendName(info.param); });

TEST_P(SharedSessionsTest, ServersRunningTogetherWithOneKeyFileAcceptEachOthersSessions) {
    const auto key = folder_ / "session.key";
    int first = 0, second = 0, other = 0;
    const auto a = Start(key, first); // creates the key file
    const auto b = Start(key, second);
    const auto c = Start(folder_ / "other.key", other);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    ASSERT_GT(other, 0);

    pelio::TPelioClient client;
    client.SetPort(first);
    const std::string context = TTPLogin(&client).Login("demo", "demo");
    EXPECT_TRUE(Accepts(first, context));
    EXPECT_TRUE(Accepts(second, context)) << "a login on one server is valid on the other";
    EXPECT_FALSE(Accepts(other, context)) << "a server with another key refuses it";
}
