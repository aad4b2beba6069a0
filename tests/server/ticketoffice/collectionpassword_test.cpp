// Collection passwords of bookings on every test backend, drawn from a scripted source: a password
// another open order of the node holds is never handed out again, one only closed orders hold may
// be, and a booking that finds every draw taken is refused without writing anything.

#include "salefixture.h"
#include "server/ticketoffice/counter.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <mutex>

using namespace kav;
using namespace kav::server;
using namespace kav::server::e2e;
using ::testing::HasSubstr;

namespace {

// The passwords the next draws answer, in order, the last one again and again; drawn on the
// server's connection threads.
std::mutex scriptMutex;
std::vector<std::string> script;
std::size_t drawn = 0;

std::string Scripted() {
    std::lock_guard lock(scriptMutex);
    return script.at(std::min(drawn++, script.size() - 1));
}

class CollectionPasswordTest : public SaleFixture {
protected:
    void SetUp() override {
        SaleFixture::SetUp();
        Script({"111111"});
        SetCollectionPasswordSource(&Scripted);
    }
    void TearDown() override {
        SetCollectionPasswordSource(nullptr);
        SaleFixture::TearDown();
    }

    static void Script(std::vector<std::string> passwords) {
        std::lock_guard lock(scriptMutex);
        script = std::move(passwords);
        drawn = 0;
    }

    // Books the seat and answers the new order's code and password.
    std::pair<std::string, std::string> BookSeat(int seat) {
        TClientDataSet order;
        Book(order, true, {seat});
        return {order.FieldByName("ORDERCODE").AsString(), order.FieldByName("ORDERPASSWORD").AsString()};
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, CollectionPasswordTest, ::testing::ValuesIn(server::test::TestBackends()),
                         [](const auto& info) { return server::test::BackendName(info.param); });

TEST_P(CollectionPasswordTest, APasswordHeldByAnOpenOrderOfTheNodeIsDrawnAgain) {
    const auto [holder, password] = BookSeat(101);
    ASSERT_EQ(password, "111111");
    struct Case {
        const char* status;
        const char* node;
        bool blocks; // whether the holder's password is still taken
    };
    // Booked, booked on line and paid orders are still to be collected; collected, cancelled and
    // refunded ones are not, nor is an order of another node.
    for (const Case& c : {Case{"B", "01", true},
                          {"N", "01", true},
                          {"R", "01", true},
                          {"A", "01", false},
                          {"C", "01", false},
                          {"U", "01", false},
                          {"B", "02", false}}) {
        SCOPED_TRACE(std::string(c.status) + " of node " + c.node);
        setup_->Execute("update KAV_ORDER_SHOW set ORDERSTATUS = ?2, NODECODE = ?3 where ORDERCODE = ?1",
                        {holder, std::string(c.status), std::string(c.node)});
        // The first draw is checked with the seat holds, the second on its own.
        Script({"111111", "111111", "222222"});
        const auto [order, drawnPassword] = BookSeat(102);
        EXPECT_EQ(drawnPassword, c.blocks ? "222222" : "111111");
        EXPECT_EQ(Text("select ORDERPASSWORD from KAV_ORDER_SHOW where ORDERCODE = '" + order + "'"),
                  drawnPassword);
        ASSERT_TRUE(office_->ReleaseSeat(context_, order)); // cancelled, so its password is free again
    }
}

TEST_P(CollectionPasswordTest, EveryDrawTakenRefusesTheBookingAndWritesNothing) {
    BookSeat(101);
    const std::string before = State();
    EXPECT_THAT(RemoteError([&] { BookSeat(102); }), HasSubstr("没有可用的取票密码"));
    EXPECT_EQ(State(), before);
    EXPECT_EQ(Text("select STATUS from KAV_SEAT_SHOW where SEATCODE = 102"), "F");

    // A sale at the window needs no password and still goes through; so does a booking once a
    // free password comes up.
    EXPECT_FALSE(BookedOrder(false, {102}).empty());
    Script({"111111", "333333"});
    EXPECT_EQ(BookSeat(104).second, "333333");
}
