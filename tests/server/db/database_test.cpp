// The database layer against real databases: typed results decoded by a real client dataset,
// master-detail, the statement guard, and the connection surviving every refusal.
#include "platform/core/datetime.h"
#include "platform/core/textcodec.h"
#include "platform/dataset/clientdataset.h"
#include "testdatabase.h"

#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace kav::server::test {
namespace {

class DatabaseTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        db_ = std::make_unique<TestDatabase>(GetParam());
        conn_ = db_->Db().Connect();
        const bool pg = GetParam() == Backend::PostgreSQL;
        conn_->Execute(std::string("create table T (NAME varchar(20) not null, SMALL smallint, N integer, "
                                   "BIG bigint, PRICE ") +
                       (pg ? "numeric(12,2), AT timestamp(0))" : "REAL, AT TIMESTAMP)"));
        const std::vector<std::vector<SqlValue>> rows = {
            {"张三", std::int64_t{-7}, std::int64_t{1}, std::int64_t{5'000'000'000}, 880.5,
             "2020-06-01 19:30:00"},
            {"abc", std::int64_t{300}, std::int64_t{2}, SqlValue(), 0.25, SqlValue()},
            {"ABd", SqlValue(), std::int64_t{3}, std::int64_t{-1}, SqlValue(), "2099-01-01 00:00:00"},
        };
        for (const auto& row : rows)
            conn_->Execute("insert into T values (?1, ?2, ?3, ?4, ?5, ?6)", row);
    }

    TClientDataSet& Load(const std::string& packet) {
        ds_.SetData(packet);
        return ds_;
    }
    std::int64_t Count(const std::string& where = "") {
        return std::get<std::int64_t>(conn_->Select("select count(*) from T " + where).at(0).at(0));
    }

    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<Connection> conn_;
    TClientDataSet ds_;
};

TEST_P(DatabaseTest, ColumnsArriveTypedWithNulls) {
    auto& ds = Load(conn_->GetData("select NAME, SMALL, N, BIG, PRICE, AT from T order by N"));
    ASSERT_EQ(ds.RecordCount(), 3);
    EXPECT_EQ(ds.FieldByName("name").DataType(), TFieldType::ftString);
    EXPECT_EQ(ds.FieldByName("name").Size(), 20);
    EXPECT_EQ(ds.FieldByName("small").DataType(), TFieldType::ftSmallint);
    EXPECT_EQ(ds.FieldByName("n").DataType(), TFieldType::ftInteger);
    EXPECT_EQ(ds.FieldByName("big").DataType(), TFieldType::ftLargeint);
    EXPECT_EQ(ds.FieldByName("price").DataType(), TFieldType::ftFloat);
    EXPECT_EQ(ds.FieldByName("at").DataType(), TFieldType::ftDateTime);

    ds.First();
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), "张三");
    EXPECT_EQ(ds.FieldByName("SMALL").AsInteger(), -7);
    EXPECT_EQ(ds.FieldByName("BIG").AsLargeInt(), 5'000'000'000);
    EXPECT_DOUBLE_EQ(ds.FieldByName("PRICE").AsFloat(), 880.5);
    EXPECT_DOUBLE_EQ(ds.FieldByName("AT").AsDateTime(), EncodeDateTime({2020, 6, 1, 19, 30, 0}));
    ds.Next();
    EXPECT_TRUE(ds.FieldByName("BIG").IsNull());
    EXPECT_TRUE(ds.FieldByName("AT").IsNull());
    EXPECT_DOUBLE_EQ(ds.FieldByName("PRICE").AsFloat(), 0.25);
    ds.Next();
    EXPECT_TRUE(ds.FieldByName("SMALL").IsNull());
    EXPECT_TRUE(ds.FieldByName("PRICE").IsNull());
}

TEST_P(DatabaseTest, ExpressionColumnsTakeTheirTypeFromTheValues) {
    auto& ds = Load(conn_->GetData(
        "select count(*) as CNT, sum(PRICE) as TOTAL, min(trim(NAME)) as FIRSTNAME, max(N) as TOP from T"));
    ASSERT_EQ(ds.RecordCount(), 1);
    EXPECT_EQ(ds.FieldByName("CNT").AsInteger(), 3);
    EXPECT_EQ(ds.FieldByName("TOTAL").DataType(), TFieldType::ftFloat);
    EXPECT_DOUBLE_EQ(ds.FieldByName("TOTAL").AsFloat(), 880.75);
    EXPECT_EQ(ds.FieldByName("FIRSTNAME").DataType(), TFieldType::ftString);
    EXPECT_EQ(ds.FieldByName("FIRSTNAME").AsString(), "ABd");
    EXPECT_EQ(ds.FieldByName("TOP").AsInteger(), 3);

    // An empty result still has its fields; repeated names are told apart.
    auto& empty = Load(conn_->GetData("select a.N, b.N from T a, T b where a.N < 0"));
    EXPECT_EQ(empty.RecordCount(), 0);
    ASSERT_EQ(empty.FieldCount(), 2);
    EXPECT_TRUE(EqualsIgnoringCase(empty.Fields(1).FieldName(), "N_1"));
}

TEST_P(DatabaseTest, DialectRewritesGiveTheSameAnswerOnBothBackends) {
    // 'now' lies between the two stored times.
    auto& ds = Load(conn_->GetData("select NAME from T where AT < cast('Now' as timestamp)"));
    ASSERT_EQ(ds.RecordCount(), 1);
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), "张三");
    // Both read 'now' as the server's local time.
    auto& now = Load(conn_->GetData("select cast('Now' as timestamp) as T"));
    EXPECT_NEAR(now.FieldByName("T").AsDateTime(), Now(), 5.0 / (24 * 60));
    // `like` respects letter case.
    auto& like = Load(conn_->GetData("select NAME from T where NAME like 'ab%'"));
    ASSERT_EQ(like.RecordCount(), 1);
    EXPECT_EQ(like.FieldByName("NAME").AsString(), "abc");
}

TEST_P(DatabaseTest, MasterRowsCarryTheirDetailRows) {
    conn_->Execute("create table D (NODECODE varchar(2) not null, N integer not null, QTY integer not null)");
    for (auto [node, n, qty] : {std::tuple{"01", 1, 10}, {"01", 1, 11}, {"02", 1, 99}, {"01", 3, 30}})
        conn_->Execute("insert into D values (?1, ?2, ?3)", {node, std::int64_t{n}, std::int64_t{qty}});

    auto& ds = Load(conn_->GetMasterDetailData("select '01' as NodeCode, N, NAME from T order by N", "Lines",
                                               "select QTY from D where NODECODE = :NODECODE and N = :n "
                                               "order by QTY"));
    ASSERT_EQ(ds.RecordCount(), 3);
    ASSERT_EQ(ds.FieldByName("lines").DataType(), TFieldType::ftDataSet);
    std::vector<std::vector<int>> quantities;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        auto& lines = ds.FieldByName("Lines").NestedDataSet();
        auto& row = quantities.emplace_back();
        for (lines.First(); !lines.Eof(); lines.Next())
            row.push_back(lines.FieldByName("QTY").AsInteger());
    }
    EXPECT_EQ(quantities, (std::vector<std::vector<int>>{{10, 11}, {}, {30}}));

    // No master rows: the packet still describes the nested table.
    auto& none = Load(
        conn_->GetMasterDetailData("select N from T where N < 0", "Lines", "select QTY from D where N = :N"));
    EXPECT_EQ(none.RecordCount(), 0);
    EXPECT_EQ(none.FieldByName("Lines").DataType(), TFieldType::ftDataSet);

    EXPECT_THROW(
        conn_->GetMasterDetailData("select N from T", "Lines", "select QTY from D where N = :MISSING"),
        EDatabase);
    EXPECT_THROW(conn_->GetMasterDetailData("select N from T", "N", "select QTY from D where N = :N"),
                 EDatabase);
    EXPECT_THROW(conn_->GetMasterDetailData("select N from T", "Lines", "delete from D where N = :N"),
                 EDatabase);
    EXPECT_EQ(std::get<std::int64_t>(conn_->Select("select count(*) from D").at(0).at(0)), 4);
}

TEST_P(DatabaseTest, ExecSQLRunsOneWrite) {
    EXPECT_EQ(conn_->ExecSQL("update T set N = N + 10 where NAME = 'abc'"), 1);
    EXPECT_EQ(Count("where N = 12"), 1);
    EXPECT_EQ(conn_->ExecSQL("delete from T where N = 999"), 1); // ran, though nothing matched
    EXPECT_EQ(conn_->ExecSQL(" insert into T (NAME, N) values ('it''s', 4)"), 1);
    EXPECT_EQ(Count("where NAME = 'it''s'"), 1);

    for (const char* refused : {
             "select * from T",
             "create table X (A integer)",
             "drop table T",
             "update T set N = 0; delete from T",
             "delete from T; drop table T",
         }) {
        SCOPED_TRACE(refused);
        EXPECT_THROW(conn_->ExecSQL(refused), EDatabase);
    }
    EXPECT_EQ(Count(), 4);
    EXPECT_EQ(Count("where N = 0"), 0);
}

TEST_P(DatabaseTest, GetDataRefusesWritesAndStackedStatements) {
    std::vector<std::string> refused = {
        "delete from T",
        "update T set N = 0",
        "insert into T (NAME) values ('x')",
        "create table X (A integer)",
        "drop table T",
        "select * from T; delete from T",
        "select 1; select 2",
        "begin",
        "",
        "with gone as (delete from T returning N) select * from gone",
        "select * from T where N = :N", // nothing fills the parameter
    };
    // Attaching would create this file next to the database.
    const auto attached = std::filesystem::path(db_->Url().substr(7)).parent_path() / "attached.db";
    if (GetParam() == Backend::SQLite) {
        refused.push_back("PRAGMA case_sensitive_like = OFF");
        refused.push_back("ATTACH '" + attached.string() + "' AS other");
    } else {
        refused.push_back("set search_path = nowhere");
    }
    for (const auto& sql : refused) {
        SCOPED_TRACE(sql);
        EXPECT_THROW(conn_->GetData(sql), EDatabase);
        EXPECT_EQ(Count(), 3);
    }
    EXPECT_FALSE(std::filesystem::exists(attached));
    if (GetParam() == Backend::PostgreSQL) // a query with a side effect: undone with its transaction
        conn_->GetData("select set_config('search_path', 'nowhere', false)");
    EXPECT_EQ(Count(), 3);
    // Still case-sensitive, still on our schema, and a trailing semicolon or comment is fine.
    EXPECT_EQ(Load(conn_->GetData("select NAME from T where NAME like 'ab%'; -- done")).RecordCount(), 1);
}

TEST_P(DatabaseTest, FailuresCarryTheDatabaseMessageAndLeaveTheConnectionUsable) {
    try {
        conn_->GetData("select NOSUCHCOLUMN from T");
        FAIL() << "accepted";
    } catch (const EDatabase& e) {
        EXPECT_NE(AsciiLower(e.what()).find("nosuchcolumn"), std::string::npos) << e.what();
    }
    EXPECT_THROW(conn_->ExecSQL("update NOSUCHTABLE set A = 1"), EDatabase);
    EXPECT_THROW(conn_->ExecSQL("insert into T (N) values (5)"), EDatabase); // NAME is not null

    // Inside a transaction of the server's own, a refused or failing statement spoils nothing.
    conn_->Begin();
    conn_->Execute("insert into T (NAME, N) values ('new', 9)");
    EXPECT_THROW(conn_->GetData("select NOSUCHCOLUMN from T"), EDatabase);
    EXPECT_THROW(conn_->GetData("delete from T"), EDatabase);
    EXPECT_THROW(conn_->ExecSQL("insert into T (N) values (5)"), EDatabase);
    EXPECT_EQ(conn_->ExecSQL("update T set N = 10 where N = 9"), 1);
    EXPECT_EQ(Load(conn_->GetData("select N from T where NAME = 'new'")).FieldByName("N").AsInteger(), 10);
    conn_->Commit();
    EXPECT_EQ(Count(), 4);
    EXPECT_EQ(Load(conn_->GetData("select * from T")).RecordCount(), 4);
}

TEST_P(DatabaseTest, ALostPostgreSQLSessionIsOpenedAgain) {
    if (GetParam() != Backend::PostgreSQL) GTEST_SKIP() << "SQLite has no session to lose";
    auto terminate = [&] {
        auto pid = conn_->Select("select pg_backend_pid()").at(0).at(0);
        db_->Db().Connect()->Select("select pg_terminate_backend(?1, 10000)", {pid});
    };
    terminate();
    EXPECT_THROW(conn_->GetData("select * from T"), EDatabase); // the call that meets the loss
    EXPECT_EQ(Load(conn_->GetData("select * from T where NAME like 'ab%'")).RecordCount(), 1);

    // Inside a transaction nothing runs on a new session until the caller has rolled back.
    conn_->Begin();
    conn_->Execute("delete from T");
    terminate();
    EXPECT_THROW(conn_->Execute("delete from T"), EDatabase);
    EXPECT_THROW(conn_->ExecSQL("delete from T"), EDatabase);
    conn_->Rollback();
    EXPECT_EQ(Count(), 3);
}

TEST_P(DatabaseTest, ManyDistinctServerStatementsAllRun) {
    // PostgreSQL prepares the server's statements once per session, up to a limit; the texts
    // beyond it, and each text again, run as well.
    for (int round = 0; round < 2; ++round)
        for (std::int64_t i = 0; i < 600; ++i)
            ASSERT_EQ(conn_->Select("select " + std::to_string(i) + " + ?1", {std::int64_t{1}}).at(0).at(0),
                      SqlValue(i + 1));
}

TEST_P(DatabaseTest, ServerStatementsTakeNumberedParameters) {
    auto rows = conn_->Select("select NAME, N, PRICE from T where N >= ?1 and NAME <> ?2 order by N",
                              {std::int64_t{2}, "none"});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<SqlValue>{"abc", std::int64_t{2}, 0.25}));
    EXPECT_EQ(rows[1], (std::vector<SqlValue>{"ABd", std::int64_t{3}, SqlValue()}));
    EXPECT_EQ(conn_->Execute("update T set PRICE = ?1 where N < ?2", {1.5, std::int64_t{3}}), 2);
    conn_->Begin();
    conn_->Execute("delete from T");
    conn_->Rollback();
    EXPECT_EQ(Count("where PRICE = 1.5"), 2);
    EXPECT_THROW(conn_->Select("select * from T where N = ?1", {}), EDatabase);
}

TEST_P(DatabaseTest, ConnectionsOfSeveralThreadsWriteWithoutLosingRows) {
    constexpr int kThreads = 4, kRows = 40;
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            try {
                auto conn = db_->Db().Connect();
                for (int i = 0; i < kRows; ++i) {
                    conn->Begin();
                    conn->Execute("insert into T (NAME, N) values (?1, ?2)",
                                  {"thread", std::int64_t{100 + t}});
                    conn->ExecSQL("update T set BIG = coalesce(BIG, 0) + 1 where N = 1");
                    conn->Commit();
                    conn->GetData("select count(*) from T");
                }
            } catch (const EDatabase&) {
                ++failures;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(Count("where NAME = 'thread'"), kThreads * kRows);
    EXPECT_EQ(conn_->Select("select BIG from T where N = 1").at(0).at(0),
              SqlValue(std::int64_t{5'000'000'000 + kThreads * kRows}));
}

TEST_P(DatabaseTest, EnsureSchemaCreatesTheTablesOnce) {
    TestDatabase fresh(GetParam());
    EXPECT_TRUE(fresh.Db().EnsureSchema().Created());
    const SchemaUpgrade again = fresh.Db().EnsureSchema();
    EXPECT_FALSE(again.Created() || again.Upgraded());
    auto conn = fresh.Db().Connect();
    TClientDataSet ds;
    ds.SetData(conn->GetData("select ORDERCODE, RECEIVABLES, CREATETIME from KAV_ORDER_SHOW"));
    EXPECT_EQ(ds.FieldByName("receivables").DataType(), TFieldType::ftFloat);
    EXPECT_EQ(ds.FieldByName("createtime").DataType(), TFieldType::ftDateTime);
    // A database that holds tables of its own is refused, not mixed with ours.
    EXPECT_THROW(db_->Db().EnsureSchema(), ESchemaRefused);
    EXPECT_EQ(Count(), 3);
}

// SQLite keeps whatever a column is given; the packet widens the field rather than cut a value.
TEST(SQLiteTypes, ValuesBeyondTheDeclaredTypeWidenTheField) {
    TestDatabase db(Backend::SQLite);
    auto conn = db.Db().Connect();
    conn->Execute("create table W (N integer, P REAL, S varchar(2), AT TIMESTAMP)");
    conn->Execute("insert into W values (5000000000, 'n/a', 'longer than two', null)");
    conn->Execute("insert into W values (1, 2.5, 'ab', null)");
    TClientDataSet ds;
    ds.SetData(conn->GetData("select N, P, S from W order by N"));
    EXPECT_EQ(ds.FieldByName("N").DataType(), TFieldType::ftLargeint);
    EXPECT_EQ(ds.FieldByName("P").DataType(), TFieldType::ftString);
    EXPECT_EQ(ds.FieldByName("S").Size(), 15);
    ds.First();
    EXPECT_EQ(ds.FieldByName("P").AsString(), "2.5");
    ds.Next();
    EXPECT_EQ(ds.FieldByName("N").AsLargeInt(), 5000000000);
    EXPECT_EQ(ds.FieldByName("P").AsString(), "n/a");
    EXPECT_EQ(ds.FieldByName("S").AsString(), "longer than two");

    // A date-time column holding something else is named in the refusal.
    conn->Execute("update W set AT = 'soon' where N = 1");
    try {
        conn->GetData("select AT from W");
        FAIL() << "accepted";
    } catch (const EDatabase& e) {
        EXPECT_NE(std::string(e.what()).find("AT"), std::string::npos) << e.what();
    }
    EXPECT_EQ(conn->Select("select count(*) from W").at(0).at(0), SqlValue(std::int64_t{2}));
}

TEST(DatabaseOpen, RefusesWhatItCannotOpen) {
    EXPECT_THROW(Database::Open("sqlite:"), EDatabase);
    EXPECT_THROW(Database::Open("sqlite:/nonexistent-folder/x/y.db"), EDatabase);
    EXPECT_THROW(Database::Open("postgresql://nobody@127.0.0.1:1/none?connect_timeout=2"), EDatabase);
}

INSTANTIATE_TEST_SUITE_P(Backends, DatabaseTest, ::testing::ValuesIn(TestBackends()),
                         [](const auto& info) { return BackendName(info.param); });

} // namespace
} // namespace kav::server::test
