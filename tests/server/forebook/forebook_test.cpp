// The fore-book accounting service over real sockets on every test backend: sellers racing for one
// order, collections of paid orders, member card payments, cancelling and registrations.

#include "salefixture.h"
#include "services/forebookshow/tpforebookshow.h"

#include <functional>
#include <gmock/gmock.h>
#include <thread>

using namespace kav;
using namespace kav::server;
using namespace kav::server::e2e;
using ::testing::HasSubstr;

namespace {

class ForeBookTest : public SaleFixture {
protected:
    void SetUp() override {
        SaleFixture::SetUp();
        foreBook_.emplace(client_.get());
        // Member 77: a stored-value card 8877 (password 8888) with 500 yuan on it.
        setup_->Execute(
            "insert into KAV_MEMBER (NODECODE, MEMBERID, CARDNO, CNAME, CARDPASSWORDHASH, BALANCE, "
            "ISFEEMEMBER) values ('01', 77, '8877', '会员甲', ?1, 500, 'Y')",
            {PasswordHash("8888")});
    }
    std::string MemberOrder(std::initializer_list<int> seats) {
        const std::string order = BookedOrder(true, seats);
        setup_->Execute("update KAV_ORDER_SHOW set MEMBERID = 77, MEMBERCARDNO = '8877', ISFEEMEMBER = 'Y'" +
                        Where(order));
        return order;
    }
    static std::string MemberParams(const std::string& order, const std::string& password,
                                    const std::string& payMode = "M") {
        return "OrderCode=" + order + "\nIsNeedCharge=" + payMode +
               "\nMemberCard=8877\nPassWord=" + password + "\nISPRINT=Y\nOrderStatus=B\n";
    }
    std::int32_t MemberAccount(const std::string& order, const std::string& params, double amount,
                               const char* payMode = "M") {
        return foreBook_->MemberForeBookAccount(context_, params, AccountPacket({{order, payMode, amount}}),
                                                CeilingPacket("G01"));
    }
    static std::string Where(const std::string& order) { return " where ORDERCODE = '" + order + "'"; }
    double Balance() { return Money("select BALANCE from KAV_MEMBER where MEMBERID = 77"); }

    std::optional<TTPForeBookShow> foreBook_;
};

// Runs the calls at once, each on a connection of its own; answers which of them raised nothing.
std::vector<bool> AtOnce(std::vector<std::function<void(pelio::TPelioClient&)>> calls,
                         const std::function<std::unique_ptr<pelio::TPelioClient>()>& newClient) {
    std::vector<bool> succeeded(calls.size());
    std::vector<std::unique_ptr<pelio::TPelioClient>> clients;
    for (std::size_t i = 0; i < calls.size(); ++i)
        clients.push_back(newClient());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < calls.size(); ++i)
        threads.emplace_back([&, i] {
            try {
                calls[i](*clients[i]);
                succeeded[i] = true;
            } catch (const pelio::EosRemoteException&) {
            }
        });
    for (auto& thread : threads)
        thread.join();
    return succeeded;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, ForeBookTest, ::testing::ValuesIn(server::test::TestBackends()),
                         [](const auto& info) { return server::test::BackendName(info.param); });

TEST_P(ForeBookTest, SellersAccountingCancellingAndCollectingOneOrderAtOnceDoNothingTwice) {
    const auto client = [this] { return NewClient(); };
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const std::string order = BookedOrder(true, {104 + round, 201 + round}); // 560
        auto account = [&](pelio::TPelioClient& c) {
            TTPForeBookShow(&c).MemberForeBookAccount(context_, Params(order),
                                                      AccountPacket({{order, "X", 560}}), Empty());
        };
        auto cancel = [&](pelio::TPelioClient& c) { TTPForeBookShow(&c).CancelForeBook(context_, order); };
        const auto won = AtOnce({account, cancel, account, cancel}, client);
        // One cancel at most; an accounting that comes second finds the order paid and collects it
        // without charging again, or finds it cancelled and is refused.
        const int accounted = won[0] + won[2], cancelled = won[1] + won[3];
        const std::int64_t charged = Count("select count(*) from KAV_ACCOUNT_SHOW" + Where(order));
        EXPECT_LE(cancelled, 1);
        EXPECT_EQ(charged, accounted > 0 ? 1 : 0);
        EXPECT_NE(accounted > 0, cancelled > 0);
        EXPECT_EQ(Count("select count(*) from KAV_REPORT_SHOW" + Where(order)), 2 * charged);
        EXPECT_EQ(Text("select ORDERSTATUS from KAV_ORDER_SHOW" + Where(order)), accounted ? "R" : "C");
        EXPECT_EQ(Count("select count(*) from KAV_SEAT_SHOW where ORDERCODE = '" + order + "'"),
                  accounted ? 2 : 0);
        if (!accounted) continue;
        // Collecting: two sellers print the same two seats at once; each seat gets one ticket.
        auto collect = [&](pelio::TPelioClient& c) {
            TTPTicketOffice office(&c);
            for (int seat : {104 + round, 201 + round})
                try {
                    office.OutputTicket(context_, std::to_string(seat), "", "N", "SC1", "P1");
                } catch (const pelio::EosRemoteException& e) {
                    EXPECT_THAT(e.what(), HasSubstr("已出票"));
                }
        };
        AtOnce({collect, collect}, client);
        EXPECT_EQ(Count("select count(*) from KAV_TICKET_SHOW" + Where(order)), 2);
        EXPECT_EQ(Text("select ORDERSTATUS from KAV_ORDER_SHOW" + Where(order)), "A");
    }
}

TEST_P(ForeBookTest, CollectingAPaidOrderChargesNothingMore) {
    const std::string order = BookedOrder(true, {101, 201});
    EXPECT_EQ(Account(order, AccountPacket({{order, "X", 560}})), 1);
    // Paid on line or on an earlier try: the order window accounts it again before printing.
    const std::string paid = State();
    EXPECT_EQ(foreBook_->MemberForeBookAccount(context_,
                                               "OrderCode=" + order + "\nIsNeedCharge=X\nOrderStatus=R\n",
                                               AccountPacket({{order, "X", 560}}), CeilingPacket("G01")),
              1);
    EXPECT_EQ(foreBook_->ForeBookAccount_BL(context_, "OrderCode=" + order + "\nIsNeedCharge=X\n",
                                            AccountPacket({{order, "X", 1}}), Empty(),
                                            PayModePacket({{order, "X", 1}})),
              1);
    EXPECT_TRUE(foreBook_->NewForeBookAccount(context_, order, AccountPacket({{order, "X", 560}}), Empty()));
    EXPECT_EQ(State(), paid);
    EXPECT_EQ(Count("select count(*) from KAV_ACCOUNT_SHOW" + Where(order)), 1);

    // Once every ticket is out there is nothing to collect.
    for (int seat : {101, 201})
        office_->OutputTicket(context_, std::to_string(seat), "", "N", "SC1", "P1");
    EXPECT_THAT(RemoteError([&] {
                    foreBook_->MemberForeBookAccount(context_, Params(order),
                                                     AccountPacket({{order, "X", 560}}), Empty());
                }),
                HasSubstr("不能重复收款"));

    // A booked order is collected with its payment.
    const std::string booked = BookedOrder(true, {102});
    EXPECT_TRUE(foreBook_->NewForeBookAccount(context_, booked, AccountPacket({{"", "X", 380}}), Empty()));
    EXPECT_EQ(Text("select ORDERSTATUS from KAV_ORDER_SHOW" + Where(booked)), "R");
}

TEST_P(ForeBookTest, AMemberCardPaysWithItsPasswordAndBalanceOnly) {
    const std::string dear = MemberOrder({101, 102}); // 760 > 500
    const std::string before = State();
    EXPECT_THAT(RemoteError([&] { MemberAccount(dear, MemberParams(dear, "8888"), 760); }),
                HasSubstr("会员卡里的余额不足"));
    EXPECT_EQ(State(), before);
    EXPECT_DOUBLE_EQ(Balance(), 500);

    const std::string order = MemberOrder({201, 202}); // 360
    const std::string booked = State();
    EXPECT_THAT(RemoteError([&] { MemberAccount(order, MemberParams(order, "1234"), 360); }),
                HasSubstr("会员卡密码错误"));
    EXPECT_THAT(RemoteError([&] {
                    foreBook_->ForeBookAccount_BL(context_, MemberParams(order, "8888"),
                                                  AccountPacket({{order, "M", 360}}), Empty(),
                                                  PayModePacket({{order, "M", 200}, {order, "X", 160}}));
                }),
                HasSubstr("不能与其他支付方式合用"));
    EXPECT_THAT(RemoteError([&] {
                    MemberAccount(order, "OrderCode=" + order + "\nMemberCard=9999\nPassWord=8888\n", 360);
                }),
                HasSubstr("卡号不正确"));
    const std::string plain = BookedOrder(true, {203});
    EXPECT_THAT(RemoteError([&] { MemberAccount(plain, MemberParams(plain, "8888"), 180); }),
                HasSubstr("不属于会员"));
    EXPECT_EQ(Count("select count(*) from KAV_ACCOUNT_SHOW"), 0);
    EXPECT_DOUBLE_EQ(Balance(), 500);

    EXPECT_EQ(MemberAccount(order, MemberParams(order, "8888"), 360), 1);
    EXPECT_DOUBLE_EQ(Balance(), 140);
    EXPECT_EQ(Text("select PAYMODECODE from KAV_ORDER_SHOW" + Where(order)), "M");
    EXPECT_EQ(MemberAccount(order, MemberParams(order, "8888"), 360), 1) << "a collection: nothing taken";
    EXPECT_DOUBLE_EQ(Balance(), 140);
}

TEST_P(ForeBookTest, CancelRefusesWhatIsNotABookingAndSeatsAreRead) {
    const std::string order = BookedOrder(true, {101, 201});
    TClientDataSet seats;
    seats.SetData(foreBook_->GetForeBookSeat(context_, order).ByteArrayView());
    ASSERT_EQ(seats.RecordCount(), 2);
    EXPECT_EQ(seats.FieldByName("SECTIONNAME").AsString(), "池座");
    EXPECT_DOUBLE_EQ(seats.FieldByName("PRICE").AsFloat(), 380);
    seats.SetData(foreBook_->GetForeBookSeat(context_, "' or '1'='1").ByteArrayView());
    EXPECT_EQ(seats.RecordCount(), 0);

    EXPECT_TRUE(foreBook_->CancelForeBook(context_, order));
    EXPECT_THAT(RemoteError([&] { foreBook_->CancelForeBook(context_, order); }), HasSubstr("已取消"));
    EXPECT_THAT(RemoteError([&] { foreBook_->CancelForeBook(context_, "NOPE"); }), HasSubstr("不存在"));
    const std::string paid = BookedOrder(true, {102});
    Account(paid, AccountPacket({{paid, "X", 380}}));
    EXPECT_THAT(RemoteError([&] { foreBook_->CancelForeBook(context_, paid); }), HasSubstr("已收款"));
    EXPECT_THAT(RemoteError([&] {
                    Account(order, AccountPacket({{order, "X", 560}}));
                }),
                HasSubstr("已取消"));
}

TEST_P(ForeBookTest, RegistrationsReplaceTheEarlierOnesSoARetryNeverCollides) {
    const std::string order = BookedOrder(true, {101, 102});
    const std::initializer_list<Field> person = {{"NODECODE"},
                                                 {"PKID", TFieldType::ftInteger},
                                                 {"ORDERCODE"},
                                                 {"NAME"},
                                                 {"IDNUM"},
                                                 {"IDENTTYPEID", TFieldType::ftInteger},
                                                 {"SEATCODE", TFieldType::ftInteger}};
    // The packet's node is not read: the session's is used.
    const Variant two =
        Packet(person, {{"99", 1, order, "甲", "110101", 1, 101}, {"99", 2, order, "乙", "110102", 1, 102}});
    EXPECT_EQ(foreBook_->SetClientInfo(context_, two), 2);
    EXPECT_EQ(foreBook_->SetClientInfo(context_, two), 2) << "a retry";
    EXPECT_EQ(Count("select count(*) from KAV_CLIENTINFO where NODECODE = '01'" +
                    std::string(" and ORDERCODE = '") + order + "'"),
              2);
    // A paid order still takes them; a collected one does not.
    Account(order, AccountPacket({{order, "X", 760}}));
    EXPECT_EQ(foreBook_->SetClientInfo(context_, two), 2);
    for (int seat : {101, 102})
        office_->OutputTicket(context_, std::to_string(seat), "", "N", "SC1", "P1");
    EXPECT_THAT(RemoteError([&] { foreBook_->SetClientInfo(context_, two); }), HasSubstr("已出票"));
    EXPECT_THAT(RemoteError([&] { foreBook_->SetClientInfo(context_, Empty()); }), HasSubstr("没有要登记"));
}
