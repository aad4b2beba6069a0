// What the data pipe keeps out of reach, through the hosted server: credential columns whatever
// SQL a client sends, the tables the server keeps, and on PostgreSQL other nodes' rows; each
// refused read audited.

#include "host/kavcontext.h"
#include "platform/dataset/clientdataset.h"
#include "server/access/auditlog.h"
#include "server/db/pipeaccess.h"
#include "server/dbpipeservant.h"
#include "serverfixture.h"
#include "services/dbpipe/tpdbpipe.h"
#include "services/membersys/tpmembersys.h"

#include <gmock/gmock.h>

using namespace kav;
using namespace kav::server;
using kav::server::e2e::RemoteError;
using kav::server::e2e::ServerFixture;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

const std::string kUserHash = std::string(kCredentialColumnText) + "KAV_USER.PASSWORDHASH";
const std::string kCardHash = std::string(kCredentialColumnText) + "KAV_MEMBER.CARDPASSWORDHASH";

class CredentialsTest : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        // A member card whose password is 8888.
        setup_->Execute("insert into KAV_MEMBER (NODECODE, MEMBERID, CARDNO, CNAME, CARDPASSWORDHASH, BALANCE, "
                        "ISFEEMEMBER) values ('01', 77, '8877', '会员甲', ?1, 500, 'Y')",
                        {e2e::PasswordHash("8888")});
        context_ = LoginAs("demo", "demo");
    }

    std::vector<std::string> Column(const std::string& sql, const std::string& field) {
        TClientDataSet rows;
        rows.SetData(TTPDBPipe(client_.get()).GetData(context_, sql).ByteArrayView());
        std::vector<std::string> values;
        for (rows.First(); !rows.Eof(); rows.Next())
            values.push_back(rows.FieldByName(field).AsString());
        return values;
    }

    std::string context_;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, CredentialsTest, ::testing::ValuesIn(test::TestBackends()),
                         [](const auto& info) { return test::BackendName(info.param); });

TEST_P(CredentialsTest, EveryFormOfReadingOrWritingAHashIsRefusedAndAudited) {
    // Each statement with the refusal it must get: the user's password hash, then the card's.
    std::vector<std::pair<std::string, std::string>> reads = {
        {"select PASSWORDHASH from KAV_USER", kUserHash},
        {"select * from KAV_USER", kUserHash},
        {"select u.* from KAV_USER u where u.USERCODE = 'ADMIN'", kUserHash},
        {"SeLeCt passwordHash FROM kav_user", kUserHash},
        {"select \"passwordhash\" from \"kav_user\"", kUserHash},
        {"select PASSWORDHASH as CNAME from KAV_USER", kUserHash},
        {"select x.h from (select PASSWORDHASH as h from KAV_USER) x", kUserHash},
        {"select (select max(PASSWORDHASH) from KAV_USER) as H", kUserHash},
        {"select USERCODE from KAV_USER union select PASSWORDHASH from KAV_USER", kUserHash},
        {"select g.CNAME, u.PASSWORDHASH from KAV_GROUP g join KAV_USER u on u.GROUPCODE = g.GROUPCODE",
         kUserHash},
        {"with h as (select PASSWORDHASH from KAV_USER) select * from h", kUserHash},
        {"select count(PASSWORDHASH) as N from KAV_USER", kUserHash},
        // Oracles: the hash never leaves, but a filter or an order on it would tell it bit by bit.
        {"select USERCODE from KAV_USER where PASSWORDHASH like '$argon2id$%'", kUserHash},
        {"select USERCODE from KAV_USER order by PASSWORDHASH", kUserHash},
        {"select USERCODE from KAV_GROUP g, KAV_USER u where substr(u.PASSWORDHASH, 1, 1) = '$'", kUserHash},

        {"select CARDPASSWORDHASH from KAV_MEMBER", kCardHash},
        {"select * from KAV_MEMBER", kCardHash},
        {"select m.* from KAV_MEMBER m where m.CARDNO = '8877'", kCardHash},
        {"SeLeCt CardPasswordHash FROM Kav_Member", kCardHash},
        {"select \"cardpasswordhash\" from \"kav_member\"", kCardHash},
        {"select CARDPASSWORDHASH as CNAME from KAV_MEMBER", kCardHash},
        {"select x.h from (select CARDPASSWORDHASH as h from KAV_MEMBER) x", kCardHash},
        {"select (select max(CARDPASSWORDHASH) from KAV_MEMBER) as H", kCardHash},
        {"select CNAME from KAV_MEMBER union all select CARDPASSWORDHASH from KAV_MEMBER", kCardHash},
        {"select o.ORDERCODE, m.CARDPASSWORDHASH from KAV_ORDER_SHOW o left join KAV_MEMBER m "
         "on m.NODECODE = o.NODECODE and m.MEMBERID = o.MEMBERID",
         kCardHash},
        {"with h as (select CARDNO, CARDPASSWORDHASH from KAV_MEMBER) select CARDNO from h", kCardHash},
        {"select CARDNO from KAV_MEMBER where CARDPASSWORDHASH > '$argon2id$v=19$m=65536'", kCardHash},
        {"select CARDNO from KAV_MEMBER order by length(CARDPASSWORDHASH)", kCardHash},
        {"select CARDNO from KAV_MEMBER group by CARDNO having max(CARDPASSWORDHASH) <> ''", kCardHash},
    };
    if (GetParam() == Backend::PostgreSQL) {
        reads.emplace_back("select row_to_json(u)::text as J from KAV_USER u", kUserHash);
        reads.emplace_back("select row_to_json(m)::text as J from KAV_MEMBER m", kCardHash);
        // A statement run inside the statement runs with the pipe's rights too.
        reads.emplace_back("select query_to_xml('select passwordhash from kav_user', false, false, '')::text as X",
                           kUserHash);
        reads.emplace_back(
            "select query_to_xml('select cardpasswordhash from kav_member', false, false, '')::text as X",
            kCardHash);
    }
    const std::vector<std::pair<std::string, std::string>> writes = {
        {"update KAV_USER set PASSWORDHASH = 'mine' where USERCODE = 'demo'", kUserHash},
        {"insert into KAV_USER (NODECODE, USERCODE, CNAME, GROUPCODE, PASSWORDHASH) "
         "values ('01', 'evil', '冒充', 'G01', 'mine')",
         kUserHash},
        {"update KAV_GROUP set CNAME = (select PASSWORDHASH from KAV_USER where USERCODE = 'demo')", kUserHash},
        {"delete from KAV_USER where PASSWORDHASH like 'x%'", kUserHash},
        {"update KAV_MEMBER set CARDPASSWORDHASH = 'mine'", kCardHash},
        {"insert into KAV_MEMBER (NODECODE, MEMBERID, CARDNO, CNAME, CARDPASSWORDHASH) "
         "values ('01', 78, '8878', '冒充', 'mine')",
         kCardHash},
        {"update KAV_GROUP set CNAME = (select CARDPASSWORDHASH from KAV_MEMBER where MEMBERID = 77)",
         kCardHash},
    };
    TTPDBPipe pipe(client_.get());
    for (const auto& [sql, refusal] : reads) {
        SCOPED_TRACE(sql);
        EXPECT_EQ(RemoteError([&] { pipe.GetData(context_, sql); }), refusal);
    }
    EXPECT_EQ(RemoteError([&] {
                  pipe.GetMasterDetailData(context_, "select USERCODE from KAV_USER", "H",
                                           "select PASSWORDHASH from KAV_USER where USERCODE = :USERCODE");
              }),
              kUserHash);
    // An order of the member, so that a detail statement runs on every backend.
    setup_->Execute("insert into KAV_ORDER_SHOW (NODECODE, ORDERCODE, PRODUCTCODE, ORDERFROM, ORDERSTATUS, "
                    "CREATETIME, MEMBERID) values ('01', 'D0000077', 'P0001', '1', 'B', '2026-12-01 10:00:00', 77)");
    EXPECT_EQ(RemoteError([&] {
                  pipe.GetMasterDetailData(context_, "select ORDERCODE, MEMBERID from KAV_ORDER_SHOW", "M",
                                           "select CARDPASSWORDHASH from KAV_MEMBER where MEMBERID = :MEMBERID");
              }),
              kCardHash);
    for (const auto& [sql, refusal] : writes) {
        SCOPED_TRACE(sql);
        EXPECT_EQ(RemoteError([&] { pipe.ExecSQL(context_, sql); }), refusal);
    }

    // Nothing was written, and every refusal is in the audit with who, from where and what.
    EXPECT_EQ(
        setup_->Select("select count(*) from KAV_USER where USERCODE = 'evil' or PASSWORDHASH = 'mine'"),
        (std::vector<std::vector<SqlValue>>{{std::int64_t{0}}}));
    EXPECT_EQ(setup_->Select("select count(*) from KAV_MEMBER where CARDPASSWORDHASH = 'mine'"),
              (std::vector<std::vector<SqlValue>>{{std::int64_t{0}}}));
    const auto audit = setup_->Select("select NODECODE, USERCODE, ADDRESS, DETAIL from KAV_AUDIT_LOG "
                                      "where EVENTKIND = 'PIPEREFUSED' order by AUDITID");
    ASSERT_EQ(audit.size(), reads.size() + writes.size() + 2);
    EXPECT_EQ(audit.front()[0], SqlValue(std::string("01")));
    EXPECT_EQ(audit.front()[1], SqlValue(std::string("demo")));
    EXPECT_EQ(audit.front()[2], SqlValue(std::string("127.0.0.1")));
    EXPECT_EQ(audit.front()[3], SqlValue("KAV_USER.PASSWORDHASH: " + reads.front().first));

    // Everything else of those tables stays within reach; the login and the member system, which read
    // the hashes on connections of their own, still work.
    EXPECT_EQ(Column("select USERCODE, CNAME, ISVALID from KAV_USER order by USERCODE", "USERCODE"),
              (std::vector<std::string>{"clerk", "demo", "gone"}));
    EXPECT_EQ(Column("select m.CARDNO, m.CNAME, m.BALANCE from KAV_MEMBER m where m.MEMBERID = 77", "CNAME"),
              (std::vector<std::string>{"会员甲"}));
    EXPECT_EQ(pipe.ExecSQL(context_, "update KAV_USER set CNAME = '新名' where USERCODE = 'clerk'"), 1);
    EXPECT_EQ(pipe.ExecSQL(context_, "delete from KAV_USER where USERCODE = 'gone'"), 1);
    EXPECT_EQ(Column("select CNAME from KAV_USER where USERCODE = 'clerk'", "CNAME"),
              (std::vector<std::string>{"新名"}));
    EXPECT_FALSE(LoginAs("demo", "demo").empty());
    TTPMemberSys members(client_.get());
    EXPECT_TRUE(members.CheckCardPassword(context_, "8877", "8888"));
    EXPECT_FALSE(members.CheckCardPassword(context_, "8877", "8889"));
}

TEST_P(CredentialsTest, TheServersOwnTablesCanBeReadButNotChanged) {
    EXPECT_THAT(Column("select EVENTKIND from KAV_AUDIT_LOG order by AUDITID", "EVENTKIND"),
                ::testing::ElementsAre("LOGIN"));
    TTPDBPipe pipe(client_.get());
    for (const auto& [sql, table] : std::vector<std::pair<std::string, std::string>>{
             {"delete from KAV_AUDIT_LOG", "KAV_AUDIT_LOG"},
             {"update KAV_AUDIT_LOG set USERCODE = 'x'", "KAV_AUDIT_LOG"},
             {"insert into KAV_AUDIT_LOG (AUDITID, EVENTTIME, EVENTKIND, NODECODE, USERCODE, ADDRESS, "
              "DETAIL) "
              "values (99, '2026-01-01 00:00:00', 'LOGIN', '01', 'x', '', '')",
              "KAV_AUDIT_LOG"},
             {"delete from KAV_LOGIN_THROTTLE", "KAV_LOGIN_THROTTLE"},
             {"delete from KAV_MEMBER_PURCHASE", "KAV_MEMBER_PURCHASE"},
             {"update KAV_PIPE_NODE set NODECODE = '02'", "KAV_PIPE_NODE"}}) {
        if (table == "KAV_PIPE_NODE" && GetParam() == Backend::SQLite) continue; // PostgreSQL's alone
        SCOPED_TRACE(sql);
        EXPECT_EQ(RemoteError([&] { pipe.ExecSQL(context_, sql); }), std::string(kServerKeptTableText) + table);
    }
    EXPECT_EQ(setup_->Select("select count(*) from KAV_AUDIT_LOG"),
              (std::vector<std::vector<SqlValue>>{{std::int64_t{1}}}));
}

TEST_P(CredentialsTest, WithRowSecurityOnThePipeReachesOnlyTheSessionsNode) {
    if (GetParam() != Backend::PostgreSQL) GTEST_SKIP() << "row security is PostgreSQL's";
    setup_->Execute(
        "insert into KAV_GROUP (NODECODE, GROUPCODE, CNAME, GROUPTYPE) values ('02', 'G02', '二号', '1')");
    setup_->Execute("insert into KAV_USER (NODECODE, USERCODE, CNAME, GROUPCODE, PASSWORDHASH) "
                    "values ('02', 'north', '北区', 'G02', ?1)",
                    {e2e::PasswordHash("north")});
    for (const char* order : {"'01', 'D0000001'", "'01', 'D0000002'", "'02', 'N0000001'"})
        setup_->Execute(
            std::string("insert into KAV_ORDER_SHOW (NODECODE, ORDERCODE, PRODUCTCODE, ORDERFROM, "
                        "ORDERSTATUS, CREATETIME) values (") +
            order + ", 'P0001', '1', 'B', '2026-12-01 10:00:00')");
    const std::string everyOrder = "select ORDERCODE from KAV_ORDER_SHOW order by ORDERCODE";
    // Off, as a new database has it: the client's own filters are all there is.
    EXPECT_EQ(Column(everyOrder, "ORDERCODE").size(), 3u);

    Database::Open(database_->Url(), {.url = {}, .rowSecurity = true})
        ->EnsureSchema(); // a server started with it on
    EXPECT_EQ(Column(everyOrder, "ORDERCODE"), (std::vector<std::string>{"D0000001", "D0000002"}));
    TTPDBPipe pipe(client_.get());
    // Another node's rows can be neither changed nor made.
    pipe.ExecSQL(context_, "update KAV_ORDER_SHOW set ORDERSTATUS = 'C'");
    EXPECT_EQ(setup_->Select("select ORDERSTATUS from KAV_ORDER_SHOW where ORDERCODE = 'N0000001'"),
              (std::vector<std::vector<SqlValue>>{{std::string("B")}}));
    EXPECT_THAT(RemoteError([&] {
                    pipe.ExecSQL(context_, "insert into KAV_ORDER_SHOW (NODECODE, ORDERCODE, PRODUCTCODE, "
                                           "ORDERFROM, ORDERSTATUS, CREATETIME) values ('02', 'N0000002', "
                                           "'P0001', '1', 'B', '2026-12-01 10:00:00')");
                }),
                HasSubstr("row-level security"));
    // The same server connection serves the other node's seller with that node's rows, and the
    // server's own services still see every row.
    const std::string north = LoginAs("north", "north");
    TClientDataSet rows;
    rows.SetData(pipe.GetData(north, everyOrder).ByteArrayView());
    ASSERT_EQ(rows.RecordCount(), 1);
    EXPECT_EQ(rows.FieldByName("ORDERCODE").AsString(), "N0000001");
    EXPECT_EQ(Column(everyOrder, "ORDERCODE").size(), 2u);

    // A pipe session opened again after a loss serves its node again, not none.
    const auto own = database_->Db().ConnectPipe();
    own->SetPipeNode("01");
    const auto pid = own->Select("select pg_backend_pid()", {}).at(0).at(0);
    setup_->Select("select pg_terminate_backend(?1, 10000)", {pid});
    EXPECT_THROW(own->GetData(everyOrder), EDatabase);
    TClientDataSet again;
    again.SetData(own->GetData(everyOrder));
    EXPECT_EQ(again.RecordCount(), 2);

    // A server started without the option keeps it on; one started with it off turns it off.
    database_->Db().EnsureSchema();
    EXPECT_EQ(Column(everyOrder, "ORDERCODE").size(), 2u);
    Database::Open(database_->Url(), {.url = {}, .rowSecurity = false})->EnsureSchema();
    EXPECT_EQ(Column(everyOrder, "ORDERCODE").size(), 3u);
}

TEST_P(CredentialsTest, APipeRoleOfTheSitesChoiceIsUsedAndOneThatCouldReadEverythingRefused) {
    if (GetParam() != Backend::PostgreSQL) GTEST_SKIP() << "roles are PostgreSQL's";
    const std::string url = database_->Url();
    setup_->Execute("do $$ begin if not exists (select from pg_roles where rolname = 'kav_pipe_site') then "
                    "create role kav_pipe_site login; end if; end $$");
    const std::string asSiteRole =
        url + (url.find("://") == std::string::npos ? " user=kav_pipe_site" : "&user=kav_pipe_site");
    const auto database = Database::Open(url, {.url = asSiteRole, .rowSecurity = {}});
    database->EnsureSchema();
    const auto pipe = database->ConnectPipe();
    EXPECT_EQ(pipe->Select("select current_user", {}).at(0).at(0), SqlValue(std::string("kav_pipe_site")));
    EXPECT_FALSE(pipe->GetData("select USERCODE from KAV_USER").empty());
    EXPECT_THROW(pipe->GetData("select PASSWORDHASH from KAV_USER"), ECredentialColumn);

    // The tests' owner is a superuser: as the pipe's role it would bypass every privilege.
    try {
        Database::Open(url, {.url = url, .rowSecurity = {}})->EnsureSchema();
        ADD_FAILURE() << "the owner was accepted as the pipe's role";
    } catch (const EDatabase& e) {
        EXPECT_THAT(e.what(), HasSubstr("reaches every row and column"));
    }
}
