// The sale core's lists and the user message of every result code.

#include "salecore/usaleticketcoreintf.h"

#include <gtest/gtest.h>

using namespace kav;

namespace {

std::unique_ptr<Tpt_SeatInfo> Seat(const std::string& code, bool gift = false) {
    auto seat = std::make_unique<Tpt_SeatInfo>();
    seat->SeatCode = code;
    seat->IsGift = gift;
    return seat;
}

class LastErrorMessage : public ::testing::Test {
protected:
    void TearDown() override { SetLastSaleCoreErrorMsg({}); }
};

} // namespace

TEST(SeatInfoList, FindGivesTheFirstExactMatch) {
    Tpt_SeatInfoList seats;
    seats.Add(Seat("1001"));
    seats.Add(Seat("1002", true));
    seats.Add(Seat("1002"));
    EXPECT_EQ(seats.Find("1003"), nullptr);
    EXPECT_EQ(seats.Find("100"), nullptr) << "no prefix match";
    ASSERT_NE(seats.Find("1002"), nullptr);
    EXPECT_EQ(seats.Find("1002"), &seats.Items(1));
    EXPECT_TRUE(seats.Find("1002")->IsGift);

    std::vector<std::string> codes{"before"};
    seats.GetSeatCodes(codes);
    EXPECT_EQ(codes, (std::vector<std::string>{"before", "1001", "1002", "1002"}))
        << "appended in list order";
}

TEST(SeatInfoList, RemoveFreesExtractHandsOver) {
    Tpt_SeatInfoList seats;
    seats.Add(Seat("1"));
    seats.Insert(0, Seat("0"));
    seats.Add(Seat("2"));
    EXPECT_EQ(seats.First().SeatCode, "0");
    EXPECT_EQ(seats.Last().SeatCode, "2");
    Tpt_SeatInfo* middle = &seats.Items(1);
    std::unique_ptr<Tpt_SeatInfo> taken = seats.Extract(middle);
    EXPECT_EQ(taken.get(), middle);
    EXPECT_EQ(seats.IndexOf(middle), -1);
    EXPECT_EQ(seats.Remove(&seats.First()), 0);
    EXPECT_EQ(seats.Remove(taken.get()), -1) << "a record not in the list is left alone";
    ASSERT_EQ(seats.Count(), 1);
    EXPECT_EQ(seats.First().SeatCode, "2");
    EXPECT_THROW(seats.Items(1), std::out_of_range);
}

TEST(SeatInfoList, ProcessWideListIsOne) {
    EXPECT_EQ(&pt_SeatInfoList(), &pt_SeatInfoList());
}

TEST_F(LastErrorMessage, MessagesWithoutAReason) {
    const std::pair<std::string, std::string> cases[] = {
        {_ResultSaleTicketCoreMsg(R_PT_OK), ""},
        {_ResultSaleTicketCoreMsg(R_SA_OK), ""},
        {_ResultSaleTicketCoreMsg(R_CF_OK), ""},
        {_ResultSaleTicketCoreMsg(R_PT_UNKNOWERROR), "系统错误"},
        {_ResultSaleTicketCoreMsg(R_SA_UNKNOWERROR), "系统错误"},
        {_ResultSaleTicketCoreMsg(R_PT_OUTPUTTICKETFAILED), "错误，原因如下：后台生成票张信息失败！"},
        {_ResultSaleTicketCoreMsg(R_CF_UNKNOWERROR), "系统错误，具体原因如下：\r\n"},
        {_ResultSaleTicketCoreMsg(R_CF_CANCELFOREBOOKFAILED), "错误，原因如下：取消订单失败!"},
        {_ResultSaleTicketCoreMsg(R_SA_OVERGROUPMAXSALEMONEY),
         "不能出票，原因如下：销售金额不能超过代理点最高售票金额！"},
        {_ResultSaleTicketCoreMsg(R_SA_ACCOUNTFAILED), "错误，原因如下：后台记帐失败！"},
        {_ResultSaleTicketCoreMsg(R_SA_POSTCLIENTINFOFAILED), "错误，原因如下：客户信息登记失败！"},
        {_ResultSaleTicketCoreMsg(R_SA_CHECKMEMBERMONEYFAILED), "错误，原因如下：会员卡里的余额不足！"},
        {_ResultSaleTicketCoreMsg(R_SA_MEMBERPAYPASSWORDEROR), "错误,原因如下： 会员卡密码错误！"},
        {_ResultSaleTicketCoreMsg(R_SA_MEMBERPAYSERVEREROR), "错误,原因如下： 服务器异常请重新取票！"},
    };
    for (const auto& [message, expected] : cases)
        EXPECT_EQ(message, expected);
}

TEST_F(LastErrorMessage, ReasonsAreQuotedOnTheirOwnLine) {
    SetLastSaleCoreErrorMsg("abc");
    EXPECT_EQ(_GetLastSaleCoreErrorMsg(), "abc");
    EXPECT_EQ(_ResultSaleTicketCoreMsg(R_PT_UNKNOWERROR), "系统错误，具体原因如下：\r\n'abc'");
    EXPECT_EQ(_ResultSaleTicketCoreMsg(R_SA_UNKNOWERROR), "系统错误，具体原因如下：\r\n'abc'");
    EXPECT_EQ(_ResultSaleTicketCoreMsg(R_PT_OUTPUTTICKETFAILED),
              "错误，原因如下：后台生成票张信息失败！\r\n'abc'");
    EXPECT_EQ(_ResultSaleTicketCoreMsg(R_CF_UNKNOWERROR), "系统错误，具体原因如下：\r\nabc") << "not quoted";
    EXPECT_EQ(_ResultSaleTicketCoreMsg(R_SA_ACCOUNTFAILED), "错误，原因如下：后台记帐失败！")
        << "no reason added";
}
