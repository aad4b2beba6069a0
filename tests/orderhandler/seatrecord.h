#pragma once
// Seat records of price level lines, for tests of what is printed and posted per price level.

#include "orderhandler/odrhrecords.h"

#include <memory>

namespace kav::orderhandler::testing {

inline std::unique_ptr<TodrHSeatInfoRecord> Seat(const char* level, double price, int amount, int discount = 100) {
    auto seat = std::make_unique<TodrHSeatInfoRecord>();
    seat->priceLevel = level;
    seat->price = price;
    seat->seatAmount = amount;
    seat->totalPrice = price * amount * discount / 100;
    seat->discount = discount;
    return seat;
}

// Two seats of level A (300, two seats a line, 90%), one of B (280.5) and a level C line without seats.
inline TodrHSeatInfoList PriceLevelSeats() {
    TodrHSeatInfoList seats;
    seats.Add(Seat("A", 300, 2, 90));
    seats.Add(Seat("A", 300, 2, 90));
    seats.Add(Seat("B", 280.5, 1, 90));
    seats.Add(Seat("C", 100, 0));
    return seats;
}

} // namespace kav::orderhandler::testing
