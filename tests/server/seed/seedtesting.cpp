#include "seedtesting.h"

#include "server/seed/seed.h"
#include "testdatabase.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <regex>
#include <stdexcept>

namespace kav::server::test {

namespace {

// Columns read of each table; KAV_USER without its salted hash.
const std::vector<std::pair<std::string, std::string>> kTables = {
    {"KAV_GROUP", "*"},
    {"KAV_USER", "NODECODE, USERCODE, CNAME, GROUPCODE, ISVALID"},
    {"KAV_ORDERHANDLER_RIGHT", "*"},
    {"KAV_PLACE", "*"},
    {"KAV_PRODUCTCLASS", "*"},
    {"KAV_PRODUCT", "*"},
    {"KAV_PRICE_SHOW", "*"},
    {"KAV_SECTION_SHOW", "*"},
    {"KAV_FLOOR_SHOW", "*"},
    {"KAV_ROW_SHOW", "*"},
    {"KAV_SEAT_SHOW", "*"},
    {"KAV_SALECLASS", "*"},
    {"KAV_SALECLASSLEVEL", "*"},
    {"KAV_MEMBER_CLIENTTYPE", "*"},
    {"KAV_MEMBER_IDENTTYPE", "*"},
    {"KAV_ORDER_SHOW", "*"},
    {"KAV_ORDER_CLIENT_SHOW", "*"},
    {"KAV_ORDER_DISCOUNT_SHOW", "*"},
    {"KAV_SYSINFO_SHOW", "*"},
    {"KAV_PAYMODE", "*"},
    {"KAV_PAYMODE_DISPLAY", "*"},
    {"KAV_CREDIT_COMPONY", "*"},
    {"KAV_GROUPMAXSALEMONY", "*"},
    {"KAV_GROUPMAXSALEMONY_PRODUCTSET", "*"},
    {"KAV_SALE_SORT", "*"},
    {"KAV_REPORT_SHOW", "*"},
    {"KAV_TICKETFACE", "*"},
    {"KAV_TICKETFACE_ELEMENT", "*"},
    {"KAV_TICKETFACE_SECTION", "*"},
    {"KAV_TICKET_SHOW", "*"},
    {"KAV_CLIENTINFO", "*"},
    {"KAV_ACCOUNT_SHOW", "*"},
    {"KAV_PAYMODEMONEY_SHOW", "*"},
};

std::string Shifted(const std::string& text, int shiftDays) {
    static const std::regex kDateTime(R"(\d{4}-\d{2}-\d{2}[ T]\d{2}:\d{2}:\d{2})");
    if (shiftDays == 0 || !std::regex_match(text, kDateTime)) return text;
    return FormatDateTimeIso(ParseDateTimeIso(text) - shiftDays);
}

std::string AsText(const SqlValue& value, int shiftDays) {
    if (std::holds_alternative<std::monostate>(value)) return "<null>";
    if (const auto* i = std::get_if<std::int64_t>(&value)) return std::to_string(*i);
    if (const auto* d = std::get_if<double>(&value)) {
        char text[48];
        std::snprintf(text, sizeof text, "%.2f", *d);
        return text;
    }
    return Shifted(std::get<std::string>(value), shiftDays);
}

} // namespace

Database& DemoDatabase(Backend backend) {
    static std::map<Backend, std::unique_ptr<TestDatabase>> databases;
    auto& db = databases[backend];
    if (!db) {
        db = std::make_unique<TestDatabase>(backend);
        SeedDatabase(db->Db(), "demo");
    }
    return db->Db();
}

std::vector<std::string> DumpTables(Database& db, int shiftDays) {
    auto connection = db.Connect();
    std::vector<std::string> dump;
    for (const auto& [table, columns] : kTables) {
        for (const auto& row : connection->Select("select " + columns + " from " + table)) {
            std::string line = table;
            for (const auto& value : row)
                line += "|" + AsText(value, shiftDays);
            dump.push_back(std::move(line));
        }
    }
    std::sort(dump.begin(), dump.end());
    return dump;
}

std::int64_t CountOf(Connection& connection, const std::string& sql) {
    const auto rows = connection.Select(sql);
    if (rows.size() != 1 || rows[0].size() != 1) throw std::runtime_error("not a count: " + sql);
    if (const auto* i = std::get_if<std::int64_t>(&rows[0][0])) return *i;
    if (const auto* text = std::get_if<std::string>(&rows[0][0])) return std::stoll(*text);
    throw std::runtime_error("not a count: " + sql);
}

} // namespace kav::server::test
