#include "server/mapseatshowservant.h"

#include "host/sqltext.h"
#include "platform/dataset/datapacketbuilder.h"
#include "rpc/exceptions.h"
#include "server/db/transaction.h"
#include "server/dbpipeservant.h"
#include "server/layout/seatlayout.h"
#include "server/ticketoffice/sqlvalues.h"

#include <vector>

namespace kav::server {

namespace {

TFieldDef Field(const char* name, TFieldType type, int size = 0) {
    return MakeFieldDef(name, type, size);
}

TFieldDef Nested(const char* name, std::vector<TFieldDef> fields) {
    TFieldDef def = MakeFieldDef(name, TFieldType::ftDataSet);
    def.nestedFields = std::move(fields);
    return def;
}

// Writes a row of Select values into the builder's fields, in order, up to the first nested field.
void AddValues(TDataPacketBuilder& builder, const std::vector<SqlValue>& row) {
    for (std::size_t i = 0; i < row.size(); ++i) {
        const SqlValue& value = row[i];
        if (std::holds_alternative<std::monostate>(value))
            builder.AddNull();
        else if (builder.Fields()[i].type == TFieldType::ftString)
            builder.AddString(TextOf(value));
        else
            builder.AddInteger(IntegerOf(value));
    }
}

} // namespace

Variant TKavMapSeatShow::GetSection(const std::string& Context, const std::string& ProductCode,
                                    const std::string& SectionCode) {
    const std::string node = services_.sessions.Verify(Context).Value(context_names::NodeCode);
    Connection& c = ThreadConnection(services_.database);
    const auto sections = c.Select(
        "select SECTIONCODE, CNAME, DESCRIPTION, BACKPIC, EXTRASTRING, CELLROWS, CELLCOLUMNS, STYLE, "
        "ARENAXY from KAV_SECTION_SHOW where NODECODE = ?1 and PRODUCTCODE = ?2 and SECTIONCODE = ?3",
        {node, ProductCode, SectionCode});
    if (sections.empty()) throw pelio::EosRemoteException("演出 " + ProductCode + " 没有区域 " + SectionCode);
    const auto floors = c.Select("select SECTIONCODE, FLOORNO, NAME, EXTRASTRING from KAV_FLOOR_SHOW where "
                                 "NODECODE = ?1 and SECTIONCODE = ?2 order by FLOORNO",
                                 {node, SectionCode});
    const auto rows =
        c.Select("select FLOORNO, ROWNO, NAME, ROWKIND from KAV_ROW_SHOW where NODECODE = ?1 and "
                 "SECTIONCODE = ?2 order by FLOORNO, ROWNO",
                 {node, SectionCode});

    std::vector<TFieldDef> rowFields{Field("ROWNO", TFieldType::ftSmallint),
                                     Field("NAME", TFieldType::ftString, 16),
                                     Field("ROWKIND", TFieldType::ftString, 1)};
    std::vector<TFieldDef> floorFields{
        Field("SECTIONCODE", TFieldType::ftString, 8), Field("FLOORNO", TFieldType::ftSmallint),
        Field("NAME", TFieldType::ftString, 16), Field("EXTRASTRING", TFieldType::ftString, 255),
        Nested("qryRow", rowFields)};
    std::vector<TFieldDef> sectionFields{
        Field("SECTIONCODE", TFieldType::ftString, 8),   Field("CNAME", TFieldType::ftString, 20),
        Field("DESCRIPTION", TFieldType::ftString, 64),  Field("BACKPIC", TFieldType::ftString, 20),
        Field("EXTRASTRING", TFieldType::ftString, 259), Field("CELLROWS", TFieldType::ftSmallint),
        Field("CELLCOLUMNS", TFieldType::ftSmallint),    Field("STYLE", TFieldType::ftString, 1),
        Field("ARENAXY", TFieldType::ftString, 64),      Nested("qryFloor", floorFields)};
    sectionFields.front().key = true;

    TDataPacketBuilder rowPacket(rowFields), floorPacket(floorFields), sectionPacket(sectionFields);
    std::size_t nextRow = 0;
    for (const auto& floor : floors) {
        rowPacket.ClearRows();
        const std::int64_t floorNo = IntegerOf(floor[1]);
        for (; nextRow < rows.size() && IntegerOf(rows[nextRow][0]) <= floorNo; ++nextRow) {
            if (IntegerOf(rows[nextRow][0]) != floorNo) continue; // a row of a floor the section lacks
            rowPacket.BeginRow();
            AddValues(rowPacket, {rows[nextRow].begin() + 1, rows[nextRow].end()});
        }
        floorPacket.BeginRow();
        AddValues(floorPacket, floor);
        floorPacket.AddNested(rowPacket);
    }
    sectionPacket.BeginRow();
    AddValues(sectionPacket, sections.front());
    sectionPacket.AddNested(floorPacket);
    return PacketResult(sectionPacket.Packet(), services_.maxMessageBytes);
}

Variant TKavMapSeatShow::GetPrice(const std::string& Context, const std::string& ProductCode) {
    const std::string node = services_.sessions.Verify(Context).Value(context_names::NodeCode);
    return PacketResult(
        ThreadConnection(services_.database)
            .GetData(SqlFormat("select PRICELEVEL, PRICE, 0 as TOTALSEATS, PRICEMARK, ISVISIBLE "
                               "from KAV_PRICE_SHOW where NODECODE = '%s' and PRODUCTCODE = '%s' "
                               "order by PRICELEVEL",
                               {node, ProductCode})),
        services_.maxMessageBytes);
}

Variant TKavMapSeatShow::GetSeat(const std::string& Context, const std::string& ProductCode,
                                 const std::string& MapCode, const std::string& SectionCode) {
    const std::string node = services_.sessions.Verify(Context).Value(context_names::NodeCode);
    return PacketResult(
        ReadSeatLayout(ThreadConnection(services_.database), {node, ProductCode, MapCode, SectionCode}),
        services_.maxMessageBytes);
}

Variant TKavMapSeatShow::SetSeat(const std::string& Context, const std::string& ProductCode,
                                 const std::string& MapCode, const std::string& SectionCode,
                                 const Variant& SeatDelta) {
    const TSeatLayoutScope scope{services_.sessions.Verify(Context).Value(context_names::NodeCode),
                                 ProductCode, MapCode, SectionCode};
    Connection& connection = ThreadConnection(services_.database);
    return PacketResult(InTransaction(connection,
                                      [&] {
                                          SaveSeatLayout(connection, scope, SeatDelta);
                                          return ReadSeatLayout(connection, scope);
                                      }),
                        services_.maxMessageBytes);
}

std::string SeatRowsSql(const std::string& nodeCode, const std::string& where, const std::string& orderBy) {
    return SqlFormat(
               "select NODECODE, SEATCODE, FLOORNO, ROWNO, SEATNO, ISADDITION, ORDERCODE, STATUS, KIND, "
               "PRICELEVEL, X, Y, 'N' as SELECTED, DESCRIPTION as Description from KAV_SEAT_SHOW "
               "where NODECODE = '%s' ",
               {nodeCode}) +
           where + " order by " + orderBy;
}

Variant TKavFreeSaleShow::GetSeat(const std::string& Context, const std::string& SectionCode,
                                  const std::string& ProductCode) {
    const std::string node = services_.sessions.Verify(Context).Value(context_names::NodeCode);
    return PacketResult(
        ThreadConnection(services_.database)
            .GetData(SeatRowsSql(
                node, SqlFormat("and SECTIONCODE = '%s' and PRODUCTCODE = '%s'", {SectionCode, ProductCode}),
                "Y, X")),
        services_.maxMessageBytes);
}

} // namespace kav::server
