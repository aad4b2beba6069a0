// The member system's customer and certificate types as kav-server keeps them, per node.

#include "host/membersys.h"
#include "serverfixture.h"
#include "services/dbpipe/tpdbpipe.h"

#include <gtest/gtest.h>
#include <optional>

using namespace kav;
using kav::server::e2e::ServerFixture;

namespace {

class MemberSysTest : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        setup_->Execute("insert into KAV_MEMBER_CLIENTTYPE (NODECODE, CLIENTTYPE, CLIENTTYPENAME) values "
                        "('01', '3', '普通购票者'), ('01', '1', '会员'), ('02', '2', '外站')");
        setup_->Execute(
            "insert into KAV_MEMBER_IDENTTYPE (NODECODE, IDENTTYPEID, IDENTTYPENAME, CERTIFICATETYPE) "
            "values ('01', 2, '护照', 'PASSPORT'), ('01', 1, '身份证', 'ID'), ('02', 3, '外站证', 'X')");
        proxy_.emplace(client_.get());
    }
    std::optional<TTPDBPipe> proxy_;
};

std::vector<std::string> Codes(const std::vector<TMemberCodeName>& table) {
    std::vector<std::string> codes;
    for (const auto& entry : table)
        codes.push_back(entry.code);
    return codes;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, MemberSysTest, ::testing::ValuesIn(server::test::TestBackends()),
                         [](const auto& info) { return server::test::BackendName(info.param); });

TEST_P(MemberSysTest, TablesOfTheContextsNodeWithTheirNames) {
    TKavMemberSys members(*proxy_);
    members.SetContextString(LoginAs("demo", "demo"));
    EXPECT_EQ(Codes(members.CustomerTypes()), (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(Codes(members.CertificateTypes()), (std::vector<std::string>{"ID", "PASSPORT"}));
    EXPECT_EQ(members.CustomerTypeName("3"), "普通购票者");
    EXPECT_EQ(members.CertificateTypeName("PASSPORT"), "护照");
    EXPECT_EQ(members.CustomerTypeName("2"), ""); // another node's type
    EXPECT_EQ(members.CertificateTypeName(""), "");
}

TEST_P(MemberSysTest, TablesAreReadOncePerContext) {
    TKavMemberSys members(*proxy_);
    const std::string context = LoginAs("demo", "demo");
    members.SetContextString(context);
    ASSERT_EQ(members.CustomerTypeName("1"), "会员");
    setup_->Execute("update KAV_MEMBER_CLIENTTYPE set CLIENTTYPENAME = '新会员' where CLIENTTYPE = '1'");
    members.SetContextString(context);
    EXPECT_EQ(members.CustomerTypeName("1"), "会员");
    members.SetContextString(LoginAs("clerk", "柜台'1"));
    EXPECT_EQ(members.CustomerTypeName("1"), "新会员");
}
