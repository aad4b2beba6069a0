#pragma once
// Choosing the best free seats of a section for a booking that names none.
//
// Rows are better the lower their floor and row number (nearer the stage). The choice is the
// first row that has `count` free seats side by side (no taken seat between them, aisles
// allowed), taking those nearest the row's middle; when no row has that many together, the free
// seats row by row, nearest each row's middle first. A row's middle is measured over all its
// seats, free or not. Pure function; thread-safe.

#include <cstdint>
#include <vector>

namespace kav::server {

struct SectionSeat {
    std::int64_t code = 0;
    int floor = 0, row = 0, x = 0;
    bool free = false; // may be chosen
};

// The codes of the chosen seats; empty when the section has fewer
// than `count` free seats or `count` is not positive.
std::vector<std::int64_t> ChooseBestSeats(std::vector<SectionSeat> seats, int count);

} // namespace kav::server
