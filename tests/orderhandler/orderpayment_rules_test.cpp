// The rules of taking payment that need no server: typed amounts and payment lines in cents, the pay
// mode check of an order without member, the member purchase posts (one value never breaks its record)
// and the member receipt.
#include "seatrecord.h"
#include "dialogs/dialogresponder.h"
#include "host/kavcontext.h"
#include "orderhandler/odrhmember.h"
#include "orderhandler/odrhmemberreceipt.h"
#include "orderhandler/odrhpaymodecheck.h"
#include "orderhandler/odrhpayment.h"
#include "platform/core/contexttext.h"
#include "platform/core/money.h"
#include "platform/dataset/clientdataset.h"
#include "rpc/pelioclient.h"
#include "salecore/usaleticketcoreimpl.h"

#include <gtest/gtest.h>

using namespace kav;
using namespace kav::orderhandler;

using kav::orderhandler::testing::PriceLevelSeats;

namespace {

TodrHOrderInfoRecord MemberOrder() {
    TodrHOrderInfoRecord order;
    order.orderCode = "K0100000042";
    order.productCode = "P0001";
    order.productName = "新年音乐会";
    order.productHappenTime = EncodeDateTime({2025, 1, 1, 19, 30});
    order.placeName = "岚桥音乐厅";
    order.memberId = "9900001";
    order.memberCardNo = "9900001";
    order.isFeeMember = "Y";
    order.seatCount = 3;
    order.receivables = 792;
    order.customerName = "张三";
    order.customerCellPhone = "13900000001";
    order.productOwnerGroup = "OWN1";
    order.saleClassName = "正价票(90%)";
    order.shippingWay = {"1", "现场取票"};
    return order;
}

TContextText Lines(const std::string& text) {
    return TContextText::Parse(text);
}

} // namespace

TEST(PaymentAmounts, TypedAmountsAreReadExactlyInCents) {
    const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
        {"100", 10000},     {"33.33", 3333},    {" 60.5 ", 6050}, {"0.01", 1},        {".5", 50},
        {"39.99", 3999},    {"10000000", 1'000'000'000},
        {"", std::nullopt}, {"abc", std::nullopt}, {"1e2", std::nullopt}, {"-5", std::nullopt},
        {"+5", std::nullopt}, {"33.333", std::nullopt}, {"inf", std::nullopt}, {"nan", std::nullopt},
        {"1,000", std::nullopt}, {".", std::nullopt}, {"10000000.01", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const auto& [text, cents] : cases)
        EXPECT_EQ(ParseAmount(text), cents) << '"' << text << '"';
    EXPECT_EQ(AmountText(10000), "100.00");
    EXPECT_EQ(ReceivableCents(99.995), 10000);
}

TEST(PaymentAmounts, LinesAddUpInCentsAndNameThePayModeSent) {
    TPaymentLines lines;
    const TPayModeItem cash{"X", "现金"}, card{"H", "银行卡"}, cheque{"F", "支票"}, credit{"G", "信用挂账"};
    // Three thirds of 100 add up to exactly 100, which doubles summed one by one need not.
    EXPECT_EQ(lines.Add(cash, "33.33", "a"), TPaymentLines::TAddResult::Added);
    EXPECT_EQ(lines.Add(card, "33.33", ""), TPaymentLines::TAddResult::Added);
    EXPECT_EQ(RemainingCents(100, lines), 3334);
    EXPECT_EQ(lines.Add(cheque, "33.34", ""), TPaymentLines::TAddResult::Added);
    EXPECT_EQ(lines.TotalCents(), ReceivableCents(100));
    EXPECT_EQ(RemainingCents(100, lines), 0);

    EXPECT_EQ(lines.Add(cash, "1", ""), TPaymentLines::TAddResult::Duplicate);
    EXPECT_EQ(lines.Add(credit, "0", ""), TPaymentLines::TAddResult::BadAmount);
    EXPECT_EQ(lines.Add(credit, "10", ""), TPaymentLines::TAddResult::NoCompany);
    EXPECT_EQ(lines.Add(credit, "10", "", {"CC01", "北京文化投资公司"}), TPaymentLines::TAddResult::Added);
    EXPECT_EQ(lines.PayModeCode(), "X");
    EXPECT_EQ(lines.CreditCompany(), "CC01");

    // Deleting a line and adding it again with another amount works.
    lines.Delete(0);
    lines.Delete(99);
    EXPECT_FALSE(lines.Has("X"));
    EXPECT_EQ(lines.Add(cash, "20", ""), TPaymentLines::TAddResult::Added);
    EXPECT_EQ(lines.PayModeCode(), "H");

    // A company chosen for another pay mode is not kept.
    TPaymentLines other;
    other.Add(cash, "5", "", {"CC01", "北京文化投资公司"});
    EXPECT_EQ(other.CreditCompany(), "");

    TClientDataSet packet;
    packet.SetData(lines.Packet().ByteArrayView());
    ASSERT_EQ(packet.RecordCount(), 4);
    packet.Last();
    EXPECT_EQ(packet.FieldByName("PayModeCode").AsString(), "X");
    EXPECT_DOUBLE_EQ(packet.FieldByName("PayMoney").AsFloat(), 20.0);
}

TEST(PayModeCheck, AnOrderWithoutMemberCannotPayByCardWhateverItsMemberIdSays) {
    pelio::TPelioClient unused; // the check must refuse before asking the member system
    TCAMemberSys memberSys(unused);
    TKavContext session;
    session.SetAsString("NodeCode=01\nUserCode=demo\nGroupCode=G001\n");
    for (const char* memberId : {"", "-1"}) {
        TodrHOrderInfoRecord order = MemberOrder();
        order.memberId = memberId;
        EXPECT_FALSE(IsMemberOrder(order));
        ScriptedDialogResponder dialogs;
        dialogs.Push(1);
        const TPayModeCheck check = CheckPayModeSet(nullptr, memberSys, session, {&order, "M", "", "N", {}});
        EXPECT_FALSE(check.passed) << '"' << memberId << '"';
        ASSERT_EQ(dialogs.Log().size(), 1u);
        EXPECT_EQ(dialogs.Log()[0].text, "不是有效的储值会员，请选择其它的支付方式！");
        // Any other pay mode passes without the member system.
        EXPECT_TRUE(CheckPayModeSet(nullptr, memberSys, session, {&order, "X", "", "N", {}}).passed);
    }
    TodrHOrderInfoRecord order = MemberOrder();
    ScriptedDialogResponder dialogs;
    dialogs.Push(1);
    EXPECT_FALSE(CheckPayModeSet(nullptr, memberSys, session, {&order, "G", "", "N", {}}).passed);
    EXPECT_EQ(dialogs.Log().at(0).text, "支付方式选择挂账，请选择挂账公司！");
}

TEST(MemberPurchase, OnePriceLevelLinePerLevelAndNoValueBreaksItsRecord) {
    TodrHOrderInfoRecord order = MemberOrder();
    order.customerName = "张三\r\nMC_MemberID=1";
    order.shippingComment = "周末\n送票";
    const TodrHSeatInfoList seats = PriceLevelSeats();
    TMemberPurchase purchase{&order, PriceLevelLines(seats), "会员卡", "demo"};
    ASSERT_EQ(purchase.lines.size(), 2u);
    EXPECT_DOUBLE_EQ(PriceSum(purchase.lines), 880.5);
    EXPECT_EQ(LastDiscount(purchase.lines), 90);

    const TContextText server = Lines(ServerSaleInfoText(purchase));
    EXPECT_EQ(server.Entries().size(), 14u);
    EXPECT_EQ(server.Value("MC_MemberID"), "9900001");
    EXPECT_EQ(server.Value("MC_UserName"), "张三  MC_MemberID=1");
    EXPECT_EQ(server.Value("MC_PostMemo"), "周末 送票");
    EXPECT_EQ(server.Value("MC_CostType"), "会员卡");

    purchase.lines.front().priceLevel = "A|B";
    const TContextText form = Lines(FormPostLines(purchase, 1700000000));
    EXPECT_EQ(form.Value("MC_MemberID"), "9900001");
    EXPECT_EQ(form.Value("CL_PriceLevel"), "A/B|B");
    EXPECT_EQ(form.Value("CL_WarePrice"), "300|280.5");
    EXPECT_EQ(form.Value("CL_WareNum"), "2|1");
    EXPECT_EQ(form.Value("MC_PriceSum"), "880.50");
    EXPECT_EQ(form.Value("MC_Cost"), "792.00");
    EXPECT_EQ(form.Value("MC_Isonecard"), "N");
    EXPECT_EQ(form.Value("t"), "1700000000");

    const TMemberInfoRecord soap = SoapMemberInfo(purchase);
    EXPECT_EQ(soap.OrderCode, "K0100000042");
    EXPECT_EQ(soap.ProductGroup, "OWN1");
    ASSERT_EQ(soap.Tickets.size(), 2u);
    EXPECT_EQ(soap.Tickets[1].Price, "280.5");
}

TEST(MemberPurchase, BalancesThatAreNotNumbersReadAsZero) {
    const std::pair<const char*, double> cases[] = {{"12.5", 12.5}, {" 100 ", 100}, {"", 0},   {"abc", 0},
                                                    {"nan", 0},     {"inf", 0},     {"1e400", 0}, {"12abc", 0}};
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(NumberOr0(text), value) << '"' << text << '"';
    TodrHOrderInfoRecord order = MemberOrder();
    TOrderMemberInfoItem member;
    member.balance = "450.00";
    EXPECT_EQ(GetMemberBalance(order, &member), "450.00");
    EXPECT_EQ(GetMemberBalance(order, nullptr), "0");
    order.isFeeMember = "N";
    EXPECT_EQ(GetMemberBalance(order, &member), "0");
    // The sale core's own check of the card reads such a balance as 0 too: it never covers a sale.
    TSaleAccountCondition sale;
    sale.PayModeCode = "M";
    sale.MemberPay = "Y";
    sale.Amount = 100;
    for (const char* balance : {"inf", "nan", "1e400", "abc"}) {
        sale.MemberBalance = balance;
        EXPECT_FALSE(CheckMemberMoneyEnough(sale)) << balance;
    }
    sale.MemberBalance = "100.00";
    EXPECT_TRUE(CheckMemberMoneyEnough(sale));
    // Mode H never asks the member system.
    EXPECT_EQ(LocalMemberInfo(MemberOrder(), "G001").balance, "10000000");
}

TEST(MemberReceipt, LinesOfEachLayout) {
    TodrHOrderInfoRecord order = MemberOrder();
    const TodrHSeatInfoList seats = PriceLevelSeats();
    TOrderMemberInfoItem member;
    member.balance = "not a number";
    member.points = "120";
    member.className = "金卡";
    const TDateTime now = EncodeDateTime({2025, 1, 2, 8, 5, 9});
    const auto full = MemberReceiptLines(order, PriceLevelLines(seats), member, "岚桥音乐厅售票处",
                                         OrderReceiptLayout("OWN1"), ReceivableCents(order.receivables), now);
    EXPECT_EQ(full, (std::vector<std::string>{"   欢迎购票", "购票院线：岚桥音乐厅售票处", "会员姓名: 张三",
                                              "会员卡号: 9900001", "会员积分: 120", "会员类别: 金卡", "本次消费详情:",
                                              "消费时间: 2025-01-02 08:05:09", "演出名称: ", "新年音乐会",
                                              "演出时间: 2025-01-01", "演出剧场: 岚桥音乐厅", "票价(元)  数量",
                                              "300      2", "280.5      1", "总数量  总价(元)  折扣  折扣后总金额(元)",
                                              "3       880.5      90%     792.00", "本次消费后卡内余额:-792.00(元)", "",
                                              "客户签名: ______________________", ""}));
    auto has = [](const std::vector<std::string>& lines, const char* prefix) {
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(prefix); });
    };
    member.balance = "1000";
    const auto kelma = MemberReceiptLines(order, PriceLevelLines(seats), member, "", OrderReceiptLayout("KELMA"), 0, now);
    EXPECT_FALSE(has(kelma, "会员积分"));
    EXPECT_TRUE(has(kelma, "会员类别"));
    EXPECT_TRUE(has(kelma, "本次消费后卡内余额:1000.00(元)"));
    const auto many = MemberReceiptLines(order, PriceLevelLines(seats), member, "", ManyOrdersReceiptLayout("OWN1"), 0, now);
    EXPECT_TRUE(has(many, "会员积分"));
    EXPECT_FALSE(has(many, "会员类别"));
    const auto manyShort =
        MemberReceiptLines(order, PriceLevelLines(seats), member, "", ManyOrdersReceiptLayout("KELMA"), 0, now);
    EXPECT_FALSE(has(manyShort, "会员积分") || has(manyShort, "会员类别"));
}
