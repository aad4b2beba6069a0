// Saving seat layouts and sections over real sockets on every test backend, on the demo data: new seats
// get the counter's codes, moved and renumbered seats may trade places, a delta saved twice stores each
// seat once, only layout columns are written, and every refusal names the seat and leaves the database
// as it was.

#include "host/camapseatshow.h"
#include "host/camapsectionshow.h"
#include "platform/dataset/clientdataset.h"
#include "rpc/exceptions.h"
#include "server/seed/seed.h"
#include "server/ticketoffice/sqlvalues.h"
#include "serverfixture.h"

#include <functional>
#include <gmock/gmock.h>

using namespace kav;
using namespace kav::server;
using kav::server::e2e::RemoteError;
using kav::server::e2e::ServerFixture;
using pelio::Variant;
using ::testing::HasSubstr;

namespace {

// The stalls of the first performance: 1,002 seats on rows 10 to 58 and columns 50 to 99 of a
// 100 x 150 grid; many are sold or booked.
constexpr const char* kProduct = "P0001";
constexpr const char* kMap = "M001";
constexpr const char* kStalls = "S0101";
constexpr const char* kBalcony = "S0102";

struct NewSeat {
    int x, y, floor, row, seat;
    const char* level = "A";
    const char* addition = "N";
};

class SeatLayoutTest : public ServerFixture {
protected:
    void FillDatabase() override { SeedDatabase(database_->Db(), "bench:20"); }

    void SetUp() override {
        ServerFixture::SetUp();
        context_ = LoginAs("U002", "u002");
    }

    // The section's seats as the layout window holds them.
    void Read(TClientDataSet& seats, const std::string& section = kStalls) {
        seats.SetData(TCAMapSeatShow(*client_).GetSeat(context_, kProduct, kMap, section).ByteArrayView());
        seats.SetIndexFieldNames("SEATCODE");
    }

    static void Append(TClientDataSet& seats, int provisional, const NewSeat& s) {
        seats.Append();
        seats.FieldByName("SEATCODE").SetAsInteger(provisional);
        seats.FieldByName("NODECODE").SetAsString("99"); // never read: the node is the session's
        seats.FieldByName("STATUS").SetAsString("F");
        seats.FieldByName("X").SetAsInteger(s.x);
        seats.FieldByName("Y").SetAsInteger(s.y);
        seats.FieldByName("FLOORNO").SetAsInteger(s.floor);
        seats.FieldByName("ROWNO").SetAsInteger(s.row);
        seats.FieldByName("SEATNO").SetAsInteger(s.seat);
        seats.FieldByName("ISADDITION").SetAsString(s.addition);
        seats.FieldByName("KIND").SetAsString("N");
        seats.FieldByName("PRICELEVEL").SetAsString(s.level);
        seats.Post();
    }

    static void Set(TClientDataSet& seats, std::int64_t code, const char* field, const FieldValue& value) {
        ASSERT_TRUE(seats.Locate("SEATCODE", {code})) << code;
        seats.Edit();
        seats.FieldByName(field).SetValue(value);
        seats.Post();
    }

    Variant Save(TClientDataSet& seats, const std::string& section = kStalls,
                 const std::string& product = kProduct, const std::string& map = kMap) {
        return TCAMapSeatShow(*client_).SetSeat(context_, product, map, section,
                                                Variant::ByteArray(seats.Delta()));
    }

    // A seat of the stalls: held by an order (or free), the one with the lowest code.
    std::int64_t StallsSeat(bool held) {
        return IntegerOf(
            setup_
                ->Select(std::string("select min(SEATCODE) from KAV_SEAT_SHOW where SECTIONCODE = ?1 "
                                     "and PRODUCTCODE = ?2 and ") +
                             (held ? "ORDERCODE is not null" : "STATUS = 'F' and ORDERCODE is null"),
                         {std::string(kStalls), std::string(kProduct)})
                .front()
                .front());
    }

    // Every stored seat column of the section, for checking that a refused save changed nothing.
    std::string Snapshot(const std::string& section = kStalls) {
        std::string text;
        for (const auto& row :
             setup_->Select("select SEATCODE, X, Y, FLOORNO, ROWNO, SEATNO, ISADDITION, STATUS, "
                            "KIND, PRICELEVEL, ORDERCODE, NODECODE from KAV_SEAT_SHOW where "
                            "SECTIONCODE = ?1 order by SEATCODE",
                            {section}))
            for (const SqlValue& value : row)
                text += TextOf(value) + "|";
        return text;
    }

    std::string context_;
};

} // namespace

// Drawn seats come back with the counter's codes and free; the answer is the whole section, so the
// window's seats are the saved ones.
TEST_P(SeatLayoutTest, NewSeatsGetCodesAndTheAnswerIsTheSection) {
    TClientDataSet seats;
    Read(seats);
    const int before = seats.RecordCount();
    ASSERT_EQ(before, 1002);
    const std::int64_t highest =
        IntegerOf(setup_->Select("select max(SEATCODE) from KAV_SEAT_SHOW").front().front());
    for (int i = 0; i < 3; ++i)
        Append(seats, -1 - i, {10 + i, 3, 1, 30, 1 + i, "B"});
    TClientDataSet answer;
    answer.SetData(Save(seats).ByteArrayView());
    EXPECT_EQ(answer.RecordCount(), before + 3);
    EXPECT_EQ(answer.ChangeCount(), 0);
    const auto added =
        setup_->Select("select SEATCODE, NODECODE, MAPCODE, STATUS, ORDERCODE, PRICELEVEL from "
                       "KAV_SEAT_SHOW where SECTIONCODE = ?1 and ROWNO = 30 order by SEATNO",
                       {std::string(kStalls)});
    ASSERT_EQ(added.size(), 3u);
    for (std::size_t i = 0; i < added.size(); ++i) {
        EXPECT_EQ(IntegerOf(added[i][0]), highest + 1 + static_cast<std::int64_t>(i));
        EXPECT_EQ(TextOf(added[i][1]), "01");
        EXPECT_EQ(TextOf(added[i][2]), kMap);
        EXPECT_EQ(TextOf(added[i][3]), "F");
        EXPECT_EQ(TextOf(added[i][4]), "");
        EXPECT_EQ(TextOf(added[i][5]), "B");
    }
    EXPECT_TRUE(answer.Locate("SEATCODE", {highest + 2}));
    EXPECT_EQ(answer.FieldByName("X").AsInteger(), 11);
}

// The answer to a save may be lost after the server saved it: the same delta again (new, changed and
// deleted seats) leaves the section exactly as one save did.
TEST_P(SeatLayoutTest, ADeltaSavedTwiceStoresEachSeatOnce) {
    TClientDataSet seats;
    Read(seats);
    const std::int64_t free = StallsSeat(false);
    std::int64_t other = 0;
    for (const auto& row :
         setup_->Select("select SEATCODE from KAV_SEAT_SHOW where SECTIONCODE = ?1 and STATUS = "
                        "'F' and ORDERCODE is null and SEATCODE > ?2 order by SEATCODE",
                        {std::string(kStalls), free}))
        if (!other) other = IntegerOf(row[0]);
    Append(seats, -1, {20, 4, 1, 31, 1});
    Append(seats, -2, {21, 4, 1, 31, 2});
    Set(seats, free, "PRICELEVEL", "L");
    ASSERT_TRUE(seats.Locate("SEATCODE", {other}));
    seats.Delete();
    const Variant delta = Variant::ByteArray(seats.Delta());
    TCAMapSeatShow service(*client_);
    service.SetSeat(context_, kProduct, kMap, kStalls, delta);
    const std::string once = Snapshot();
    const std::string counter =
        TextOf(setup_->Select("select LASTVALUE from KAV_COUNTER where NAME = 'SEATCODE'").front().front());
    service.SetSeat(context_, kProduct, kMap, kStalls, delta);
    EXPECT_EQ(Snapshot(), once);
    EXPECT_EQ(
        TextOf(setup_->Select("select LASTVALUE from KAV_COUNTER where NAME = 'SEATCODE'").front().front()),
        counter);
    EXPECT_EQ(
        IntegerOf(setup_->Select("select count(*) from KAV_SEAT_SHOW where ROWNO = 31").front().front()), 2);
}

// Seats may trade places and numbers in one save; a sold seat keeps its place and number but may
// take another level; a new seat's status and order columns are never taken from the packet.
TEST_P(SeatLayoutTest, SeatsTradePlacesAndOnlyLayoutColumnsAreWritten) {
    TClientDataSet seats;
    Read(seats);
    const auto pair =
        setup_->Select("select SEATCODE, X, Y, SEATNO from KAV_SEAT_SHOW where SECTIONCODE = ?1 and "
                       "STATUS = 'F' and ORDERCODE is null and ROWNO = 20 order by X",
                       {std::string(kStalls)});
    ASSERT_GE(pair.size(), 2u);
    const std::int64_t a = IntegerOf(pair[0][0]), b = IntegerOf(pair[1][0]);
    Set(seats, a, "X", IntegerOf(pair[1][1]));
    Set(seats, a, "SEATNO", IntegerOf(pair[1][3]));
    Set(seats, b, "X", IntegerOf(pair[0][1]));
    Set(seats, b, "SEATNO", IntegerOf(pair[0][3]));
    const std::int64_t held = StallsSeat(true);
    Set(seats, held, "PRICELEVEL", "L");
    Set(seats, held, "STATUS", "F"); // a client may not free a sold seat
    Save(seats);
    const auto after =
        setup_->Select("select SEATCODE, X, SEATNO from KAV_SEAT_SHOW where SEATCODE in (?1, ?2) "
                       "order by SEATCODE",
                       {a, b});
    EXPECT_EQ(IntegerOf(after[0][1]), IntegerOf(pair[1][1]));
    EXPECT_EQ(IntegerOf(after[0][2]), IntegerOf(pair[1][3]));
    EXPECT_EQ(IntegerOf(after[1][1]), IntegerOf(pair[0][1]));
    const auto sold =
        setup_->Select("select PRICELEVEL, STATUS, ORDERCODE from KAV_SEAT_SHOW where SEATCODE = ?1", {held});
    EXPECT_EQ(TextOf(sold[0][0]), "L");
    EXPECT_NE(TextOf(sold[0][1]), "F");
    EXPECT_NE(TextOf(sold[0][2]), "");

    // Deleting every seat of a section is a layout too: the answer holds no seats.
    TClientDataSet balcony;
    Read(balcony, kBalcony);
    setup_->Execute("update KAV_SEAT_SHOW set STATUS = 'F', ORDERCODE = null where SECTIONCODE = ?1",
                    {std::string(kBalcony)});
    while (!balcony.IsEmpty())
        balcony.Delete();
    TClientDataSet answer;
    answer.SetData(Save(balcony, kBalcony).ByteArrayView());
    EXPECT_TRUE(answer.Active());
    EXPECT_EQ(answer.RecordCount(), 0);
    EXPECT_NE(answer.FindField("SEATCODE"), nullptr);
}

// Every refusal names what is wrong and leaves the section as it was, whatever else the delta held.
TEST_P(SeatLayoutTest, RefusalsChangeNothing) {
    const std::int64_t held = StallsSeat(true), free = StallsSeat(false);
    const std::int64_t balconySeat =
        IntegerOf(setup_
                      ->Select("select min(SEATCODE) from KAV_SEAT_SHOW where SECTIONCODE = ?1",
                               {std::string(kBalcony)})
                      .front()
                      .front());
    const auto place =
        setup_->Select("select X, Y, FLOORNO, ROWNO, SEATNO from KAV_SEAT_SHOW where SEATCODE = ?1", {free});
    const int fx = static_cast<int>(IntegerOf(place[0][0])), fy = static_cast<int>(IntegerOf(place[0][1]));
    const int fr = static_cast<int>(IntegerOf(place[0][3])), fs = static_cast<int>(IntegerOf(place[0][4]));
    struct Case {
        const char* what;
        std::function<void(TClientDataSet&)> edit;
        const char* message;
        const char* product = kProduct;
        const char* map = kMap;
    };
    const Case cases[] = {
        {"a sold seat deleted (with a free one)",
         [&](TClientDataSet& s) {
             s.Locate("SEATCODE", {free});
             s.Delete();
             s.Locate("SEATCODE", {held});
             s.Delete();
         },
         "不能删除"},
        {"a sold seat moved", [&](TClientDataSet& s) { Set(s, held, "Y", 99); }, "不能移动或改号"},
        {"a sold seat renumbered", [&](TClientDataSet& s) { Set(s, held, "SEATNO", 999); }, "不能移动或改号"},
        {"outside the grid",
         [&](TClientDataSet& s) {
             Append(s, -1, {151, 2, 1, 40, 1});
         },
         "不在区域的 100 行 150 列之内"},
        {"on a taken place",
         [&](TClientDataSet& s) {
             Append(s, -1, {fx, fy, 1, 40, 1});
         },
         "已有座位"},
        {"an identity taken",
         [&](TClientDataSet& s) {
             Append(s, -1, {5, 5, 1, fr, fs});
         },
         "已经存在"},
        {"two new seats on one place",
         [&](TClientDataSet& s) {
             Append(s, -1, {5, 5, 1, 40, 1});
             Append(s, -2, {5, 5, 1, 40, 2});
         },
         "已有座位"},
        {"moved onto another seat", [&](TClientDataSet& s) { Set(s, free, "X", fx + 1); }, "有两个座位"},
        {"seat number 0",
         [&](TClientDataSet& s) {
             Append(s, -1, {5, 5, 1, 40, 0});
         },
         "超出范围"},
        {"an unknown price level",
         [&](TClientDataSet& s) {
             Append(s, -1, {5, 5, 1, 40, 1, "Q"});
         },
         "票价等级"},
        {"an unknown kind",
         [&](TClientDataSet& s) {
             Append(s, -1, {5, 5, 1, 40, 1});
             s.Edit();
             s.FieldByName("KIND").SetAsString("9");
             s.Post();
         },
         "座位类别"},
        {"an added flag that is neither Y nor N",
         [&](TClientDataSet& s) {
             Append(s, -1, {5, 5, 1, 40, 1, "A", "X"});
         },
         "加座标记"},
        {"a section the performance lacks", [&](TClientDataSet& s) { Set(s, free, "KIND", "Z"); }, "没有区域",
         "P0002"},
        {"another map", [&](TClientDataSet& s) { Set(s, free, "KIND", "Z"); }, "属于座位图", kProduct,
         "M002"},
    };
    const std::string before = Snapshot();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TClientDataSet seats;
        Read(seats);
        c.edit(seats);
        EXPECT_THAT(RemoteError([&] { Save(seats, kStalls, c.product, c.map); }), HasSubstr(c.message));
        EXPECT_EQ(Snapshot(), before);
    }

    // A change to a seat of another section, sent as if it were the stalls'.
    TClientDataSet balcony;
    Read(balcony, kBalcony);
    Set(balcony, balconySeat, "KIND", "Z");
    EXPECT_THAT(RemoteError([&] { Save(balcony, kStalls); }), HasSubstr("已不在区域"));
    EXPECT_THAT(RemoteError([&] {
                    TCAMapSeatShow(*client_).SetSeat(context_, kProduct, kMap, kStalls,
                                                     Variant::ByteArray("not a packet"));
                }),
                HasSubstr("数据包 SeatDelta"));
    EXPECT_EQ(Snapshot(), before);
}

// Sections of a map: the stage saved, rules refused, a new section added once however often it is
// sent, and removed with its floors and rows while it has no seats.
TEST_P(SeatLayoutTest, SectionsOfAMap) {
    TCAMapSectionShow service(*client_);
    TClientDataSet sections;
    sections.SetData(service.GetSections(context_, kMap).ByteArrayView());
    ASSERT_TRUE(sections.Locate("SECTIONCODE", {std::string(kStalls)}));
    EXPECT_EQ(sections.FieldByName("PRODUCTCODE").AsString(), kProduct);
    const int count = sections.RecordCount();
    EXPECT_GT(count, 2); // the sections of every performance in that hall

    sections.Edit();
    sections.FieldByName("ARENAXY").SetAsString("1|40|30|3");
    sections.Post();
    EXPECT_EQ(service.SetSections(context_, kMap, Variant::ByteArray(sections.Delta())), 1);
    EXPECT_EQ(TextOf(setup_
                         ->Select("select ARENAXY from KAV_SECTION_SHOW where SECTIONCODE = ?1",
                                  {std::string(kStalls)})
                         .front()
                         .front()),
              "1|40|30|3");
    sections.MergeChangeLog();

    const auto refused = [&](const char* field, const FieldValue& value, const char* message) {
        SCOPED_TRACE(field);
        TClientDataSet copy;
        copy.CopyFrom(sections);
        copy.Locate("SECTIONCODE", {std::string(kStalls)});
        copy.Edit();
        copy.FieldByName(field).SetValue(value);
        copy.Post();
        EXPECT_THAT(
            RemoteError([&] { service.SetSections(context_, kMap, Variant::ByteArray(copy.Delta())); }),
            HasSubstr(message));
    };
    refused("ARENAXY", "1|2|3", "自定义舞台");
    refused("STYLE", "7", "舞台位置");
    refused("CELLROWS", 40, "有座位在新的行列数之外");
    refused("CELLCOLUMNS", 151, "超出");
    refused("CNAME", "", "没有名称");
    refused("PRODUCTCODE", "P0003", "不能改到演出");

    // A new section for a performance of the same hall, sent twice, then removed.
    const auto addSection = [&](TClientDataSet& rows, const char* code, const char* product) {
        rows.Append();
        rows.FieldByName("SECTIONCODE").SetAsString(code);
        rows.FieldByName("PRODUCTCODE").SetAsString(product);
        rows.FieldByName("CNAME").SetAsString("包厢");
        rows.FieldByName("CELLROWS").SetAsInteger(10);
        rows.FieldByName("CELLCOLUMNS").SetAsInteger(20);
        rows.Post();
    };
    addSection(sections, "S9901", "P0003");
    const Variant added = Variant::ByteArray(sections.Delta());
    EXPECT_EQ(service.SetSections(context_, kMap, added), 1);
    EXPECT_EQ(service.SetSections(context_, kMap, added), 1);
    EXPECT_EQ(IntegerOf(setup_->Select("select count(*) from KAV_SECTION_SHOW where SECTIONCODE = 'S9901'")
                            .front()
                            .front()),
              1);
    EXPECT_EQ(
        TextOf(
            setup_->Select("select STYLE from KAV_SECTION_SHOW where SECTIONCODE = 'S9901'").front().front()),
        "2");
    setup_->Execute("insert into KAV_FLOOR_SHOW (NODECODE, SECTIONCODE, FLOORNO, NAME) values ('01', "
                    "'S9901', 1, '一层')");
    sections.MergeChangeLog();

    TClientDataSet other;
    other.CopyFrom(sections);
    addSection(other, "S9902", "P0002"); // a performance in the other hall
    EXPECT_THAT(RemoteError([&] { service.SetSections(context_, kMap, Variant::ByteArray(other.Delta())); }),
                HasSubstr("不使用座位图"));

    ASSERT_TRUE(sections.Locate("SECTIONCODE", {std::string(kStalls)}));
    sections.Delete();
    EXPECT_THAT(
        RemoteError([&] { service.SetSections(context_, kMap, Variant::ByteArray(sections.Delta())); }),
        HasSubstr("还有座位"));
    sections.CancelUpdates();
    ASSERT_TRUE(sections.Locate("SECTIONCODE", {std::string("S9901")}));
    sections.Delete();
    EXPECT_EQ(service.SetSections(context_, kMap, Variant::ByteArray(sections.Delta())), 1);
    EXPECT_TRUE(setup_->Select("select 1 from KAV_FLOOR_SHOW where SECTIONCODE = 'S9901'").empty());
    EXPECT_EQ(
        IntegerOf(
            setup_->Select("select count(*) from KAV_SECTION_SHOW where MAPCODE = ?1", {std::string(kMap)})
                .front()
                .front()),
        count);
}

INSTANTIATE_TEST_SUITE_P(Backends, SeatLayoutTest, ::testing::ValuesIn(test::TestBackends()),
                         [](const auto& info) { return test::BackendName(info.param); });
