// The choice of best seats: better rows first, seats together, near the row's middle.

#include "server/ticketoffice/bestseats.h"

#include <gmock/gmock.h>
#include <string>

using kav::server::ChooseBestSeats;
using kav::server::SectionSeat;
using ::testing::ElementsAreArray;
using ::testing::UnorderedElementsAreArray;

namespace {

// One row of seats from a picture: '.' free, 'x' taken, ' ' no seat (an aisle); the seat at
// column c has x = c + 1 and code floor * 1000 + row * 100 + x.
void AddRow(std::vector<SectionSeat>& seats, int floor, int row, const std::string& picture) {
    for (std::size_t c = 0; c < picture.size(); ++c) {
        if (picture[c] == ' ') continue;
        const int x = static_cast<int>(c) + 1;
        seats.push_back({floor * 1000 + row * 100 + x, floor, row, x, picture[c] == '.'});
    }
}

struct Case {
    const char* name;
    std::vector<std::pair<int, std::string>> rows; // (row, picture) on floor 1; row > 10: floor 2
    int count;
    std::vector<std::int64_t> chosen;
};

class BestSeats : public ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(BestSeats, ChoosesAsTheRulesSay) {
    const Case& c = GetParam();
    std::vector<SectionSeat> seats;
    // Rows are given out of order, so that the choice does not rest on the input order.
    for (auto it = c.rows.rbegin(); it != c.rows.rend(); ++it)
        AddRow(seats, it->first > 10 ? 2 : 1, it->first > 10 ? it->first - 10 : it->first, it->second);
    EXPECT_THAT(ChooseBestSeats(seats, c.count), UnorderedElementsAreArray(c.chosen));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BestSeats,
    ::testing::Values(
        // The first row that has them together, even at its edge, beats an empty row behind.
        Case{"FrontRowFirst", {{1, "xxxx.."}, {2, "......"}}, 2, {1105, 1106}},
        // Within a row the block nearest the middle; the seats are together across an aisle.
        Case{"NearTheMiddle", {{1, "...  ...."}}, 2, {1103, 1106}},
        Case{"AcrossAnAisle", {{1, "xx.. ..xx"}}, 4, {1103, 1104, 1106, 1107}},
        // A taken seat splits a row: four together only in the second row.
        Case{"SplitByATakenSeat", {{1, "...x..."}, {2, "x....x"}}, 4, {1202, 1203, 1204, 1205}},
        // Floor before row: floor 1 row 9 comes before floor 2 row 1.
        Case{"FloorBeforeRow", {{9, "x..x"}, {11, "...."}}, 2, {1902, 1903}},
        // Nowhere four together: the best rows, each from its middle outwards.
        Case{"ScatteredWhenNeverTogether", {{1, ".x.x."}, {2, "x.x.x"}}, 4, {1103, 1101, 1105, 1202}},
        Case{"NotEnoughFree", {{1, ".x."}, {2, "xxx"}}, 3, {}}, Case{"NothingWanted", {{1, "..."}}, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BestSeatsOrder, ScatteredSeatsComeMiddleFirstWithinEachRow) {
    std::vector<SectionSeat> seats;
    AddRow(seats, 1, 1, ".x.x.");
    EXPECT_THAT(ChooseBestSeats(seats, 2), ElementsAreArray<std::int64_t>({1103, 1101}));
}
