// Results turned into packets while their rows are read: the same bytes as encoding all the rows
// at once, whatever the values do to the fields, and a result refused as soon as it grows too large.
#include "server/db/packetstream.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

namespace kav::server::test {
namespace {

using detail::Cell;
using detail::CellValue;
using detail::ColumnKind;
using detail::PacketStream;
using detail::ResultColumn;
using detail::ResultRows;

CellValue Null() {
    return {};
}
CellValue Int(std::int64_t v) {
    return {Cell::Kind::Integer, v, 0, {}};
}
CellValue Real(double v) {
    return {Cell::Kind::Float, 0, v, {}};
}
CellValue Text(std::string_view v) {
    return {Cell::Kind::Text, 0, 0, v};
}

struct Result {
    std::vector<ResultColumn> columns;
    std::vector<std::vector<CellValue>> rows;
};

// Reads `result` into a stream the way a backend does, again from the first row whenever the
// stream asks; counts the readings.
std::string Streamed(const Result& result, std::size_t maxBytes = SIZE_MAX, int* readings = nullptr) {
    PacketStream stream(result.columns, maxBytes);
    int count = 0;
    for (bool done = false; !done;) {
        ++count;
        done = true;
        for (std::size_t r = 0; r < result.rows.size() && done; ++r) {
            stream.BeginRow();
            for (std::size_t c = 0; c < result.rows[r].size() && done; ++c)
                done = stream.Add(result.rows[r][c]);
        }
    }
    if (readings) *readings = count;
    return stream.Packet();
}

ResultRows Materialised(const Result& result) {
    ResultRows rows;
    rows.columns = result.columns;
    for (const auto& row : result.rows)
        for (const auto& value : row)
            rows.Add(value);
    return rows;
}

TEST(PacketStream, GivesTheBytesOfTheWholeResultEncodedAtOnce) {
    const std::string longText(300, 'x');
    struct Case {
        const char* name;
        Result result;
        int readings;
    } cases[] = {
        {"values true to their declared kinds",
         {{{"NAME", ColumnKind::String, 8}, {"N", ColumnKind::Integer}, {"AT", ColumnKind::DateTime}},
          {{Text("张三"), Int(1), Text("2020-06-01 19:30:00")}, {Null(), Null(), Null()}}},
         1},
        {"strings longer than declared, in characters",
         {{{"S", ColumnKind::String, 2}},
          {{Text("ab")}, {Text("张三李四王")}, {Text(longText)}, {Text("a")}}},
         1},
        {"a smallint column outgrown at the last row, then again",
         {{{"SMALL", ColumnKind::Smallint}, {"T", ColumnKind::String, 4}},
          {{Int(1), Text("a")},
           {Int(-300), Text("b")},
           {Int(70000), Text("c")},
           {Int(5'000'000'000), Null()}}},
         3},
        {"numbers and text in one integer column",
         {{{"N", ColumnKind::Integer}}, {{Int(1)}, {Real(2.5)}, {Text("n/a")}, {Int(7)}}},
         3},
        {"numbers in a string column print as text",
         {{{"S", ColumnKind::String, 3}}, {{Int(12345)}, {Real(0.125)}, {Text("abc")}}},
         1},
        {"columns without a declared kind",
         {{{"CNT", ColumnKind::Unknown},
           {"TOTAL", ColumnKind::Unknown},
           {"NAMES", ColumnKind::Unknown},
           {"NOTHING", ColumnKind::Unknown}},
          {{Null(), Int(3), Real(1.5), Null()}, {Int(4), Real(0.5), Text("x"), Null()}}},
         4},
        {"repeated and empty names",
         {{{"N", ColumnKind::Integer}, {"n", ColumnKind::Integer}, {"", ColumnKind::Float}},
          {{Int(1), Int(2), Real(3)}}},
         1},
        {"no rows", {{{"A", ColumnKind::Unknown}, {"B", ColumnKind::String, 5}}, {}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int readings = 0;
        EXPECT_EQ(Streamed(c.result, SIZE_MAX, &readings), detail::PacketOf(Materialised(c.result)));
        EXPECT_EQ(readings, c.readings) << "each restart widens a column";
    }
}

TEST(PacketStream, ValuesItsFieldCannotTakeAreRefused) {
    const Result numberAsDateTime{{{"AT", ColumnKind::DateTime}}, {{Text("2020-01-01 00:00:00")}, {Int(5)}}};
    EXPECT_THROW(Streamed(numberAsDateTime), EDatabase);
}

TEST(PacketStream, TheRowsMayTakeExactlyTheLimit) {
    const Result result{
        {{"NAME", ColumnKind::String, 8}, {"N", ColumnKind::Smallint}, {"P", ColumnKind::Float}},
        {{Text("abc"), Int(1), Real(1)}, {Null(), Int(2), Null()}, {Text("张三"), Null(), Real(2)}}};
    const std::string whole = Streamed(result);
    const std::size_t rowBytes = whole.size() - Streamed({result.columns, {}}).size();
    EXPECT_EQ(Streamed(result, rowBytes), whole);
    EXPECT_EQ(detail::PacketOf(Materialised(result), rowBytes), whole);
    EXPECT_THROW(Streamed(result, rowBytes - 1), EResultTooLarge);
    EXPECT_THROW(detail::PacketOf(Materialised(result), rowBytes - 1), EResultTooLarge);
}

class LargeResultTest : public ::testing::TestWithParam<Backend> {};

TEST_P(LargeResultTest, ALargeQueryIsAbandonedAsSoonAsItPassesTheLimit) {
    TestDatabase db(GetParam());
    auto conn = db.Db().Connect();
    conn->Execute("create table M (ID integer, NAME varchar(10))");
    conn->Execute("insert into M values (1, 'a'), (2, 'b')");
    const std::string huge =
        "with recursive N(I) as (select 1 union all select I + 1 from N where I < 400000) "
        "select I, 'abcdefghijklmnopqrstuvwxyz0123456789' || I as T from N";
    constexpr std::size_t limit = 10000;
    conn->SetMaxPacketBytes(limit);
    try {
        conn->GetData(huge);
        FAIL() << "accepted";
    } catch (const EResultTooLarge& e) {
        EXPECT_EQ(e.limit, limit);
        EXPECT_GT(e.bytes, limit);
        EXPECT_LT(e.bytes, limit + 64) << "stopped within the row that passed the limit";
    }
    try {
        conn->GetMasterDetailData("select ID from M", "ROWS",
                                  "select * from (" + huge + ") as H where I > :ID");
        FAIL() << "accepted";
    } catch (const EResultTooLarge& e) {
        EXPECT_EQ(e.limit, limit);
    }

    // The connection goes on, and a result within the limit arrives whole.
    EXPECT_GT(conn->GetData("select * from M").size(), 0u);
    conn->Execute("insert into M values (3, 'c')");
    conn->SetMaxPacketBytes(SIZE_MAX);
    EXPECT_GT(conn->GetData(huge).size(), 400000u * 40);
}

INSTANTIATE_TEST_SUITE_P(Backends, LargeResultTest, ::testing::ValuesIn(TestBackends()),
                         [](const auto& info) { return BackendName(info.param); });

} // namespace
} // namespace kav::server::test
