// Reading rows by position must give what the field accessors give on the same row, including
// for values that convert awkwardly, and the nested rows that the nested cursor would show.
#include "platform/dataset/rowreader.h"

#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>
#include <vector>

using namespace kav;

namespace {

// Every accessor's answer on one row, or the message of what it raised.
struct Reading {
    std::string text;
    std::optional<int> integer;
    std::optional<double> number;
    std::optional<double> dateTime;
    std::string error;
    friend bool operator==(const Reading&, const Reading&) = default;
};

template <typename Read> auto Try(Read read, std::string& error) -> std::optional<decltype(read())> {
    try {
        return read();
    } catch (const EDatabaseError& e) {
        error += e.what();
        error += ";";
        return std::nullopt;
    }
}

Reading ByField(TField& field) {
    Reading r;
    r.text = field.AsString();
    r.integer = Try([&] { return field.AsInteger(); }, r.error);
    r.number = Try([&] { return field.AsFloat(); }, r.error);
    r.dateTime = Try([&] { return field.AsDateTime(); }, r.error);
    return r;
}

Reading ByReader(const TRowReader& reader, int row, int field) {
    Reading r;
    r.text = "left over from the last row"; // must be replaced, not appended to
    reader.ReadText(row, field, r.text);
    std::string scratch = "left over";
    if (reader.TextOf(row, field, scratch) != r.text) r.error += "TextOf differs from ReadText;";
    r.integer = Try([&] { return reader.ReadInteger(row, field); }, r.error);
    r.number = Try([&] { return reader.ReadFloat(row, field); }, r.error);
    r.dateTime = Try([&] { return reader.ReadDateTime(row, field); }, r.error);
    return r;
}

} // namespace

TEST(RowReader, ReadsWhatTheFieldsRead) {
    TClientDataSet ds;
    ds.AddFieldDef("TEXT", TFieldType::ftString, 40);
    ds.AddFieldDef("SMALL", TFieldType::ftSmallint);
    ds.AddFieldDef("INT", TFieldType::ftInteger);
    ds.AddFieldDef("LARGE", TFieldType::ftLargeint);
    ds.AddFieldDef("FLOAT", TFieldType::ftFloat);
    ds.AddFieldDef("MONEY", TFieldType::ftCurrency);
    ds.AddFieldDef("WHEN", TFieldType::ftTimeStamp);
    ds.AddFieldDef("FLAG", TFieldType::ftBoolean);
    ds.AddFieldDef("MEMO", TFieldType::ftMemo);
    ds.CreateDataSet();
    const double huge = std::numeric_limits<double>::max();
    const std::vector<std::vector<FieldValue>> rows{
        {}, // every column null
        {"", 0, 0, 0, 0.0, 0.0, 0.0, false, ""},
        {"售票系统的一个很长的中文名称，超过内联长度", -32768, -2147483647 - 1, std::int64_t{1} << 62, -0.0,
         -99999999.9999, 46000.75, true, "多行\n文本"},
        {"12", 32767, 2147483647, -(std::int64_t{1} << 62), huge, 100000000000.0, -693593.0, true, "x"},
        {" 42 ", 1, 1, 9, 0.1 + 0.2, 0.0001, 2958465.99999, false, "2026-12-07"},
        {"2026-12-07 10:30:00", 2, 3, 4, -1e-300, 12.5, 1e9, true, "not a date"},
    };
    for (const auto& values : rows)
        ds.AppendRecord(values);

    TRowReader reader(ds);
    ASSERT_EQ(reader.RowCount(), static_cast<int>(rows.size()));
    for (int row = 0; row < reader.RowCount(); ++row) {
        ds.SetRecNo(row + 1);
        for (int field = 0; field < ds.FieldCount(); ++field)
            EXPECT_EQ(ByReader(reader, row, field), ByField(ds.Fields(field)))
                << "row " << row << ", field " << ds.Fields(field).FieldName();
    }
}

TEST(RowReader, ReadsTheViewAndCalculatedFieldsWithoutMovingTheCursor) {
    TClientDataSet ds;
    ds.AddFieldDef("CODE", TFieldType::ftString, 8);
    ds.AddFieldDef("AMOUNT", TFieldType::ftInteger);
    ds.AddFieldDef("TWICE", TFieldType::ftInteger).kind = TFieldKind::fkCalculated;
    ds.SetOnCalcFields([](TClientDataSet& row) {
        row.FieldByName("TWICE").SetAsInteger(2 * row.FieldByName("AMOUNT").AsInteger());
    });
    ds.CreateDataSet();
    for (const auto& [code, amount] : {std::pair{"C", 3}, std::pair{"A", 1}, std::pair{"B", 2}})
        ds.AppendRecord({code, amount});
    ds.SetIndexFieldNames("CODE");
    ds.SetFilter("AMOUNT > 1");
    ds.SetFiltered(true);
    ds.Last();

    const TRowReader reader(ds);
    std::vector<std::string> seen;
    for (int row = 0; row < reader.RowCount(); ++row) {
        std::string code;
        reader.ReadText(row, 0, code);
        seen.push_back(code + "=" + std::to_string(reader.ReadInteger(row, 2)));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"B=4", "C=6"}));
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_TRUE(ds.Eof());
}

namespace {

// The lines of each order as the nested cursor shows them, and as the reader reads them.
std::vector<std::string> LinesByCursor(TClientDataSet& orders) {
    TClientDataSet& lines = orders.FieldByName("LINES").NestedDataSet();
    std::vector<std::string> result;
    for (orders.First(); !orders.Eof(); orders.Next()) {
        std::string text;
        for (lines.First(); !lines.Eof(); lines.Next())
            text +=
                lines.FieldByName("PRICE").AsString() + "X" + lines.FieldByName("AMOUNT").AsString() + ";";
        result.push_back(text);
    }
    return result;
}

std::vector<std::string> LinesByReader(TClientDataSet& orders) {
    const int linesField = orders.FieldByName("LINES").Index();
    TClientDataSet& cursor = orders.FieldByName("LINES").NestedDataSet();
    const int price = cursor.FieldByName("PRICE").Index();
    const int amount = cursor.FieldByName("AMOUNT").Index();
    TRowReader reader(orders);
    TRowReader lines;
    std::vector<std::string> result;
    for (int row = 0; row < reader.RowCount(); ++row) {
        reader.FetchAhead(row, linesField); // a hint only: it must change nothing
        reader.ReadNested(row, linesField, lines);
        std::string text;
        for (int line = 0; line < lines.RowCount(); ++line) {
            lines.AppendText(line, price, text);
            text += "X";
            lines.AppendText(line, amount, text);
            text += ";";
        }
        result.push_back(text);
    }
    return result;
}

} // namespace

TEST(RowReader, NestedRowsAreThoseTheNestedCursorShows) {
    TClientDataSet source;
    source.AddFieldDef("CODE", TFieldType::ftString, 8);
    auto& nested = source.AddFieldDef("LINES", TFieldType::ftDataSet);
    nested.nestedFields = {MakeFieldDef("PRICE", TFieldType::ftFloat),
                           MakeFieldDef("AMOUNT", TFieldType::ftInteger)};
    source.CreateDataSet();
    TClientDataSet& lines = source.FieldByName("LINES").NestedDataSet();
    source.AppendRecord({"O1"});
    lines.AppendRecord({300.0, 2});
    lines.AppendRecord({280.5, 1});
    lines.AppendRecord({99.0, 7});
    source.AppendRecord({"O2"}); // no lines
    source.AppendRecord({"O3"});
    lines.AppendRecord({-0.0, 0});
    source.MergeChangeLog();
    source.First();
    lines.Next();
    lines.Delete(); // kept in the change log: not shown

    TClientDataSet orders;
    orders.SetData(source.Data());
    const std::vector<std::string> plain{"300X2;99X7;", "", "0X0;"};
    EXPECT_EQ(LinesByCursor(orders), plain);
    EXPECT_EQ(LinesByReader(orders), plain);

    // A nested cursor that filters and orders its lines chooses them itself.
    TClientDataSet& loadedLines = orders.FieldByName("LINES").NestedDataSet();
    loadedLines.SetIndexFieldNames("PRICE");
    loadedLines.SetFilter("PRICE > 0");
    loadedLines.SetFiltered(true);
    const std::vector<std::string> chosen{"99X7;300X2;", "", ""};
    EXPECT_EQ(LinesByCursor(orders), chosen);
    EXPECT_EQ(LinesByReader(orders), chosen);
}
