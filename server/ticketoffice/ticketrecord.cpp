#include "server/ticketoffice/ticketrecord.h"

#include "platform/core/datetime.h"
#include "platform/dataset/datapacketbuilder.h"
#include "server/ticketoffice/sqlvalues.h"

#include <vector>

namespace kav::server {

namespace {

enum class Kind { Text, Money, Integer, Time };

struct Column {
    const char* name;
    Kind kind;
};

constexpr Column kColumns[] = {
    {"BARCODE", Kind::Text},          {"TICKETSERIAL", Kind::Text}, {"ORDERCODE", Kind::Text},
    {"ORDERNO", Kind::Text},          {"SEATCODE", Kind::Integer},  {"PRODUCTCODE", Kind::Text},
    {"SALECLASSCODE", Kind::Text},    {"TICKETTYPE", Kind::Text},   {"ISGIFT", Kind::Text},
    {"PARVALUE", Kind::Money},        {"PRINTUSER", Kind::Text},    {"PRINTTIME", Kind::Time},
    {"OrderHandlerTime", Kind::Time}, {"PRODUCTNAME", Kind::Text},  {"HAPPENTIME", Kind::Time},
    {"PLACENAME", Kind::Text},        {"SECTIONNAME", Kind::Text},  {"SECTIONENAME", Kind::Text},
    {"SECTIONDES", Kind::Text},       {"SECTIONEDES", Kind::Text},  {"FLOORNAME", Kind::Text},
    {"FLOORENAME", Kind::Text},       {"ROWNAME", Kind::Text},      {"SEATNAME", Kind::Text},
    {"SEATNO", Kind::Integer},        {"SEATDESC", Kind::Text},     {"PRICELEVEL", Kind::Text},
    {"PRICEMARK", Kind::Text},        {"VIPMARK", Kind::Text},      {"GIFTMARK", Kind::Text},
    {"DISCOUNTMARK", Kind::Text},     {"TICKETMARK", Kind::Text},   {"MEMBERMARK", Kind::Text},
    {"CLIENTNAME", Kind::Text},       {"IDTYPENAME", Kind::Text},   {"IDNUM", Kind::Text},
    {"SALETEL", Kind::Text},
};

std::vector<TFieldDef> Fields() {
    std::vector<TFieldDef> fields;
    for (const Column& c : kColumns) {
        switch (c.kind) {
        case Kind::Text:
            fields.push_back(MakeFieldDef(c.name, TFieldType::ftString, 64));
            break;
        case Kind::Money:
            fields.push_back(MakeFieldDef(c.name, TFieldType::ftFloat));
            break;
        case Kind::Integer:
            fields.push_back(MakeFieldDef(c.name, TFieldType::ftInteger));
            break;
        case Kind::Time:
            fields.push_back(MakeFieldDef(c.name, TFieldType::ftDateTime));
            break;
        }
    }
    return fields;
}

void Add(TDataPacketBuilder& row, Kind kind, const SqlValue& value) {
    if (std::holds_alternative<std::monostate>(value)) return row.AddNull();
    switch (kind) {
    case Kind::Text:
        return row.AddString(TextOf(value));
    case Kind::Money:
        return row.AddFloat(MoneyOf(CentsOf(value)));
    case Kind::Integer:
        return row.AddInteger(IntegerOf(value));
    case Kind::Time:
        return row.AddDateTime(ParseDateTimeIso(TextOf(value)));
    }
}

const SqlValue kEmpty = std::string();

} // namespace

std::string TicketRecordPacket(Connection& c, const std::string& node, const std::string& orderCode,
                               std::optional<std::int64_t> seatCode) {
    TDataPacketBuilder packet(Fields());
    if (!seatCode) return packet.Packet();
    const auto tickets =
        c.Select("select t.BARCODE, t.TICKETSERIAL, t.ORDERCODE, t.PRODUCTCODE, t.SALECLASSCODE, "
                 "t.TICKETTYPE, t.ISGIFT, "
                 "t.PARVALUE, t.PRINTUSER, t.PRINTTIME, t.ORDERHANDLERTIME, s.SECTIONCODE, s.FLOORNO, "
                 "s.ROWNO, s.SEATNO, "
                 "s.DESCRIPTION, s.KIND, s.PRICELEVEL, o.MEMBERID from KAV_TICKET_SHOW t "
                 "inner join KAV_SEAT_SHOW s on s.NODECODE = t.NODECODE and s.SEATCODE = t.SEATCODE "
                 "inner join KAV_ORDER_SHOW o on o.ORDERCODE = t.ORDERCODE "
                 "where t.NODECODE = ?1 and t.ORDERCODE = ?2 and t.SEATCODE = ?3",
                 {node, orderCode, *seatCode});
    for (const auto& t : tickets) {
        const SqlValue &product = t[3], &level = t[17];
        const auto where = c.Select(
            "select p.CNAME, p.HAPPENTIME, pl.CNAME, e.CNAME, coalesce(e.DESCRIPTION, ''), (select f.NAME "
            "from "
            "KAV_FLOOR_SHOW f where f.SECTIONCODE = e.SECTIONCODE and f.FLOORNO = ?4), (select r.NAME from "
            "KAV_ROW_SHOW r where r.SECTIONCODE = e.SECTIONCODE and r.FLOORNO = ?4 and r.ROWNO = ?5) from "
            "KAV_SECTION_SHOW e left join KAV_PRODUCT p on p.NODECODE = ?1 and p.PRODUCTCODE = ?2 left join "
            "KAV_PLACE pl on pl.NODECODE = p.NODECODE and pl.PLACECODE = p.PLACECODE where e.SECTIONCODE = "
            "?3",
            {node, product, t[11], t[12], t[13]});
        // The person registered for the seat, else for the order, else the order's customer.
        const auto marks = c.Select(
            "select (select PRICEMARK from KAV_PRICE_SHOW where NODECODE = ?1 and PRODUCTCODE = ?2 and "
            "PRICELEVEL = ?3), (select DISCOUNT from KAV_ORDER_DISCOUNT_SHOW where ORDERCODE = ?4 and "
            "PRICELEVEL = ?3), coalesce(ci.NAME, c.CNAME), coalesce(ci.IDNUM, c.IDENTCODE), "
            "(select IDENTTYPENAME from KAV_MEMBER_IDENTTYPE where NODECODE = ?1 and IDENTTYPEID = "
            "coalesce(ci.IDENTTYPEID, c.IDENTTYPEID)) from KAV_ORDER_CLIENT_SHOW c left join KAV_CLIENTINFO "
            "ci on "
            "ci.ORDERCODE = c.ORDERCODE and (ci.SEATCODE = ?5 or (ci.SEATCODE is null and ci.PKID = 1)) "
            "where "
            "c.ORDERCODE = ?4 order by case when ci.SEATCODE is null then 1 else 0 end",
            {node, product, level, orderCode, *seatCode});
        const std::vector<SqlValue> noMarks(5), nowhere(7);
        const std::vector<SqlValue>& m = marks.empty() ? noMarks : marks.front();
        const std::vector<SqlValue>& w = where.empty() ? nowhere : where.front();
        const auto orEmpty = [](const SqlValue& v) -> const SqlValue& {
            return std::holds_alternative<std::monostate>(v) ? kEmpty : v;
        };
        const bool gift = TextOf(t[6]) == "Y";
        const bool member = !std::holds_alternative<std::monostate>(t[18]) && IntegerOf(t[18]) >= 0;
        const bool discounted = !std::holds_alternative<std::monostate>(m[1]) && IntegerOf(m[1]) < 100;
        const std::vector<SqlValue> values{t[0],
                                           t[1],
                                           t[2],
                                           t[2],
                                           *seatCode,
                                           t[3],
                                           t[4],
                                           t[5],
                                           t[6],
                                           t[7],
                                           t[8],
                                           t[9],
                                           t[10],
                                           w[0],
                                           w[1],
                                           w[2],
                                           w[3],
                                           kEmpty,
                                           orEmpty(w[4]),
                                           kEmpty,
                                           orEmpty(w[5]),
                                           kEmpty,
                                           orEmpty(w[6]),
                                           TextOf(t[14]),
                                           t[14],
                                           orEmpty(t[15]),
                                           level,
                                           orEmpty(m[0]),
                                           std::string(TextOf(t[16]) == "W" ? "VIP" : ""),
                                           std::string(gift ? "赠" : ""),
                                           std::string(!gift && discounted ? "折" : ""),
                                           orEmpty(t[5]),
                                           std::string(member ? "会员" : ""),
                                           orEmpty(m[2]),
                                           orEmpty(m[4]),
                                           orEmpty(m[3]),
                                           kEmpty};
        packet.BeginRow();
        for (std::size_t i = 0; i < values.size(); ++i)
            Add(packet, kColumns[i].kind, values[i]);
    }
    return packet.Packet();
}

} // namespace kav::server
