#include "rpc/realformats.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace pelio;

TEST(RealFormats, KnownImages) {
    EXPECT_EQ(EncodeReal48(1.0L), (Real48Bytes{0x81, 0, 0, 0, 0, 0}));
    EXPECT_EQ(EncodeReal48(-2.0L), (Real48Bytes{0x82, 0, 0, 0, 0, 0x80}));
    EXPECT_EQ(EncodeReal48(0.0L), (Real48Bytes{}));
    EXPECT_EQ(EncodeExtended(1.0L), (ExtendedBytes{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
    EXPECT_EQ(EncodeExtended(-3.0L), (ExtendedBytes{0, 0, 0, 0, 0, 0, 0, 0xC0, 0x00, 0xC0}));
    EXPECT_EQ(EncodeExtended(0.0L), (ExtendedBytes{}));
}

TEST(RealFormats, RoundTrips) {
    for (long double value : {1.0L, -1.5L, 3.14159265358979L, 1e-30L, -6.02e23L, 1.7e38L}) {
        const long double back = DecodeReal48(EncodeReal48(value));
        EXPECT_NEAR(static_cast<double>(back / value), 1.0, 1e-11) << static_cast<double>(value);
    }
    for (long double value : {1.0L, -1.5L, 3.14159265358979323846L, 1e-4000L, -1e4000L, 0x1p-16440L,
                              std::numeric_limits<long double>::max()})
        EXPECT_EQ(DecodeExtended(EncodeExtended(value)), value);
    EXPECT_TRUE(std::isinf(DecodeExtended(EncodeExtended(-HUGE_VALL))));
    EXPECT_TRUE(std::isnan(DecodeExtended(EncodeExtended(std::nanl("")))));
}

TEST(RealFormats, Real48RangeLimits) {
    EXPECT_THROW(EncodeReal48(1e39L), std::range_error);
    EXPECT_THROW(EncodeReal48(HUGE_VALL), std::range_error);
    EXPECT_EQ(EncodeReal48(1e-40L), Real48Bytes{}); // below the smallest normal: zero
}
