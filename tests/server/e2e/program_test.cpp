// The kav-server program as a child process: start-up line, login over the network, connection
// log, clean stop on SIGTERM and SIGINT, refused command lines, schema upgrades at start.

#include "host/cadbpipe.h"
#include "platform/dataset/clientdataset.h"
#include "server/db/schemasetup.h"
#include "serverfixture.h"
#include "services/login/tplogin.h"
#include "testdatabase.h"

#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using namespace kav;
using namespace kav::server;

namespace {

class ServerProcess {
public:
    explicit ServerProcess(std::vector<std::string> arguments) {
        int out[2], err[2];
        if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
        std::vector<char*> argv{const_cast<char*>("kav-server")};
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            execv("./kav-server", argv.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        output_ = fdopen(out[0], "r");
        errors_ = fdopen(err[0], "r");
    }
    ~ServerProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        fclose(output_);
        fclose(errors_);
    }
    std::string OutputLine() { return ReadLine(output_); }
    // Reads the log until a line holding `text`; false when the log ends first.
    bool WaitForLog(const std::string& text) {
        for (std::string line = ReadLine(errors_); !line.empty(); line = ReadLine(errors_))
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
    void Signal(int number) { kill(pid_, number); }
    int Wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    static std::string ReadLine(FILE* file) {
        char line[1024] = {};
        return fgets(line, sizeof line, file) ? line : "";
    }
    pid_t pid_ = 0;
    FILE* output_ = nullptr;
    FILE* errors_ = nullptr;
};

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
    static int PortOf(const std::string& line) {
        int port = 0;
        return sscanf(line.c_str(), "kav-server listening on %d", &port) == 1 ? port : 0;
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
        const int port = PortOf(started);
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
    const int port = PortOf(first.OutputLine());
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
    const int port = PortOf(server.OutputLine());
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
        EXPECT_GT(PortOf(server.OutputLine()), 0);
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
        client.SetPort(PortOf(first.OutputLine()));
        context = TTPLogin(&client).Login("demo", "demo");
    }
    ServerProcess second({"--port", "0", "--db", url_, "--session-key-file", keyFile});
    pelio::TPelioClient client;
    client.SetPort(PortOf(second.OutputLine()));
    EXPECT_TRUE(TCADBPipe(client).GetData(context, "select USERCODE from KAV_USER").IsByteArray());

    // Without the file, the next server draws a key of its own and the session is gone.
    ServerProcess third({"--port", "0", "--db", url_});
    pelio::TPelioClient other;
    other.SetPort(PortOf(third.OutputLine()));
    EXPECT_THROW(TCADBPipe(other).GetData(context, "select USERCODE from KAV_USER"),
                 pelio::EosRemoteException);
}
