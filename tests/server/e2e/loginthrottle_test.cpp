// Login throttling through the hosted server: failures per user code and per address lock them,
// the right password included, for a delay that grows; a success clears the count; attempts in
// parallel cannot pass the limit; two servers on one database share the locks; all of it audited.

#include "platform/core/datetime.h"
#include "server/access/loginattempt.h"
#include "server/loginservant.h"
#include "serverfixture.h"
#include "serverprocess.h"
#include "services/login/tplogin.h"

#include <gmock/gmock.h>
#include <thread>

using namespace kav;
using namespace kav::server;
using kav::server::e2e::RemoteError;
using kav::server::e2e::ServerFixture;
using ::testing::ElementsAre;

namespace {

const std::string kRefused(kLoginRefusedText);
const std::string kTooMany(kTooManyFailuresText);

class LoginThrottleTest : public ServerFixture {
protected:
    // Ends every lock a second ago, as if its time had passed (within the failures' window).
    void EndLocks() {
        setup_->Execute("update KAV_LOGIN_THROTTLE set LOCKEDUNTIL = ?1 where LOCKEDUNTIL is not null",
                        {FormatDateTimeIso(Now() - 1.0 / 86400)});
    }
    std::vector<std::string> Audit(const std::string& kind) {
        std::vector<std::string> details;
        for (const auto& row : setup_->Select("select USERCODE, ADDRESS, DETAIL from KAV_AUDIT_LOG "
                                              "where EVENTKIND = ?1 order by AUDITID",
                                              {kind}))
            details.push_back(std::get<std::string>(row[0]) + "@" + std::get<std::string>(row[1]) + " " +
                              std::get<std::string>(row[2]));
        return details;
    }
    std::int64_t ThrottleRows() {
        return std::get<std::int64_t>(setup_->Select("select count(*) from KAV_LOGIN_THROTTLE").at(0).at(0));
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, LoginThrottleTest, ::testing::ValuesIn(test::TestBackends()),
                         [](const auto& info) { return test::BackendName(info.param); });

TEST_P(LoginThrottleTest, FiveFailuresLockTheUserCodeAndTheAddressEvenForTheRightPassword) {
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(RemoteError([&] { LoginAs("demo", "wrong"); }), kRefused);
    EXPECT_EQ(RemoteError([&] { LoginAs("demo", "demo"); }), kTooMany);
    EXPECT_EQ(RemoteError([&] { LoginAs("clerk", "柜台'1"); }), kTooMany);
    EXPECT_EQ(Audit("LOGINFAILED").size(), 5u);
    EXPECT_THAT(Audit("LOCK"), ElementsAre("demo@127.0.0.1 用户 demo 锁定 30 秒",
                                           "demo@127.0.0.1 地址 127.0.0.1 锁定 30 秒"));
    EXPECT_EQ(Audit("LOGINLOCKED").size(), 2u);

    // As if the seller moved to another workstation: the user code stays locked, others get in,
    // and their success clears only their own counts.
    setup_->Execute("delete from KAV_LOGIN_THROTTLE where SUBJECTKIND = 'A'");
    EXPECT_FALSE(LoginAs("clerk", "柜台'1").empty());
    EXPECT_EQ(RemoteError([&] { LoginAs("demo", "demo"); }), kTooMany);

    EndLocks();
    EXPECT_FALSE(LoginAs("demo", "demo").empty());
    EXPECT_EQ(ThrottleRows(), 0);
    EXPECT_EQ(Audit("LOGIN").size(), 2u);
}

TEST_P(LoginThrottleTest, FailuresForManyUserCodesLockTheirAddress) {
    for (const char* user : {"ADMIN", "admin", "root", "MGR1", "demo"})
        EXPECT_EQ(RemoteError([&] { LoginAs(user, "123456"); }), kRefused);
    EXPECT_EQ(RemoteError([&] { LoginAs("clerk", "柜台'1"); }), kTooMany);
    EXPECT_THAT(Audit("LOCK"), ElementsAre("demo@127.0.0.1 地址 127.0.0.1 锁定 30 秒"));
    // The unknown user codes are audited as typed, without a node.
    EXPECT_EQ(setup_->Select("select NODECODE from KAV_AUDIT_LOG where USERCODE = 'root'"),
              (std::vector<std::vector<SqlValue>>{{std::string()}}));
}

TEST_P(LoginThrottleTest, EachFurtherLockDoublesUntilASuccess) {
    auto lockAfterFiveFailures = [&] {
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(RemoteError([&] { LoginAs("demo", "wrong"); }), kRefused);
        EXPECT_EQ(RemoteError([&] { LoginAs("demo", "demo"); }), kTooMany);
        EndLocks();
    };
    lockAfterFiveFailures();
    lockAfterFiveFailures();
    lockAfterFiveFailures();
    EXPECT_FALSE(LoginAs("demo", "demo").empty());
    lockAfterFiveFailures();
    std::vector<std::string> userLocks;
    for (const std::string& lock : Audit("LOCK"))
        if (lock.find("用户") != std::string::npos) userLocks.push_back(lock.substr(lock.find(' ') + 1));
    EXPECT_THAT(userLocks, ElementsAre("用户 demo 锁定 30 秒", "用户 demo 锁定 60 秒",
                                       "用户 demo 锁定 120 秒", "用户 demo 锁定 30 秒"));
}

TEST_P(LoginThrottleTest, GuessesSentInParallelCannotPassTheLimitTogether) {
    constexpr int kGuesses = 12;
    std::vector<std::string> answers(kGuesses);
    std::vector<std::thread> guessers;
    for (int i = 0; i < kGuesses; ++i)
        guessers.emplace_back([&, i] {
            const auto client = NewClient();
            try {
                TTPLogin(client.get()).Login("demo", "guess" + std::to_string(i));
            } catch (const pelio::EosRemoteException& e) {
                answers[static_cast<std::size_t>(i)] = e.what();
            }
        });
    for (std::thread& guesser : guessers)
        guesser.join();
    EXPECT_EQ(std::count(answers.begin(), answers.end(), kRefused), 5);
    EXPECT_EQ(std::count(answers.begin(), answers.end(), kTooMany), kGuesses - 5);
    EXPECT_EQ(Audit("LOGINFAILED").size(), 5u);
}

TEST_P(LoginThrottleTest, TwoServersOnOneDatabaseShareTheCountAndTheLock) {
    e2e::ServerProcess other({"--port", "0", "--db", database_->Url(), "--threads", "4"});
    const int port = e2e::ListeningPortOf(other.OutputLine());
    ASSERT_GT(port, 0);
    pelio::TPelioClient otherClient;
    otherClient.SetHost("127.0.0.1");
    otherClient.SetPort(port);
    TTPLogin otherLogin(&otherClient);

    for (int i = 0; i < 5; ++i) {
        if (i % 2 == 0)
            EXPECT_EQ(RemoteError([&] { LoginAs("demo", "wrong"); }), kRefused);
        else
            EXPECT_EQ(RemoteError([&] { otherLogin.Login("demo", "wrong"); }), kRefused);
    }
    EXPECT_EQ(RemoteError([&] { otherLogin.Login("demo", "demo"); }), kTooMany);
    EXPECT_EQ(RemoteError([&] { LoginAs("demo", "demo"); }), kTooMany);
    EXPECT_TRUE(other.WaitForLog("login failed for user demo from 127.0.0.1"));

    EndLocks();
    EXPECT_FALSE(otherLogin.Login("demo", "demo").empty());
    EXPECT_EQ(ThrottleRows(), 0);
}
