// Binding result rows into order and seat records, over datasets loaded from data packets as the
// data pipe delivers them.
#include "orderhandler/odrhbinding.h"
#include "orderpackets.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

using namespace kav;
using namespace kav::orderhandler;
using kav::orderhandler::testing::Discounts;
using kav::orderhandler::testing::OrderPacket;
using kav::orderhandler::testing::Row;

namespace {

TDateTime At(int y, int m, int d, int hh = 0, int nn = 0) {
    return EncodeDateTime({y, m, d, hh, nn, 0, 0});
}

Row Order(const std::string& code) {
    return {{"ORDERCODE", code},         {"SALECLASSNAME", "团购"},
            {"ORDERFROM", "2"},          {"CREATEUSER", "U001"},
            {"CREATEGROUP", "G001"},     {"MEMBERCARDNO", "8800001"},
            {"FETCHWAY", "2"},           {"ORDERSTATUS", "N"},
            {"CLIENTTYPE", "1"},         {"CERTIFICATETYPE", "ID"},
            {"IDENTTYPENAME", "身份证"}, {"SEATCOUNT", 3},
            {"RECEIVABLES", 1520.5},     {"MEMBERID", 17},
            {"PAYMODECODE", "M"},        {"ORDERTIME", At(2026, 12, 5, 12)}};
}

TOrderBindingLookups Lookups() {
    TOrderBindingLookups lookups;
    lookups.customerTypeName = [](const std::string& type) { return type == "1" ? "会员" : "?"; };
    lookups.certificateId = [](const std::string& type) { return type == "ID" ? 1 : -1; };
    lookups.isPrintNote = [](const std::string& payMode) { return payMode == "M"; };
    lookups.canViewOrders = [](int) { return true; };
    lookups.now = At(2026, 12, 7, 0);
    return lookups;
}

TodrHOrderInfoList Bind(const std::string& packet, const TOrderBindingLookups& lookups = Lookups()) {
    TClientDataSet ds;
    ds.SetData(packet);
    return FillOrderInfoList(ds, lookups);
}

} // namespace

TEST(OrderBinding, AppliesTheDisplayRules) {
    Row online = Order("D2");
    online["ORDERFROM"] = "3";
    online["MEMBERCARDNO"] = "-1";
    online["PAYMODECODE"] = "X";
    online["CERTIFICATETYPE"] = "PASSPORT";
    const TodrHOrderInfoList list = Bind(OrderPacket({{Order("D1"), {{880, 2}, {600.5, 1}}}, {online, {}}}));
    ASSERT_EQ(list.Count(), 2);

    const TodrHOrderInfoRecord& call = list.Items(0);
    EXPECT_EQ(call.orderCode, "D1");
    EXPECT_EQ(call.saleClassName, "团购(90%)");
    EXPECT_EQ(call.description, "880X2;600.5X1;");
    EXPECT_EQ(call.createUser, "U001");
    EXPECT_EQ(call.memberCardNo, "8800001");
    EXPECT_EQ(call.orderFrom, (TCodeNameItem{"2", "呼叫中心订单"}));
    EXPECT_EQ(call.orderStatus, (TCodeNameItem{"N", "未处理"}));
    EXPECT_EQ(call.shippingWay, (TCodeNameItem{"2", "送票上门"}));
    EXPECT_EQ(call.customerType, (TCodeNameItem{"1", "会员"}));
    EXPECT_EQ(call.certificate.name, "身份证");
    EXPECT_EQ(call.certificate.identTypeId, 1);
    EXPECT_TRUE(call.printNote);
    EXPECT_EQ(call.seatCount, 3);
    EXPECT_DOUBLE_EQ(call.receivables, 1520.5);
    EXPECT_EQ(call.memberId, "17");
    EXPECT_DOUBLE_EQ(call.orderTime, At(2026, 12, 5, 12));
    EXPECT_EQ(call.continuedTime, "1天12时");
    EXPECT_FALSE(call.HasSeats());

    const TodrHOrderInfoRecord& web = list.Items(1);
    EXPECT_EQ(web.createUser, "(G001)网上售票");
    EXPECT_EQ(web.memberCardNo, "");
    EXPECT_EQ(web.saleClassName, "团购(%)"); // no price line to take the discount from
    EXPECT_EQ(web.description, "");
    EXPECT_EQ(web.certificate.identTypeId, -1);
    EXPECT_FALSE(web.printNote);
}

TEST(OrderBinding, AsksEachLookUpOncePerCode) {
    std::map<std::string, int> asked;
    TOrderBindingLookups lookups = Lookups();
    lookups.customerTypeName = [&](const std::string& type) {
        ++asked["type " + type];
        return "名" + type;
    };
    lookups.certificateId = [&](const std::string& type) {
        ++asked["certificate " + type];
        return 7;
    };
    lookups.isPrintNote = [&](const std::string& payMode) {
        ++asked["pay " + payMode];
        return payMode == "M";
    };
    Row other = Order("D3");
    other["CLIENTTYPE"] = "3";
    other["PAYMODECODE"] = "X";
    const TodrHOrderInfoList list =
        Bind(OrderPacket({{Order("D1"), {}}, {Order("D2"), {}}, {other, {}}, {Order("D4"), {}}}), lookups);
    EXPECT_EQ(asked, (std::map<std::string, int>{
                         {"certificate ID", 1}, {"pay M", 1}, {"pay X", 1}, {"type 1", 1}, {"type 3", 1}}));
    EXPECT_EQ(list.Items(2).customerType, (TCodeNameItem{"3", "名3"}));
    EXPECT_FALSE(list.Items(2).printNote);
    EXPECT_TRUE(list.Items(3).printNote);
    EXPECT_EQ(list.Items(3).customerType, (TCodeNameItem{"1", "名1"}));
}

TEST(OrderBinding, SourcesTheUserMayNotViewHaveNoDisplayText) {
    TOrderBindingLookups lookups = Lookups();
    lookups.canViewOrders = nullptr;
    EXPECT_EQ(Bind(OrderPacket({{Order("D1"), {}}}), lookups).First().orderFrom, (TCodeNameItem{"2", ""}));
}

TEST(OrderBinding, EmptyResultAndMissingColumn) {
    EXPECT_EQ(Bind(OrderPacket({})).Count(), 0);

    TClientDataSet partial;
    partial.AddFieldDef("ORDERCODE", kav::TFieldType::ftString, 8);
    partial.CreateDataSet();
    EXPECT_THROW(FillOrderInfoList(partial, Lookups()), EDatabaseError);
}

TEST(OrderBinding, ContinuedTimeInDaysAndHours) {
    const TDateTime now = At(2026, 12, 7);
    EXPECT_EQ(GetOrderContinuedTime(now - 1.5, now), "1天12时");
    EXPECT_EQ(GetOrderContinuedTime(now - 0.99, now), "0天24时");
    EXPECT_EQ(GetOrderContinuedTime(now - 0.25, now), "0天6时");
    EXPECT_EQ(GetOrderContinuedTime(now - 12, now), "12天0时");
}

TEST(OrderBinding, SeatsLoadLazilyAndRefresh) {
    int loads = 0;
    TOrderBindingLookups lookups = Lookups();
    lookups.seatLoader = [&](const std::string& orderCode) {
        ++loads;
        TodrHSeatInfoList seats;
        auto seat = std::make_unique<TodrHSeatInfoRecord>();
        seat->orderCode = orderCode;
        seat->seatCode = "S" + std::to_string(loads);
        seats.Add(std::move(seat));
        return seats;
    };
    TodrHOrderInfoList list = Bind(OrderPacket({{Order("D1"), {}}}), lookups);
    TodrHOrderInfoRecord& order = list.First();
    EXPECT_FALSE(order.HasSeats());
    EXPECT_EQ(order.GetSeats().First().seatCode, "S1");
    EXPECT_EQ(order.GetSeats().First().seatCode, "S1"); // kept, not fetched again
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(order.RefreshSeats().First().seatCode, "S2");
    EXPECT_EQ(order.GetSeats().First().orderCode, "D1");

    TodrHOrderInfoRecord unbound;
    EXPECT_THROW(unbound.GetSeats(), std::logic_error);
}

TEST(SeatBinding, ReadsTheSeatStatementColumns) {
    TClientDataSet seats;
    for (const char* name :
         {"OrderCode", "SectionName", "FloorName", "RowName", "SeatCode", "SeatNo", "Status", "PriceLevel"})
        seats.AddFieldDef(name, kav::TFieldType::ftString, 32);
    seats.AddFieldDef("Price", kav::TFieldType::ftFloat);
    seats.AddFieldDef("Discount", kav::TFieldType::ftInteger);
    seats.AddFieldDef("TOTALPRICE", kav::TFieldType::ftFloat);
    seats.AddFieldDef("SeatAmount", kav::TFieldType::ftInteger);
    seats.CreateDataSet();
    seats.AppendRecord({"D1", "池座", "一层", "3排", "1001", "5", "B", "A", 880.0, 90, 1584.0, 2});
    seats.AppendRecord({"D1", "池座", "一层", "3排", "1002", "6", "B", "A", 880.0, 90, 1584.0, 2});
    TClientDataSet loaded;
    loaded.SetData(seats.Data());

    const TodrHSeatInfoList list = FillSeatInfoList(loaded);
    ASSERT_EQ(list.Count(), 2);
    const TodrHSeatInfoRecord& seat = list.Items(1);
    EXPECT_EQ(seat.sectionName + seat.floorName + seat.rowName, "池座一层3排");
    EXPECT_EQ(seat.seatNo, "6");
    EXPECT_EQ(seat.priceLevel, "A");
    EXPECT_EQ(seat.discount, 90);
    EXPECT_EQ(seat.seatAmount, 2);
    EXPECT_DOUBLE_EQ(seat.totalPrice, 1584.0);
    EXPECT_EQ(list.Find("1002"), 1);
    EXPECT_EQ(list.Find("9999"), -1);
}

// The days and hundredths must be those printf's "%.2f" gives for the exact difference, including
// differences on a tie, just beside one, negative, and too large to scale exactly.
TEST(OrderBinding, ContinuedTimeRoundsAsPrintfDoes) {
    const auto reference = [](double days) {
        char text[400];
        std::snprintf(text, sizeof text, "%.2f", days);
        const std::string fixed = text;
        const std::size_t point = fixed.size() - 3;
        const int hundredths = std::stoi(fixed.substr(point + 1));
        return fixed.substr(0, point) + "天" + std::to_string(std::lround(hundredths * 24 / 100.0)) + "时";
    };
    const double now = 46000;
    for (const double days : {0.0, 0.125, 0.375, 0.005, 0.015, 0.994999, 0.995, 1.5, 2.675, 1.005, 99.999,
                              -0.001, -0.125, -3.335, 1e12 + 0.125, 4.5e13, 1e15, 1e300})
        EXPECT_EQ(GetOrderContinuedTime(now - days, now), reference(now - (now - days))) << days;
    EXPECT_EQ(GetOrderContinuedTime(0.0, -0.0), reference(-0.0 - 0.0));
    for (double orderTime = 45000.0001; orderTime < 46000; orderTime += 3.3333)
        EXPECT_EQ(GetOrderContinuedTime(orderTime, now), reference(now - orderTime)) << orderTime;
    // Eighths of a hundredth, either side of zero: every kind of tie and near tie.
    for (int eighths = -4000; eighths <= 4000; ++eighths)
        EXPECT_EQ(GetOrderContinuedTime(0, eighths / 800.0), reference(eighths / 800.0)) << eighths;
}

// Order rows read by position must bind as the cursor would show them: awkward values, and price
// lines that the nested cursor filters; the cursor ends past the last row.
TEST(OrderBinding, BindsAwkwardValuesAndLeavesTheCursorPastTheEnd) {
    Row awkward = Order("D2");
    awkward["CUSTOMERNAME"] = "欧阳娜娜·很长的顾客姓名用于测试";
    awkward["SALECLASSNAME"] = "";
    awkward["MEMBERID"] = std::int64_t{2147483647};
    awkward["RECEIVABLES"] = -1e15;
    awkward["SEATCOUNT"] = -2147483647 - 1;
    awkward.erase("CREATEUSER"); // null
    TClientDataSet ds;
    ds.SetData(OrderPacket({{Order("D1"), {{0.1 + 0.2, 2}, {-0.0, 1}}}, {awkward, {{1e20, 0}}}}));
    TodrHOrderInfoList list = FillOrderInfoList(ds, Lookups());
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0).description, "0.3X2;0X1;");
    const TodrHOrderInfoRecord& second = list.Items(1);
    EXPECT_EQ(second.customerName, "欧阳娜娜·很长的顾客姓名用于测试");
    EXPECT_EQ(second.saleClassName, "(90%)");
    EXPECT_EQ(second.memberId, "2147483647");
    EXPECT_EQ(second.createUser, "");
    EXPECT_EQ(second.customerTel, "");
    EXPECT_EQ(second.seatCount, -2147483647 - 1);
    EXPECT_DOUBLE_EQ(second.receivables, -1e15);
    EXPECT_EQ(second.description, "1e+20X0;");
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(ds.RecNo(), 2);
    TClientDataSet& lines = ds.FieldByName(kOrderDiscountDataSet).NestedDataSet();
    EXPECT_EQ(lines.RecordCount(), 1); // the last order's

    lines.SetFilter("SeatAmount > 1");
    lines.SetFiltered(true);
    list = FillOrderInfoList(ds, Lookups());
    EXPECT_EQ(list.Items(0).description, "0.3X2;");
    EXPECT_EQ(list.Items(1).description, "");
    EXPECT_EQ(list.Items(1).saleClassName, "(%)");
}
