#include "orderhandler/odrhcodetables.h"
#include "orderhandler/odrhcolumns.h"
#include "orderhandler/odrhpackage.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

using namespace kav::orderhandler;

TEST(OrderCodeTables, StatusDisplayMapsOnlineCodes) {
    EXPECT_EQ(GetOrderStatusDisplayname("B"), "未处理");
    EXPECT_EQ(GetOrderStatusDisplayname("N"), "未处理");
    EXPECT_EQ(GetOrderStatusDisplayname("C"), "已取消");
    EXPECT_EQ(GetOrderStatusDisplayname("U"), "已取消");
    EXPECT_EQ(GetOrderStatusDisplayname("RA"), "已支付+已提票");
    EXPECT_EQ(GetOrderStatusDisplayname("b"), ""); // codes keep their letter case
    EXPECT_EQ(GetOrderStatusDisplayname("X"), "");
    ASSERT_EQ(OrderStatusTypeInfos().size(), 6u);
    EXPECT_EQ(OrderStatusTypeInfos().back(), (TCodeNameItem{"ALL", "全部"}));
}

TEST(OrderCodeTables, OrderSourcesFollowTheViewRights) {
    EXPECT_TRUE(OrderFromTypeInfos(nullptr).empty());
    EXPECT_EQ(GetOrderFromDisplayName("2", nullptr), "");

    const auto onlineOnly = [](int source) { return source == 3; };
    EXPECT_EQ(OrderFromTypeInfos(onlineOnly), (TOrderFromTypeInfoArr{{"3", "网上订单"}}));
    EXPECT_EQ(GetOrderFromDisplayName("2", onlineOnly), "");

    const auto both = [](int) { return true; };
    EXPECT_EQ(OrderFromTypeInfos(both), (TOrderFromTypeInfoArr{{"2", "呼叫中心订单"}, {"3", "网上订单"}}));
    EXPECT_EQ(GetOrderFromDisplayName("2", both), "呼叫中心订单");
}

TEST(OrderCodeTables, ShippingWaysAndCustomerCategories) {
    EXPECT_EQ(GetShippingWayDisplayName("1"), "现场取票");
    EXPECT_EQ(GetShippingWayDisplayName("3"), "配送至网点");
    EXPECT_EQ(GetShippingWayDisplayName("4"), "");
    EXPECT_EQ(GetClientTypeExportName("1"), "会员");
    EXPECT_EQ(GetClientTypeExportName("3"), "普通购票者");
    EXPECT_EQ(GetClientTypeExportName("2"), "未知购票者");
    EXPECT_EQ(GetClientTypeExportName(""), "未知购票者");
}

TEST(OrderColumns, FieldNamesAreUniqueKeys) {
    std::set<std::string_view> names;
    for (const TOrderColumn& column : OrderColumns()) {
        EXPECT_TRUE(names.insert(column.fieldName).second) << column.fieldName;
        EXPECT_GT(column.width, 0) << column.fieldName;
    }
    EXPECT_EQ(FindOrderColumn("OrderCode"), 0);
    EXPECT_EQ(FindOrderColumn("ShippingComment"), 25);
    EXPECT_EQ(FindOrderColumn("ordercode"), std::nullopt);
    EXPECT_EQ(OrderColumns()[8].sortKind, TFieldType::ftFlo);
    EXPECT_EQ(OrderColumns()[9].sortKind, TFieldType::ftInt);
    EXPECT_EQ(OrderColumns()[17].sortKind, TFieldType::ftTime);
}

TEST(OrderHandlerPackage, OrderSourcesFollowThePublishedRights) {
    EXPECT_TRUE(GetOrderFromTypeInfos().empty()); // nothing published yet
    TOrderOutsideLookups rights;
    rights.canViewOrders = [](int source) { return source == 2; };
    PublishOrderHandlerRights(rights);
    EXPECT_EQ(GetOrderFromDisplayName(std::string("2")), "呼叫中心订单");
    EXPECT_EQ(GetOrderFromDisplayName(std::string("3")), "");
    FreeOrderHandlerPackage();
    EXPECT_TRUE(GetOrderFromTypeInfos().empty());
}

namespace {

class FakeRights final : public kav::TOrderHandlerRightsAnswers {
public:
    void InitialGetPrivileges(const std::string&, const std::string&) override {}
    kav::TOrderHandlerRights& Grant() { return rights_; }
};

class FakeMembers final : public kav::IKavMemberSys {
public:
    void SetContextString(const std::string&) override {}
    const std::vector<kav::TMemberCodeName>& CustomerTypes() override { return customers_; }
    const std::vector<kav::TMemberCodeName>& CertificateTypes() override { return certificates_; }

private:
    std::vector<kav::TMemberCodeName> customers_{{"1", "会员"}, {"3", "普通购票者"}};
    std::vector<kav::TMemberCodeName> certificates_{{"ID", "身份证"}};
};

} // namespace

TEST(OrderHandlerPackage, PublishedRightsObjectIsAskedAtEachQuestion) {
    FakeRights rights;
    FakeMembers members;
    rights.Grant().canViewOnlineOrders = true;
    PublishOrderHandlerRights(rights, members);
    EXPECT_EQ(GetOrderFromDisplayName(std::string("3")), "网上订单");
    EXPECT_EQ(GetOrderFromDisplayName(std::string("2")), "");
    // The window re-reads the rights object (another module) without publishing it again.
    rights.Grant().canViewCallCentreOrders = true;
    EXPECT_EQ(GetOrderFromDisplayName(std::string("2")), "呼叫中心订单");

    rights.Grant().canCustomerToExcel[2] = true;
    const TOrderOutsideLookups outside = OutsideLookupsOf(rights, members);
    EXPECT_TRUE(outside.canCustomerToExcel(3));
    EXPECT_FALSE(outside.canCustomerToExcel(1));
    EXPECT_EQ(outside.customerTypeName("3"), "普通购票者");
    EXPECT_EQ(outside.customerTypeName("9"), "");
    FreeOrderHandlerPackage();
}
