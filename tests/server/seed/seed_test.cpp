// The seed entry point: what it accepts, that it repeats itself exactly, that it never touches a
// database that holds data, and that the documented logins work.
#include "seedtesting.h"
#include "server/seed/seed.h"
#include "testdatabase.h"

#include <gtest/gtest.h>
#include <regex>
#include <sodium.h>

namespace kav::server::test {
namespace {

class SeedTest : public ::testing::TestWithParam<Backend> {};

TEST_P(SeedTest, RefusesUnknownSpecsWithoutTouchingTheDatabase) {
    TestDatabase db(GetParam());
    for (const char* spec :
         {"", "Demo", "demo ", "bench", "bench:", "bench:0", "bench:-5", "bench:+5", "bench:12x", "bench: 12",
          "bench:10000001", "bench:99999999999999999999", "bench:1:2"}) {
        SCOPED_TRACE(spec);
        EXPECT_THROW(SeedDatabase(db.Db(), spec), std::invalid_argument);
    }
    // Not even the schema was created.
    EXPECT_THROW(db.Db().Connect()->Select("select count(*) from KAV_USER"), EDatabase);
}

TEST_P(SeedTest, SameRowsEveryRunOnlyDatesFollowToday) {
    const TDateTime today = EncodeDate(2027, 2, 27);
    TestDatabase first(GetParam()), second(GetParam()), later(GetParam());
    SeedDatabase(first.Db(), "bench:1200", today);
    SeedDatabase(second.Db(), "bench:1200", today);
    SeedDatabase(later.Db(), "bench:1200", today + 3); // across the month end
    const auto expected = DumpTables(first.Db());
    EXPECT_GT(expected.size(), 10000u);
    EXPECT_EQ(DumpTables(second.Db()), expected);
    const auto moved = DumpTables(later.Db());
    EXPECT_NE(moved, expected);
    EXPECT_EQ(DumpTables(later.Db(), 3), expected);
}

TEST_P(SeedTest, SecondRunLeavesTheDataAlone) {
    TestDatabase db(GetParam());
    SeedDatabase(db.Db(), "demo");
    auto connection = db.Db().Connect();
    const auto hashes = connection->Select("select USERCODE, PASSWORDHASH from KAV_USER order by USERCODE");
    const auto before = DumpTables(db.Db());
    // Another spec and another day: the data already there wins.
    SeedDatabase(db.Db(), "bench:5000", Today() + 10);
    EXPECT_EQ(DumpTables(db.Db()), before);
    EXPECT_EQ(connection->Select("select USERCODE, PASSWORDHASH from KAV_USER order by USERCODE"), hashes);
}

TEST_P(SeedTest, BenchHoldsTheOrdersAskedFor) {
    TestDatabase db(GetParam());
    SeedDatabase(db.Db(), "bench:4000"); // more than the fixed performances hold
    auto connection = db.Db().Connect();
    EXPECT_EQ(CountOf(*connection, "select count(*) from KAV_ORDER_SHOW"), 4000);
    EXPECT_EQ(CountOf(*connection, "select count(*) from KAV_ORDER_CLIENT_SHOW"), 4000);
    // Order codes run without gaps, and further performances took the orders the fixed ones could not.
    EXPECT_EQ(CountOf(*connection, "select count(*) from KAV_ORDER_SHOW where ORDERCODE = 'D0004000'"), 1);
    EXPECT_GT(CountOf(*connection,
                      "select count(distinct PRODUCTCODE) from KAV_ORDER_SHOW where PRODUCTCODE > "
                      "'P0009'"),
              0);
}

TEST_P(SeedTest, FailedSeedWritesNothing) {
    TestDatabase db(GetParam());
    db.Db().EnsureSchema();
    auto connection = db.Db().Connect();
    // A venue but no users: the seed runs and collides with it.
    connection->Execute("insert into KAV_PLACE (NODECODE, PLACECODE, CNAME) values ('01', 'PL01', 'old')");
    EXPECT_THROW(SeedDatabase(db.Db(), "bench:10"), EDatabase);
    EXPECT_EQ(CountOf(*connection, "select count(*) from KAV_GROUP"), 0);
    EXPECT_EQ(CountOf(*connection, "select count(*) from KAV_PLACE"), 1);
}

// Every login of the README table verifies with its password; a wrong one does not.
TEST_P(SeedTest, DocumentedLoginsVerify) {
    ASSERT_GE(sodium_init(), 0);
    auto connection = DemoDatabase(GetParam()).Connect();
    const std::string readme = ReadSourceFile("server/seed/README.md");
    static const std::regex kLogin(R"(\|\s*`([^`]+)`\s*\|\s*`([^`]+)`\s*\|)");
    int logins = 0;
    for (std::sregex_iterator it(readme.begin(), readme.end(), kLogin), end; it != end; ++it, ++logins) {
        const std::string user = (*it)[1], password = (*it)[2];
        SCOPED_TRACE(user);
        const auto rows = connection->Select("select PASSWORDHASH from KAV_USER where USERCODE = ?1", {user});
        ASSERT_EQ(rows.size(), 1u);
        const std::string hash = std::get<std::string>(rows[0][0]);
        EXPECT_EQ(crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()), 0);
        const std::string wrong = password + "x";
        EXPECT_NE(crypto_pwhash_str_verify(hash.c_str(), wrong.data(), wrong.size()), 0);
        EXPECT_EQ(hash.rfind("$argon2id$v=19$m=65536,t=2,", 0), 0u)
            << "not at the interactive limits: " << hash;
    }
    EXPECT_GE(logins, 5);

    // demo sells at the box office of node 01 with its group's ordinary rights.
    const auto demo =
        connection->Select("select u.NODECODE, u.ISVALID, g.GROUPTYPE from KAV_USER u join "
                           "KAV_GROUP g on g.GROUPCODE = u.GROUPCODE where u.USERCODE = 'demo'");
    ASSERT_EQ(demo.size(), 1u);
    EXPECT_EQ(demo[0], (std::vector<SqlValue>{std::string("01"), std::string("Y"), std::string("B")}));
    EXPECT_EQ(CountOf(*connection, "select count(*) from KAV_ORDERHANDLER_RIGHT where SUBJECTCODE = 'demo'"),
              0);
    EXPECT_EQ(CountOf(*connection, "select count(*) from KAV_ORDERHANDLER_RIGHT where SUBJECTKIND = 'G' and "
                                   "SUBJECTCODE = 'G001' and CANVIEWORDERS_2 = 'Y'"),
              2);
}

INSTANTIATE_TEST_SUITE_P(Backends, SeedTest, ::testing::ValuesIn(TestBackends()),
                         [](const auto& info) { return BackendName(info.param); });

} // namespace
} // namespace kav::server::test
