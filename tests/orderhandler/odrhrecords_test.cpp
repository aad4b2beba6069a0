// Order, seat and column lists: ownership, copies and look-ups.
#include "orderhandler/odrhrecords.h"

#include <gtest/gtest.h>

using namespace kav::orderhandler;

namespace {

std::unique_ptr<TodrHOrderInfoRecord> OrderWithSeats(const std::string& code, int seatCount) {
    auto order = std::make_unique<TodrHOrderInfoRecord>();
    order->orderCode = code;
    order->seats.emplace();
    for (int i = 0; i < seatCount; ++i) {
        auto seat = std::make_unique<TodrHSeatInfoRecord>();
        seat->seatCode = code + "-" + std::to_string(i);
        order->seats->Add(std::move(seat));
    }
    return order;
}

} // namespace

// Copies own their seats: changing or freeing one side never reaches the other. (Run under
// AddressSanitizer, a shared or doubly freed seat fails this test.)
TEST(OrderInfoList, CopiesOwnTheirSeatLists) {
    auto original = std::make_unique<TodrHOrderInfoList>();
    original->Add(OrderWithSeats("D1", 2));
    original->Add(std::make_unique<TodrHOrderInfoRecord>()); // seats not loaded

    TodrHOrderInfoList copy;
    copy.Add(OrderWithSeats("old", 1));
    copy.Assign(*original);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_NE(&copy.First(), &original->First());
    EXPECT_NE(&copy.First().seats->First(), &original->First().seats->First());
    EXPECT_FALSE(copy.Last().HasSeats());

    std::unique_ptr<TodrHOrderInfoRecord> clone = original->GetCloneItems(0);
    original->First().seats->First().seatCode = "changed";
    original.reset();
    EXPECT_EQ(copy.First().seats->First().seatCode, "D1-0");
    EXPECT_EQ(clone->seats->Count(), 2);
    EXPECT_EQ(clone->seats->Items(1).seatCode, "D1-1");

    copy.Assign(copy); // self-assignment keeps the items
    EXPECT_EQ(copy.Count(), 2);
}

TEST(OrderInfoList, OwnershipOperations) {
    TodrHOrderInfoList list;
    list.Add(OrderWithSeats("D1", 0));
    list.Add(OrderWithSeats("D3", 0));
    list.Insert(1, OrderWithSeats("D2", 0));
    EXPECT_EQ(list.Items(1).orderCode, "D2");
    EXPECT_EQ(list.Last().orderCode, "D3");

    TodrHOrderInfoRecord* second = &list.Items(1);
    std::unique_ptr<TodrHOrderInfoRecord> taken = list.Extract(second);
    EXPECT_EQ(taken.get(), second);
    EXPECT_EQ(list.IndexOf(second), -1);
    EXPECT_EQ(list.Extract(second), nullptr);
    EXPECT_EQ(list.Remove(second), -1);

    EXPECT_EQ(list.Remove(&list.First()), 0);
    EXPECT_EQ(list.First().orderCode, "D3");
    list.SetItems(0, OrderWithSeats("D4", 1));
    EXPECT_EQ(list.First().orderCode, "D4");

    EXPECT_THROW(list.Items(1), std::out_of_range);
    EXPECT_THROW(list.Insert(3, OrderWithSeats("x", 0)), std::out_of_range);
    list.Clear();
    EXPECT_THROW(list.First(), std::out_of_range);
}

TEST(OrderTitleInfoList, FindsByFieldNameAndGridColumn) {
    TOrderTitleInfoList titles;
    for (int index : {4, 0, 13})
        titles.Add(MakeOrderTitleInfoRecord(index));
    titles.Items(0).columnIndex = 1;
    titles.Items(1).columnIndex = 0;
    titles.Items(2).shown = false;

    EXPECT_EQ(titles.Find("OrderTime"), &titles.Items(2));
    EXPECT_EQ(titles.Find("EMail"), nullptr);
    EXPECT_EQ(titles.GetOrderTitleInfoRecord(0)->title, "订单编号");
    EXPECT_EQ(titles.GetOrderTitleInfoRecord(1)->fieldName, "CustomerName");
    EXPECT_EQ(titles.GetOrderTitleInfoRecord(-1), nullptr); // hidden columns are not in the grid
    EXPECT_EQ(titles.GetOrderTitleInfoRecord(2), nullptr);
    EXPECT_EQ(titles.Items(2).sortKind, TFieldType::ftTime);
    EXPECT_EQ(titles.Items(2).width, 140);
    EXPECT_THROW(MakeOrderTitleInfoRecord(26), std::out_of_range);
}
