#include "server/layout/sectionlayout.h"

#include "host/sqltext.h"
#include "rpc/exceptions.h"
#include "server/layout/deltaapplier.h"
#include "server/ticketoffice/sqlvalues.h"

#include <charconv>
#include <map>

namespace kav::server {

namespace {

constexpr std::int64_t kMaxRows = 100;
constexpr std::int64_t kMaxColumns = 150;

enum Column { Product, Name, Description, Picture, Extra, Rows, Columns, Style, Arena };

TDeltaTable SectionTable(const std::string& node, const std::string& map) {
    return {"KAV_SECTION_SHOW",
            {"SECTIONCODE", false, 8},
            {{"PRODUCTCODE", false, 8},
             {"CNAME", false, 20},
             {"DESCRIPTION", false, 64},
             {"BACKPIC", false, 20},
             {"EXTRASTRING", false, 259},
             {"CELLROWS", true, 0},
             {"CELLCOLUMNS", true, 0},
             {"STYLE", false, 1},
             {"ARENAXY", false, 64}},
            {{"NODECODE", node}, {"MAPCODE", map}}};
}

[[noreturn]] void Refuse(const std::string& message) {
    throw pelio::EosRemoteException(message);
}

bool IsStage(const std::string& text) {
    int parts = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = text.find('|', start);
        const std::size_t end = bar == std::string::npos ? text.size() : bar;
        unsigned value = 0;
        const auto [stop, error] = std::from_chars(text.data() + start, text.data() + end, value);
        if (end == start || error != std::errc() || stop != text.data() + end) return false;
        ++parts;
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    return parts == 4;
}

// Checks a new or changed section's values; blank ones that have defaults take them.
void Check(const std::string& code, std::vector<SqlValue>& v) {
    const std::string name = "区域 " + code;
    if (TextOf(v[Name]).empty()) Refuse(name + " 没有名称");
    if (std::holds_alternative<std::monostate>(v[Rows])) v[Rows] = kMaxRows;
    if (std::holds_alternative<std::monostate>(v[Columns])) v[Columns] = kMaxColumns;
    const std::int64_t rows = IntegerOf(v[Rows]), cols = IntegerOf(v[Columns]);
    if (rows < 1 || rows > kMaxRows || cols < 1 || cols > kMaxColumns)
        Refuse(name + " 的行列数 " + std::to_string(rows) + "×" + std::to_string(cols) +
               " 超出 100 行 150 列");
    if (TextOf(v[Style]).empty()) v[Style] = std::string("2");
    const std::string style = TextOf(v[Style]);
    if (style != "0" && style != "1" && style != "2") Refuse(name + " 的舞台位置“" + style + "”无效");
    const std::string arena = TextOf(v[Arena]);
    if (!arena.empty() && !IsStage(arena)) Refuse(name + " 的自定义舞台“" + arena + "”无效");
}

} // namespace

std::string ReadSections(Connection& connection, const std::string& node, const std::string& map) {
    return connection.GetData(
        SqlFormat("select SECTIONCODE, PRODUCTCODE, CNAME, DESCRIPTION, BACKPIC, EXTRASTRING, "
                  "CELLROWS, CELLCOLUMNS, STYLE, ARENAXY from KAV_SECTION_SHOW where NODECODE "
                  "= '%s' and MAPCODE = '%s' order by SECTIONCODE",
                  {node, map}));
}

std::int32_t SaveSections(Connection& connection, const std::string& node, const std::string& map,
                          const pelio::Variant& delta) {
    const TDeltaTable table = SectionTable(node, map);
    std::vector<TDeltaRow> rows = ReadDelta(delta, table, "SectionDelta");
    std::map<std::string, std::string> productOf; // the map's sections and their performances
    for (const auto& r :
         connection.Select("select SECTIONCODE, PRODUCTCODE from KAV_SECTION_SHOW where NODECODE = ?1 "
                           "and MAPCODE = ?2",
                           {node, map}))
        productOf[TextOf(r[0])] = TextOf(r[1]);
    const auto seatsOutside = [&](const std::string& code, std::int64_t rows, std::int64_t cols) {
        return IntegerOf(
            connection
                .Select("select count(*) from KAV_SEAT_SHOW where NODECODE = ?1 and SECTIONCODE = ?2 "
                        "and (Y > ?3 or X > ?4)",
                        {node, code, rows, cols})
                .front()
                .front());
    };

    std::vector<SqlValue> deleted;
    std::vector<std::pair<std::string, std::vector<SqlValue>*>> changed;
    std::vector<std::pair<SqlValue, std::vector<SqlValue>>> inserted;
    for (TDeltaRow& row : rows) {
        const std::string code = TextOf(row.Key);
        if (code.empty()) Refuse("数据包 SectionDelta 的区域缺少区域代码");
        const auto known = productOf.find(code);
        if (row.Kind == TDeltaKind::Delete) {
            if (known == productOf.end()) continue; // already gone: a save retried
            if (seatsOutside(code, 0, 0) > 0) Refuse("区域 " + code + " 还有座位，不能删除");
            deleted.push_back(code);
            continue;
        }
        Check(code, row.Values);
        const std::string product = TextOf(row.Values[Product]);
        if (known != productOf.end()) {
            if (product != known->second)
                Refuse("区域 " + code + " 属于演出 " + known->second + "，不能改到演出 " + product);
            if (seatsOutside(code, IntegerOf(row.Values[Rows]), IntegerOf(row.Values[Columns])) > 0)
                Refuse("区域 " + code + " 有座位在新的行列数之外");
            changed.emplace_back(code, &row.Values);
            continue;
        }
        if (row.Kind == TDeltaKind::Change)
            Refuse("区域 " + code + " 不在座位图 " + map + " 中，请刷新后再保存");
        if (!connection.Select("select 1 from KAV_SECTION_SHOW where SECTIONCODE = ?1", {code}).empty())
            Refuse("区域代码 " + code + " 已被使用");
        if (connection
                .Select("select 1 from KAV_PRODUCT where NODECODE = ?1 and PRODUCTCODE = ?2 and MAPCODE = ?3",
                        {node, product, map})
                .empty())
            Refuse("演出 " + product + " 不使用座位图 " + map);
        productOf[code] = product;
        inserted.emplace_back(code, std::move(row.Values));
    }

    TDeltaApplier applier(connection, table);
    for (const SqlValue& code : deleted) {
        connection.Execute("delete from KAV_ROW_SHOW where NODECODE = ?1 and SECTIONCODE = ?2", {node, code});
        connection.Execute("delete from KAV_FLOOR_SHOW where NODECODE = ?1 and SECTIONCODE = ?2",
                           {node, code});
    }
    applier.Delete(deleted);
    for (const auto& [code, values] : changed)
        applier.Change(code, *values);
    applier.Insert(inserted);
    return static_cast<std::int32_t>(deleted.size() + changed.size() + inserted.size());
}

} // namespace kav::server
