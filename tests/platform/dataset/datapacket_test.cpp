// Data packets: round trips of every field type, nested tables and change states; refusal of
// malformed packets with the dataset unchanged; files.
#include "datasettesting.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace kav {
namespace {

using testing::Column;
using testing::MakeOrders;

// One field of every type, a nested table with its own nested table.
void MakeEveryType(TClientDataSet& ds) {
    ds.AddFieldDef("S", TFieldType::ftString, 16, true).displayLabel = "名称";
    ds.AddFieldDef("SI", TFieldType::ftSmallint).visible = false;
    ds.AddFieldDef("I", TFieldType::ftInteger).key = true;
    ds.AddFieldDef("L", TFieldType::ftLargeint);
    ds.AddFieldDef("F", TFieldType::ftFloat).displayWidth = 12;
    ds.AddFieldDef("C", TFieldType::ftCurrency);
    ds.AddFieldDef("N", TFieldType::ftBCD);
    ds.AddFieldDef("B", TFieldType::ftBoolean);
    ds.AddFieldDef("D", TFieldType::ftDateTime);
    ds.AddFieldDef("T", TFieldType::ftTimeStamp);
    ds.AddFieldDef("M", TFieldType::ftMemo);
    ds.AddFieldDef("X", TFieldType::ftBlob);
    auto& floors = ds.AddFieldDef("qryFloor", TFieldType::ftDataSet);
    floors.nestedFields.push_back(MakeFieldDef("FLOORNO", TFieldType::ftSmallint));
    auto rows = MakeFieldDef("qryRow", TFieldType::ftDataSet);
    rows.nestedFields.push_back(MakeFieldDef("ROWNAME", TFieldType::ftString, 16));
    floors.nestedFields.push_back(rows);
    ds.CreateDataSet();
}

void FillEveryType(TClientDataSet& ds) {
    ds.AppendRecord({"第一排", -32768, 2147483647, std::int64_t{-9007199254740993}, 0.1, 12.3456, 99.5, true,
                     EncodeDate(2026, 12, 7), EncodeDateTime({1899, 12, 29, 6, 0, 0, 0}),
                     std::string(70000, 'm'), std::string("\0\xff\x01", 3)});
    ds.Append(); // all null
    ds.FieldByName("S").SetAsString("");
    ds.Post();
    ds.First();
    auto& floor = ds.FieldByName("qryFloor").NestedDataSet();
    floor.AppendRecord({1});
    floor.FieldByName("qryRow").NestedDataSet().AppendRecord({"A"});
    floor.FieldByName("qryRow").NestedDataSet().AppendRecord({"B"});
    floor.AppendRecord({2});
    ds.MergeChangeLog();
    ds.FieldByName("L").SetReadOnly(true);
}

TEST(DataPacket, NestedTablesOfEveryRowKeepTheirOwnDisplayProperties) {
    TClientDataSet source;
    source.AddFieldDef("NO", TFieldType::ftInteger);
    auto& lines = source.AddFieldDef("LINES", TFieldType::ftDataSet);
    lines.nestedFields.push_back(MakeFieldDef("PRICE", TFieldType::ftFloat));
    lines.nestedFields.back().displayLabel = "票价";
    source.CreateDataSet();
    for (int no = 1; no <= 3; ++no) {
        source.Append();
        source.FieldByName("NO").SetAsInteger(no);
        source.FieldByName("LINES").NestedDataSet().AppendRecord({100.0 * no});
        source.Post();
    }
    TClientDataSet ds;
    ds.SetData(source.Data());
    TClientDataSet& nested = ds.FieldByName("LINES").NestedDataSet();

    // The rows' nested tables start from one set of definitions; a change made through the
    // nested cursor stays with the table of the row it was made on.
    ds.First();
    nested.FieldByName("PRICE").SetDisplayLabel("单价");
    ds.Next();
    EXPECT_EQ(nested.FieldByName("PRICE").DisplayLabel(), "票价");
    EXPECT_EQ(nested.FieldByName("PRICE").AsFloat(), 200.0);
    ds.Next();
    EXPECT_EQ(nested.FieldByName("PRICE").DisplayLabel(), "票价");
    ds.First();
    EXPECT_EQ(nested.FieldByName("PRICE").DisplayLabel(), "单价");
    EXPECT_EQ(nested.FieldByName("PRICE").AsFloat(), 100.0);
}

TEST(DataPacket, EveryTypeRoundTrips) {
    TClientDataSet source;
    MakeEveryType(source);
    FillEveryType(source);
    TClientDataSet copy;
    copy.SetData(source.Data());

    ASSERT_EQ(copy.FieldCount(), source.FieldCount());
    for (int i = 0; i < copy.FieldCount(); ++i) {
        const auto& a = source.Fields(i).Def();
        const auto& b = copy.Fields(i).Def();
        EXPECT_EQ(a.name, b.name);
        EXPECT_EQ(a.type, b.type);
        EXPECT_EQ(a.size, b.size);
        EXPECT_EQ(std::tie(a.required, a.readOnly, a.visible, a.key, a.displayLabel, a.displayWidth),
                  std::tie(b.required, b.readOnly, b.visible, b.key, b.displayLabel, b.displayWidth));
    }
    ASSERT_EQ(copy.RecordCount(), 2);
    copy.First();
    source.First();
    for (int i = 0; i < copy.FieldCount(); ++i) {
        if (copy.Fields(i).DataType() != TFieldType::ftDataSet) {
            EXPECT_EQ(copy.Fields(i).Value(), source.Fields(i).Value()) << copy.Fields(i).FieldName();
        }
    }
    EXPECT_EQ(copy.FieldByName("C").AsCurrency(), 12.3456);
    EXPECT_EQ(copy.FieldByName("X").AsString(), std::string("\0\xff\x01", 3));
    auto& floor = copy.FieldByName("qryFloor").NestedDataSet();
    EXPECT_EQ(Column(floor, "FLOORNO"), (std::vector<std::string>{"1", "2"}));
    floor.First();
    EXPECT_EQ(Column(floor.FieldByName("qryRow").NestedDataSet(), "ROWNAME"),
              (std::vector<std::string>{"A", "B"}));
    copy.Next();
    for (int i = 0; i < copy.FieldCount(); ++i) {
        if (copy.Fields(i).DataType() != TFieldType::ftDataSet && i != 0) {
            EXPECT_TRUE(copy.Fields(i).IsNull());
        }
    }
    EXPECT_TRUE(copy.FieldByName("qryFloor").NestedDataSet().IsEmpty());
    const auto again = copy.Data(), first = source.Data();
    EXPECT_TRUE(again == first) << "encoding is deterministic; first difference at "
                                << std::mismatch(again.begin(), again.end(), first.begin()).first -
                                       again.begin();
}

TEST(DataPacket, PendingChangesTravelWithTheData) {
    TClientDataSet ds;
    MakeOrders(ds);
    ds.AppendRecord({"A", 1});
    ds.AppendRecord({"B", 2});
    ds.AppendRecord({"C", 3});
    ds.MergeChangeLog();
    ds.First();
    ds.Edit();
    ds.FieldByName("SEATCOUNT").SetAsInteger(10);
    ds.Post();
    ds.Next();
    ds.Delete();
    ds.AppendRecord({"D", 4});

    TClientDataSet copy;
    copy.SetData(ds.Data());
    EXPECT_EQ(copy.ChangeCount(), 3);
    EXPECT_EQ(Column(copy, "ORDERCODE"), (std::vector<std::string>{"A", "C", "D"}));
    copy.CancelUpdates();
    EXPECT_EQ(Column(copy, "ORDERCODE"), (std::vector<std::string>{"A", "B", "C"}));
    copy.First();
    EXPECT_EQ(copy.FieldByName("SEATCOUNT").AsInteger(), 1);
}

// Every proper prefix of a packet, and each single-byte corruption of its header and field
// section, is refused with EDatabaseError; the dataset keeps what it had.
TEST(DataPacket, MalformedPacketsAreRefusedAndTheDataSetKeepsItsContent) {
    TClientDataSet source;
    MakeEveryType(source);
    FillEveryType(source);
    const auto packet = source.Data();

    TClientDataSet target;
    MakeOrders(target);
    target.AppendRecord({"KEEP", 1});
    const auto before = target.Data();
    for (std::size_t n = 0; n < packet.size(); n += (n < 400 ? 1 : 997)) {
        EXPECT_THROW(target.SetData(std::string_view(packet).substr(0, n)), EDatabaseError) << n;
    }
    EXPECT_THROW(target.SetData(packet + "x"), EDatabaseError);
    for (std::size_t at = 0; at < 120; ++at) {
        auto bad = packet;
        bad[at] = static_cast<char>(bad[at] ^ 0x5a);
        try {
            target.SetData(bad);
            target.SetData(before); // some corruptions are valid packets (a changed name)
        } catch (const EDatabaseError&) {
        }
    }
    EXPECT_EQ(target.Data(), before);
    EXPECT_EQ(target.FieldByName("ORDERCODE").AsString(), "KEEP");
}

TEST(DataPacket, RefusalsNameTheFault) {
    TClientDataSet ds;
    MakeOrders(ds);
    ds.AppendRecord({"A", 1});
    const auto packet = ds.Data();
    auto refused = [&ds](const std::string& bytes) {
        try {
            ds.SetData(bytes);
        } catch (const EDatabaseError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    // Layout: magic(4) version(2) flags(2) count(2) then the first field: name length(2) name type ...
    auto withByte = [&packet](std::size_t at, char value) {
        auto bytes = packet;
        bytes[at] = value;
        return bytes;
    };
    EXPECT_NE(refused("PK\x03\x04zip").find("magic"), std::string::npos);
    EXPECT_NE(refused(withByte(4, 9)).find("version 9"), std::string::npos);
    EXPECT_NE(refused(withByte(8, 0)).find("field count 0"), std::string::npos);
    EXPECT_NE(refused(withByte(12 + 9, 77)).find("unknown type code 77"), std::string::npos);
    auto hugeRows = packet;
    const auto rowCountAt = hugeRows.size() - 4 - (1 + 1 + 4 + 1 + 4); // before the one row
    hugeRows.replace(rowCountAt, 4, std::string("\xff\xff\xff\x7f", 4));
    EXPECT_NE(refused(hugeRows).find("impossible row count"), std::string::npos);
    EXPECT_EQ(ds.FieldByName("ORDERCODE").AsString(), "A");
}

TEST(DataPacket, NullMapBitsBeyondTheFieldsAreRefused) {
    TClientDataSet ds;
    ds.AddFieldDef("B", TFieldType::ftBoolean);
    ds.CreateDataSet();
    ds.AppendRecord({true});
    auto packet = ds.Data();
    // The row is: state, null map, value.
    auto badNulls = packet;
    badNulls[badNulls.size() - 2] = 0x02;
    EXPECT_THROW(ds.SetData(badNulls), EDatabaseError);
    auto badBoolean = packet;
    badBoolean.back() = 2;
    EXPECT_THROW(ds.SetData(badBoolean), EDatabaseError);
    ds.SetData(packet);
    EXPECT_TRUE(ds.FieldByName("B").AsBoolean());
}

TEST(DataPacket, FilesAreWrittenWholeAndReadBack) {
    auto folder = std::filesystem::temp_directory_path() / ("kavds-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    auto file = folder / "cdsorder.cds";
    TClientDataSet ds;
    MakeOrders(ds);
    ds.AppendRecord({"A", 2, 20.5, "B"});
    ds.SaveToFile(file);
    TClientDataSet loaded;
    loaded.LoadFromFile(file);
    EXPECT_EQ(loaded.FieldByName("RECEIVABLES").AsFloat(), 20.5);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << "garbage";
    EXPECT_THROW(loaded.LoadFromFile(file), EDatabaseError);
    EXPECT_EQ(loaded.RecordCount(), 1);
    EXPECT_THROW(loaded.LoadFromFile(folder / "missing.cds"), EDatabaseError);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace kav
