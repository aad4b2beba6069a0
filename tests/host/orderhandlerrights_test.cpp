// The order handler's rights as kav-server stores them: the user's own row over the group's, one
// module at a time, and nothing granted when there is no row or the read fails.

#include "host/kavcontext.h"
#include "host/orderhandlerrights.h"
#include "serverfixture.h"
#include "services/dbpipe/tpdbpipe.h"

#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>

using namespace kav;
using kav::server::e2e::ServerFixture;

namespace {

// The real pipe, made to fail on demand.
class BreakablePipe final : public ITPDBPipe {
public:
    explicit BreakablePipe(ITPDBPipe& pipe) : pipe_(pipe) {}
    Variant GetData(const std::string& context, const std::string& sql) override {
        if (broken) throw std::runtime_error("connection lost");
        return pipe_.GetData(context, sql);
    }
    Variant GetMasterDetailData(const std::string& context, const std::string& master,
                                const std::string& name, const std::string& detail) override {
        return pipe_.GetMasterDetailData(context, master, name, detail);
    }
    std::int32_t ExecSQL(const std::string& context, const std::string& sql) override {
        return pipe_.ExecSQL(context, sql);
    }
    bool broken = false;

private:
    ITPDBPipe& pipe_;
};

class OrderHandlerRightsTest : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        context_ = LoginAs("demo", "demo");
        proxy_.emplace(client_.get());
        pipe_.emplace(*proxy_);
    }

    // A rights row; `flags` are the 16 Y/N columns in table order around the group scope.
    void AddRow(const char* kind, const char* subject, const char* module, const char* node,
                const char* flags, int scope) {
        std::string f(flags);
        std::string values =
            std::string("'") + node + "', '" + kind + "', '" + subject + "', '" + module + "'";
        for (std::size_t i = 0; i < f.size(); ++i) {
            if (i == 7) values += ", " + std::to_string(scope);
            values += std::string(", '") + f[i] + "'";
        }
        setup_->Execute(
            "insert into KAV_ORDERHANDLER_RIGHT (NODECODE, SUBJECTKIND, SUBJECTCODE, MODULECODE, "
            "CANVIEWORDERS_2, "
            "CANVIEWORDERS_3, CANTOEXCEL, CANCUSTOMERTOEXCEL_1, CANCUSTOMERTOEXCEL_2, CANCUSTOMERTOEXCEL_3, "
            "CANCUSTOMERTOEXCEL_4, CANSEACHOTHERGROUPORDERS, CANEDITOTHERUSERORDERSINFO, "
            "MUSTHAVENAMEINSEARCH, "
            "MUSTHAVEPHONEORCELLPHONEINSEARCH, MUSTHAVEIDNUMBERINSEARCH, CANSALENB, CANSALEHW, CANTEMPINFO, "
            "CANCHANGERECEIVABLES, CANCHANGESEAT) values (" +
            values + ")");
    }

    std::string context_;
    std::optional<TTPDBPipe> proxy_;
    std::optional<BreakablePipe> pipe_;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, OrderHandlerRightsTest, ::testing::ValuesIn(server::test::TestBackends()),
                         [](const auto& info) { return server::test::BackendName(info.param); });

TEST_P(OrderHandlerRightsTest, EveryColumnReachesItsQuestion) {
    // Alternating flags catch two columns read into each other's place.
    AddRow("G", "G01", "2", "01",
           "YNYNYNY"
           "NYNYNYNYN",
           -1);
    TSPOrderHandler rights(*pipe_);
    rights.InitialGetPrivileges(context_, "2");
    EXPECT_TRUE(rights.CanViewOrders(2));
    EXPECT_FALSE(rights.CanViewOrders(3));
    EXPECT_FALSE(rights.CanViewOrders(1)); // counter sales are not a viewable source
    EXPECT_TRUE(rights.CanToExcel());
    EXPECT_FALSE(rights.CanCustomerToExcel(1));
    EXPECT_TRUE(rights.CanCustomerToExcel(2));
    EXPECT_FALSE(rights.CanCustomerToExcel(3));
    EXPECT_TRUE(rights.CanCustomerToExcel(4));
    EXPECT_FALSE(rights.CanCustomerToExcel(0));
    EXPECT_FALSE(rights.CanCustomerToExcel(5));
    EXPECT_EQ(rights.CanSeachOtherGroupOrders(), -1);
    EXPECT_FALSE(rights.CanEditOtherUserOrdersInfo());
    EXPECT_TRUE(rights.MustHaveNameInSearch());
    EXPECT_FALSE(rights.MustHavePhoneOrCellPhoneInSearch());
    EXPECT_TRUE(rights.MustHaveIDNumberInSearch());
    EXPECT_FALSE(rights.CanSaleNB());
    EXPECT_TRUE(rights.CanSaleHW());
    EXPECT_FALSE(rights.CanTempInfo());
    EXPECT_TRUE(rights.CanChangeReceivables());
    EXPECT_FALSE(rights.CanChangeSeat());
}

TEST_P(OrderHandlerRightsTest, UsersOwnRowWinsOverTheGroupsAndModulesStayApart) {
    AddRow("G", "G01", "2", "01",
           "YYYYYYY"
           "YYYYYYYYY",
           1);
    AddRow("U", "demo", "2", "01",
           "NNNNNNN"
           "NNNNNNNNN",
           0);
    AddRow("G", "G01", "3", "01",
           "NNNNNNN"
           "NNNNYNNNN",
           0);
    AddRow("U", "demo", "3", "02",
           "YYYYYYY"
           "YYYYYYYYY",
           1); // another node's row of the same user
    AddRow("U", "clerk", "3", "01",
           "YYYYYYY"
           "YYYYYYYYY",
           1); // another user of the same group

    TSPOrderHandler rights(*pipe_);
    rights.InitialGetPrivileges(context_, "2");
    EXPECT_FALSE(rights.CanToExcel());
    EXPECT_EQ(rights.CanSeachOtherGroupOrders(), 0);

    rights.InitialGetPrivileges(context_, "3");
    EXPECT_TRUE(rights.CanSaleNB());
    EXPECT_FALSE(rights.CanSaleHW());
    EXPECT_FALSE(rights.CanToExcel());
    EXPECT_EQ(rights.CanSeachOtherGroupOrders(), 0);
}

TEST_P(OrderHandlerRightsTest, NoRowOrAFailedReadGrantsNothing) {
    AddRow("G", "G01", "2", "01",
           "YYYYYYY"
           "YYYYYYYYY",
           1);
    TSPOrderHandler rights(*pipe_);
    rights.InitialGetPrivileges(context_, "2");
    ASSERT_TRUE(rights.CanToExcel());

    rights.InitialGetPrivileges(context_, "3"); // no row for this module
    EXPECT_FALSE(rights.CanToExcel());
    EXPECT_FALSE(rights.CanViewOrders(2));

    rights.InitialGetPrivileges(context_, "2");
    pipe_->broken = true;
    EXPECT_THROW(rights.InitialGetPrivileges(context_, "3"), std::runtime_error);
    EXPECT_FALSE(rights.CanToExcel()); // not the rights of the module read before
    EXPECT_EQ(rights.CanSeachOtherGroupOrders(), 0);
}

TEST(OrderHandlerRightsSQL, ValuesStayInsideTheirLiterals) {
    const std::string sql = TSPOrderHandler::RightsSQL("01", "o'neil", "G01", "2");
    EXPECT_NE(sql.find("SUBJECTCODE = 'o''neil'"), std::string::npos) << sql;
}

TEST(OrderHandlerRightsWithoutUser, GrantsNothingAndAsksNothing) {
    struct RefusingPipe final : ITPDBPipe {
        Variant GetData(const std::string&, const std::string&) override { throw std::logic_error("asked"); }
        Variant GetMasterDetailData(const std::string&, const std::string&, const std::string&,
                                    const std::string&) override {
            throw std::logic_error("asked");
        }
        std::int32_t ExecSQL(const std::string&, const std::string&) override {
            throw std::logic_error("asked");
        }
    } pipe;
    TSPOrderHandler rights(pipe);
    // A group's row must not become the rights of a context that names no user.
    EXPECT_NO_THROW(rights.InitialGetPrivileges("NodeCode=01\nGroupCode=G01\n", "2"));
    EXPECT_EQ(rights.Rights().canToExcel, false);
    EXPECT_EQ(rights.Rights().groupScope, 0);
}
