#include "orderhandler/odrhsql.h"
#include "statementcatalogue.h"

#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <stdexcept>
#include <string>

using namespace kav;
using namespace kav::orderhandler;

namespace {

// The statements of the database catalogue by id: the texts the server side was checked against.
const std::string& Catalogued(const std::string& id) {
    return kav::test::CataloguedStatement(id).sql;
}

TDateTime At(int y, int m, int d, int hh = 0, int nn = 0, int ss = 0) {
    return EncodeDateTime({y, m, d, hh, nn, ss, 0});
}

// A condition that filters nothing and has no group restriction.
TOrderHandlerSearchCondition Unrestricted() {
    TOrderHandlerSearchCondition c;
    c.groupType = kGroupTypeAll;
    return c;
}

// What a condition adds after the bare order select.
std::string Filters(const TOrderHandlerSearchCondition& c) {
    const std::string bare = GetOrderInfoSQL("01", Unrestricted());
    const std::string sql = GetOrderInfoSQL("01", c);
    EXPECT_EQ(sql.substr(0, bare.size()), bare);
    return sql.substr(bare.size());
}

} // namespace

TEST(OrderSql, MatchesTheCatalogue) {
    EXPECT_EQ(GetOrderInfoSQL("01", "D0000001"), Catalogued("order.by_code"));
    EXPECT_EQ(GetOrderPSInfoSQL("01", "123456", At(2026, 12, 7, 15, 30)), Catalogued("order.by_password"));
    EXPECT_EQ(GetOrderInfoSQL("01", Unrestricted()), Catalogued("order.by_condition.bare"));
    EXPECT_EQ(GetOrderSeatInfoSQL(), Catalogued("order.seat_detail"));
    EXPECT_EQ(GetOrderSeatInfoExSQL("01", "D0000001"), Catalogued("order.seats"));
    EXPECT_EQ(GetOrderDiscountInfoSQL(), Catalogued("order.discount_detail"));

    TOrderHandlerSearchCondition all;
    all.clientType = "3";
    all.orderStatus = "RA";
    all.productCodes = "'P0001','P0002'";
    all.orderFrom = "2";
    all.customerName = "O'Brien";
    all.telephone = "010-88886666";
    all.cellPhone = "13800138000";
    all.certificateType = "ID";
    all.identityNumber = "110101199001011234";
    all.createTimeFrom = At(2026, 11, 1);
    all.createTimeTo = At(2026, 12, 7, 23, 59, 59);
    all.handlerTimeFrom = At(2026, 11, 1, 8);
    all.handlerTimeTo = At(2026, 12, 7, 18);
    all.failDateFrom = At(2026, 12, 1, 13, 45); // only the dates count
    all.failDateTo = At(2026, 12, 31, 6, 1);
    all.memberCardNo = "8800001";
    all.groupType = "B";
    all.groupScope = -1;
    all.groupCode = "OWN1";
    all.email = "abc";
    all.comment = "淘宝";
    all.ignoreProductCodes = all.ignoreClientType = all.ignoreOrderStatus = all.ignoreOrderFrom = false;
    all.ignoreCustomerName = all.ignoreTelephone = all.ignoreCellPhone = all.ignoreCertificate = false;
    all.ignoreCreateTime = all.ignoreEmail = all.ignoreComment = all.ignoreHandlerTime = false;
    all.ignoreFailDate = all.ignoreMemberCardNo = false;
    EXPECT_EQ(GetOrderInfoSQL("01", all), Catalogued("order.by_condition.all_filters"));

    TOrderHandlerSearchCondition online; // any group may see online orders
    online.orderStatus = "N";
    online.orderFrom = "3";
    online.ignoreOrderStatus = online.ignoreOrderFrom = false;
    online.groupType = "C";
    online.groupScope = 0;
    online.groupCode = "G001";
    EXPECT_EQ(GetOrderInfoSQL("01", online), Catalogued("order.by_condition.online"));

    TOrderHandlerSearchCondition ownGroup;
    ownGroup.orderStatus = "ALL";
    ownGroup.orderFrom = "2";
    ownGroup.ignoreOrderStatus = ownGroup.ignoreOrderFrom = false;
    ownGroup.groupType = "C";
    ownGroup.groupScope = 0;
    ownGroup.groupCode = "G001";
    EXPECT_EQ(GetOrderInfoSQL("01", ownGroup), Catalogued("order.by_condition.own_group"));
}

TEST(OrderSql, EachFilterAloneAddsItsClause) {
    struct Case {
        const char* what;
        void (*set)(TOrderHandlerSearchCondition&);
        const char* clause;
    };
    const Case cases[] = {
        {"client type", [](auto& c) { c.clientType = "1", c.ignoreClientType = false; },
         " and o.CLIENTTYPE = '1'"},
        {"status", [](auto& c) { c.orderStatus = "B", c.ignoreOrderStatus = false; },
         " and ORDERSTATUS = 'B'"},
        {"status RA", [](auto& c) { c.orderStatus = "RA", c.ignoreOrderStatus = false; },
         " and ORDERSTATUS in ( 'R','A')"},
        {"status ALL", [](auto& c) { c.orderStatus = "ALL", c.ignoreOrderStatus = false; }, ""},
        {"products", [](auto& c) { c.productCodes = "'P1'", c.ignoreProductCodes = false; },
         " and o.PRODUCTCODE in ('P1')"},
        {"call centre", [](auto& c) { c.orderFrom = "2", c.ignoreOrderFrom = false; },
         " and o.ORDERFROM <> '3'"},
        {"counter", [](auto& c) { c.orderFrom = "1", c.ignoreOrderFrom = false; }, " and o.ORDERFROM = '1'"},
        {"name", [](auto& c) { c.customerName = "张三", c.ignoreCustomerName = false; },
         " and c.CNAME = '张三'"},
        {"telephone", [](auto& c) { c.telephone = "88", c.ignoreTelephone = false; }, " and c.TEL = '88'"},
        {"cell phone", [](auto& c) { c.cellPhone = "139", c.ignoreCellPhone = false; },
         " and c.CELLPHONE = '139'"},
        {"certificate",
         [](auto& c) { c.certificateType = "ID", c.identityNumber = "42", c.ignoreCertificate = false; },
         " and i.CERTIFICATETYPE = 'ID' and c.IDENTCODE = '42'"},
        {"create time",
         [](auto& c) {
             c.createTimeFrom = At(2024, 3, 1, 9, 5, 7), c.createTimeTo = At(2024, 3, 2, 18);
             c.ignoreCreateTime = false;
         },
         " and o.CREATETIME >= '2024-03-01 09:05:07' and o.CREATETIME <= '2024-03-02 18:00:00'"},
        {"handler time",
         [](auto& c) {
             c.handlerTimeFrom = At(2024, 3, 1), c.handlerTimeTo = At(2024, 3, 2, 23, 59, 59);
             c.ignoreHandlerTime = false;
         },
         " and o.ORDERHANDLERTIME >= '2024-03-01 00:00:00' and o.ORDERHANDLERTIME <= '2024-03-02 23:59:59'"},
        {"fail date, times dropped",
         [](auto& c) {
             c.failDateFrom = At(2024, 3, 1, 17, 30), c.failDateTo = At(2024, 3, 2, 8, 15);
             c.ignoreFailDate = false;
         },
         " and o.FAILTIME >= '2024-03-01 00:00:00' and o.FAILTIME <= '2024-03-02 23:59:59'"},
        {"member card", [](auto& c) { c.memberCardNo = "77", c.ignoreMemberCardNo = false; },
         " and o.MEMBERCARDNO = '77'"},
        {"e-mail", [](auto& c) { c.email = "abc", c.ignoreEmail = false; }, " and c.EMAIL like '%abc%'"},
        {"comment", [](auto& c) { c.comment = "x", c.ignoreComment = false; }, " and c.Comment like '%x%'"},
    };
    for (const Case& test : cases) {
        TOrderHandlerSearchCondition c = Unrestricted();
        test.set(c);
        EXPECT_EQ(Filters(c), test.clause) << test.what;
    }
}

TEST(OrderSql, FiltersIgnoredByTheirFlagsAddNothing) {
    TOrderHandlerSearchCondition c = Unrestricted();
    c.clientType = "1", c.orderStatus = "B", c.productCodes = "'P1'", c.orderFrom = "2", c.customerName = "n";
    c.telephone = "t", c.cellPhone = "m", c.certificateType = "ID", c.identityNumber = "1",
    c.memberCardNo = "9";
    c.email = "e", c.comment = "k", c.createTimeTo = c.handlerTimeTo = c.failDateTo = At(2024, 1, 1);
    EXPECT_EQ(Filters(c), "");
}

TEST(OrderSql, GroupRestrictionFollowsScopeTypeAndSource) {
    struct Case {
        const char* groupType;
        int scope;
        const char* orderFrom; // empty: the source filter is ignored
        const char* clause;
    };
    const Case cases[] = {
        {"B", -1, "", " and (g.OWNERCODE = 'G1' or g.GroupCode ='G1')"},
        {"B", 0, "", " and o.CREATEGROUP = 'G1'"},
        {"B", 5, "", ""},
        {"A", -1, "", ""},
        {"A", 0, "", ""},
        {"B", 0, "3", " and o.ORDERFROM = '3'"},
        {"B", -1, "3", " and o.ORDERFROM = '3'"},
        {"B", 0, "2", " and o.ORDERFROM <> '3' and o.CREATEGROUP = 'G1'"},
    };
    for (const Case& test : cases) {
        TOrderHandlerSearchCondition c;
        c.groupType = test.groupType;
        c.groupScope = test.scope;
        c.groupCode = "G1";
        c.orderFrom = test.orderFrom;
        c.ignoreOrderFrom = c.orderFrom.empty();
        EXPECT_EQ(Filters(c), test.clause) << test.groupType << ' ' << test.scope << ' ' << test.orderFrom;
    }
}

TEST(OrderSql, ValuesCannotLeaveTheirLiterals) {
    TOrderHandlerSearchCondition c = Unrestricted();
    c.customerName = "x' or '1'='1";
    c.ignoreCustomerName = false;
    c.email = "a'b";
    c.ignoreEmail = false;
    EXPECT_EQ(Filters(c), " and c.CNAME = 'x'' or ''1''=''1' and c.EMAIL like '%a''b%'");
    EXPECT_EQ(GetOrderInfoSQL("01", "D'1").substr(GetOrderInfoSQL("01", "").size() - 2), "'D''1'");
    EXPECT_NE(GetOrderSeatInfoExSQL("0'1", "D1").find("s.NODECODE = '0''1' and s.ORDERCODE = 'D1'"),
              std::string::npos);

    // The product codes are inserted as an in-list body, so they must be nothing but literals.
    const TSelectedProducts selected =
        MakeSelectedProducts({{"P'1", "甲", "", "", "", 0}, {"P2", "乙", "", "", "", 0}});
    EXPECT_EQ(selected[0], "'P''1','P2'");
    EXPECT_EQ(selected[1], "甲;乙;");
    c = Unrestricted();
    c.ignoreProductCodes = false;
    c.productCodes = selected[0];
    EXPECT_EQ(Filters(c), " and o.PRODUCTCODE in ('P''1','P2')");
    for (const char* bad : {"", "P1", "'P1') or (1=1", "'P1',", "'P1' ,'P2'", "'P1''", "'P1','P2"}) {
        c.productCodes = bad;
        EXPECT_THROW(GetOrderInfoSQL("01", c), std::invalid_argument) << bad;
    }
}

TEST(OrderSql, PasswordSearchCoversTheLast360Days) {
    // A leap day inside the window; the upper bound is the next day at midnight.
    const std::string sql = GetOrderPSInfoSQL("01", "pw", At(2024, 12, 31, 23, 59));
    EXPECT_NE(
        sql.find(" and o.ORDERPASSWORD = 'pw' and (o.CREATETIME BETWEEN '2024-01-06' and '2025-01-01')"),
        std::string::npos)
        << sql;
}
