#include "server/ticketoffice/bestseats.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <tuple>

namespace kav::server {

namespace {

struct Row {
    std::vector<SectionSeat>::const_iterator begin, end; // sorted by x
    int TwiceMiddle() const { return begin->x + std::prev(end)->x; }
};

// The `count` free seats side by side nearest the row's middle, as the index of the first.
std::optional<std::size_t> BestRun(const Row& row, std::size_t count) {
    const std::size_t size = static_cast<std::size_t>(row.end - row.begin);
    std::optional<std::size_t> best;
    int bestDistance = 0;
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (!row.begin[i].free) {
            runStart = i + 1;
            continue;
        }
        if (i + 1 - runStart < count) continue;
        const std::size_t first = i + 1 - count;
        const int distance = std::abs(row.begin[first].x + row.begin[i].x - row.TwiceMiddle());
        if (!best || distance < bestDistance) {
            best = first;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace

std::vector<std::int64_t> ChooseBestSeats(std::vector<SectionSeat> seats, int count) {
    const auto freeSeats = std::count_if(seats.begin(), seats.end(), [](const auto& s) { return s.free; });
    if (count <= 0 || freeSeats < count) return {};
    std::sort(seats.begin(), seats.end(), [](const SectionSeat& a, const SectionSeat& b) {
        return std::tie(a.floor, a.row, a.x) < std::tie(b.floor, b.row, b.x);
    });
    std::vector<Row> rows;
    for (auto it = seats.cbegin(); it != seats.cend();) {
        const auto end = std::find_if(
            it, seats.cend(), [&](const auto& s) { return s.floor != it->floor || s.row != it->row; });
        rows.push_back({it, end});
        it = end;
    }

    std::vector<std::int64_t> chosen;
    const auto wanted = static_cast<std::size_t>(count);
    for (const Row& row : rows) {
        if (const auto first = BestRun(row, wanted)) {
            for (std::size_t i = 0; i < wanted; ++i)
                chosen.push_back(row.begin[*first + i].code);
            return chosen;
        }
    }
    // Not enough together anywhere: fill from the best rows, each from its middle outwards.
    for (const Row& row : rows) {
        std::vector<SectionSeat> free;
        std::copy_if(row.begin, row.end, std::back_inserter(free), [](const auto& s) { return s.free; });
        std::stable_sort(free.begin(), free.end(), [&](const SectionSeat& a, const SectionSeat& b) {
            return std::abs(2 * a.x - row.TwiceMiddle()) < std::abs(2 * b.x - row.TwiceMiddle());
        });
        for (const auto& seat : free) {
            if (chosen.size() == wanted) break;
            chosen.push_back(seat.code);
        }
        if (chosen.size() == wanted) break;
    }
    return chosen;
}

} // namespace kav::server
