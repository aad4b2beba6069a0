#include "platform/core/datetime.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace kav;

TEST(DateTime, EpochAndKnownValues) {
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_DOUBLE_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({2000, 1, 1, 12, 0, 0, 0}), 36526.5);
    // Before the epoch the fraction keeps the sign of the day number: -1.25 is 29 Dec, 06:00.
    EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 29, 6, 0, 0, 0}), -1.25);
    EXPECT_EQ(DecodeDateTime(-1.25), (CivilDateTime{1899, 12, 29, 6, 0, 0, 0}));
}

TEST(DateTime, RoundTripsToTheMillisecond) {
    const CivilDateTime samples[] = {
        {2026, 12, 7, 23, 59, 59, 999}, {2024, 2, 29, 0, 0, 0, 1}, {1850, 6, 15, 13, 14, 15, 16}};
    for (const auto& c : samples)
        EXPECT_EQ(DecodeDateTime(EncodeDateTime(c)), c);
}

TEST(DateTime, RefusesImpossibleDates) {
    // Values without a calendar date are refused rather than converted.
    for (double bad : {1e300, -1e300, 3e6, std::nan(""), std::numeric_limits<double>::infinity()}) {
        EXPECT_THROW(DecodeDateTime(bad), DateTimeError) << bad;
        EXPECT_THROW(ToUnixMilliseconds(bad), DateTimeError) << bad;
    }
    EXPECT_EQ(DecodeDateTime(EncodeDate(9999, 12, 31)).year, 9999);
    EXPECT_EQ(DecodeDateTime(EncodeDate(1, 1, 1)).year, 1);
    EXPECT_THROW(EncodeDate(2023, 2, 29), DateTimeError);
    EXPECT_THROW(EncodeDate(2024, 13, 1), DateTimeError);
    EXPECT_THROW(EncodeDateTime({2024, 1, 1, 24, 0, 0, 0}), DateTimeError);
}

TEST(DateTime, UnixAndTextForms) {
    EXPECT_DOUBLE_EQ(FromUnixMilliseconds(0), 25569.0);
    EXPECT_EQ(ToUnixMilliseconds(25569.5), 43'200'000);
    EXPECT_EQ(FormatDateTimeIso(EncodeDateTime({2026, 3, 4, 5, 6, 7, 0})), "2026-03-04 05:06:07");
    EXPECT_EQ(FormatDateIso(EncodeDate(2026, 3, 4)), "2026-03-04");
    EXPECT_DOUBLE_EQ(ParseDateTimeIso("2026-03-04 05:06:07"), EncodeDateTime({2026, 3, 4, 5, 6, 7, 0}));
    EXPECT_DOUBLE_EQ(ParseDateTimeIso("2026/03/04"), EncodeDate(2026, 3, 4));
    EXPECT_THROW(ParseDateTimeIso("2026-03-04x"), DateTimeError);
    EXPECT_THROW(ParseDateTimeIso("yesterday"), DateTimeError);
    // Seconds that do not fit a time of day are refused, not cast to int.
    for (const char* text :
         {"2026-03-04 05:06:nan", "2026-03-04 05:06:inf", "2026-03-04 05:06:1e12", "2026-03-04 05:06:60"})
        EXPECT_THROW(ParseDateTimeIso(text), DateTimeError) << text;
    EXPECT_DOUBLE_EQ(DateOf(36526.75), 36526.0);
    EXPECT_DOUBLE_EQ(TimeOf(36526.75), 0.75);
}
