// What the order window prints: the statement receipt, the member receipt reprint and the shipping list.
#include "seatrecord.h"
#include "orderhandler/odrhreceipt.h"
#include "orderhandler/odrhshippinglist.h"
#include "platform/core/textcodec.h"

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace kav;
using namespace kav::orderhandler;

using kav::orderhandler::testing::PriceLevelSeats;

namespace {

TodrHOrderInfoRecord Order() {
    TodrHOrderInfoRecord order;
    order.orderCode = "D0000001";
    order.productName = "新年音乐会";
    order.productHappenTime = EncodeDateTime({2025, 1, 1, 19, 30});
    order.placeName = "岚桥音乐厅";
    order.orderStatus = {"N", "未处理"};
    order.seatCount = 3;
    order.receivables = 792;
    order.customerName = "张三";
    order.customerCellPhone = "13900000001";
    order.customerTel = "010-1";
    order.orderPassword = "123456";
    order.orderTime = EncodeDateTime({2024, 12, 20, 10, 0});
    order.orderFrom = {"2", "呼叫中心订单"};
    return order;
}

} // namespace

TEST(StatementReceipt, OneLinePerPriceLevelWithTotals) {
    EXPECT_EQ(StatementLines(Order(), PriceLevelSeats()),
              (std::vector<std::string>{"演出名称:新年音乐会", "演出时间: 2025-01-01 19:30", "订单号: D0000001",
                                        "支付状态: 未处理", "票价(元):300 数量:2", "票价(元):280.5 数量:1",
                                        "总数量: 3", "总价(元): 880.5 折扣: 90%", "折扣后总金额(元):792.00",
                                        "顾客姓名: 张三", "手机: 13900000001", "密码: 123456"}));
    TodrHOrderInfoRecord paid = Order();
    paid.orderStatus.code = "R";
    paid.orderPassword = "";
    const std::vector<std::string> lines = StatementLines(paid, {});
    EXPECT_EQ(lines[3], "支付状态: 已支付");
    EXPECT_EQ(lines.back(), "手机: 13900000001"); // no password line
}

TEST(StatementReceipt, JobFramesTheLinesWithTitleFontAndCut) {
    const std::string job = ReceiptJob(kStatementTitle, {"订单号: D1", "手机: 139"});
    EXPECT_EQ(job, std::string(kStatementTitle) + "\r\n\x1bM1\r\n订单号: D1\r\n手机: 139\r\n\n\n\r\n\n\x1dV1");
}

TEST(MemberReceipt, ReadsTheLinesAfterTheFirstInEitherEncoding) {
    QTemporaryDir dir;
    const std::filesystem::path file = dir.path().toStdString() + "/MemberOrderInfo.txt";
    EXPECT_FALSE(ReadMemberReceiptLines(file));
    std::ofstream(file, std::ios::binary) << "D0000009\r\n会员卡号: 8800001\r\n余额: 20.00\r\n";
    EXPECT_EQ(ReadMemberReceiptLines(file), (std::vector<std::string>{"会员卡号: 8800001", "余额: 20.00"}));
    std::ofstream(file, std::ios::binary) << Utf8ToAnsi("D0000009\n会员卡号: 8800001\n");
    EXPECT_EQ(ReadMemberReceiptLines(file), (std::vector<std::string>{"会员卡号: 8800001"}));
}

TEST(ShippingList, ItemsTwoToALineAndTheirTotal) {
    const TShippingList list = MakeShippingList(Order(), PriceLevelSeats(), "演示售票员", EncodeDateTime({2024, 12, 21, 9, 0}));
    EXPECT_EQ(list.customerPhone, "13900000001");
    EXPECT_EQ(list.orderDate, "2024-12-20 10:00");
    EXPECT_EQ(list.productHappenTime, "2025-01-01 19:30");
    EXPECT_EQ(list.orderFrom, "呼叫中心订单");
    EXPECT_EQ(list.shippingUser, "演示售票员");
    EXPECT_EQ(list.itemsInfo, "01月01日《新年音乐会》\r\n300×2 280.5×1 \r\n100×0 ");
    EXPECT_DOUBLE_EQ(list.totalPrice, 540 + 252.45);

    TodrHOrderInfoRecord noCellPhone = Order();
    noCellPhone.customerCellPhone = "";
    EXPECT_EQ(MakeShippingList(noCellPhone, {}, "", 0).customerPhone, "010-1");
}
