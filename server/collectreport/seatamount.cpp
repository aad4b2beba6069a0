#include "server/collectreport/seatamount.h"

#include "platform/dataset/datapacketbuilder.h"
#include "server/db/placeholders.h"
#include "server/ticketoffice/sqlvalues.h"
#include "services/collectreport/tpcollectreport_int.h"

#include <algorithm>
#include <array>
#include <map>

namespace kav::server {

namespace {

constexpr std::size_t kLevels = kReportPriceLevels.size();

struct Counts {
    std::array<std::int64_t, kLevels> total{};
    std::array<std::int64_t, kLevels> free{};
};

std::vector<SqlValue> Parameters(const std::string& node, const std::vector<std::string>& lists) {
    std::vector<SqlValue> params{node};
    params.insert(params.end(), lists.begin(), lists.end());
    return params;
}

} // namespace

std::string SeatAmountPacket(Connection& connection, const SeatAmountQuery& query) {
    std::vector<std::string> codes = query.productCodes;
    codes.insert(codes.end(), query.mapCodes.begin(), query.mapCodes.end());
    std::string seatSql = "select MAPCODE, PRODUCTCODE, PRICELEVEL, count(*), "
                          "sum(case when STATUS = 'F' then 1 else 0 end) from KAV_SEAT_SHOW "
                          "where NODECODE = ?1 and PRODUCTCODE in (" +
                          Placeholders(2, query.productCodes.size()) + ")";
    if (!query.mapCodes.empty())
        seatSql +=
            " and MAPCODE in (" + Placeholders(2 + query.productCodes.size(), query.mapCodes.size()) + ")";
    if (!query.countAddedSeats) seatSql += " and ISADDITION = 'N'";
    seatSql += " group by MAPCODE, PRODUCTCODE, PRICELEVEL";

    std::map<std::pair<std::string, std::string>, Counts> rows; // (map, product)
    for (const auto& row : connection.Select(seatSql, Parameters(query.node, codes))) {
        const std::size_t level = kReportPriceLevels.find(TextOf(row[2]));
        if (level == std::string_view::npos || TextOf(row[2]).size() != 1) continue; // map-only levels
        Counts& counts = rows[{TextOf(row[0]), TextOf(row[1])}];
        counts.total[level] = IntegerOf(row[3]);
        counts.free[level] = IntegerOf(row[4]);
    }

    if (query.soldBy) {
        // Seats not sold by then: the seats less what the ledger had sold of them (returns count back).
        std::map<std::pair<std::string, std::size_t>, std::int64_t> sold; // (product, level)
        const std::string ledgerSql =
            "select PRODUCTCODE, PRICELEVEL, sum(AMOUNT) from KAV_REPORT_SHOW where NODECODE = ?1 and "
            "PRODUCTCODE in (" +
            Placeholders(2, query.productCodes.size()) + ") and ACCOUNTTIME <= ?" +
            std::to_string(2 + query.productCodes.size()) + " group by PRODUCTCODE, PRICELEVEL";
        std::vector<SqlValue> params = Parameters(query.node, query.productCodes);
        params.emplace_back(*query.soldBy);
        for (const auto& row : connection.Select(ledgerSql, params)) {
            const std::size_t level = kReportPriceLevels.find(TextOf(row[1]));
            if (level != std::string_view::npos && TextOf(row[1]).size() == 1)
                sold[{TextOf(row[0]), level}] = IntegerOf(row[2]);
        }
        for (auto& [key, counts] : rows)
            for (std::size_t level = 0; level < kLevels; ++level) {
                const auto it = sold.find({key.second, level});
                const std::int64_t taken = it == sold.end() ? 0 : it->second;
                counts.free[level] =
                    std::clamp<std::int64_t>(counts.total[level] - taken, 0, counts.total[level]);
            }
    }

    std::vector<TFieldDef> fields{MakeFieldDef("MapCode", TFieldType::ftString, 8),
                                  MakeFieldDef("PRODUCTCODE", TFieldType::ftString, 8)};
    for (char level : kReportPriceLevels) {
        fields.push_back(MakeFieldDef(std::string(1, level) + "_TotalAmount", TFieldType::ftInteger));
        fields.push_back(MakeFieldDef(std::string(1, level) + "_HoldAmount", TFieldType::ftInteger));
    }
    TDataPacketBuilder packet(std::move(fields));
    for (const auto& [key, counts] : rows) {
        packet.BeginRow();
        packet.AddString(key.first);
        packet.AddString(key.second);
        for (std::size_t level = 0; level < kLevels; ++level) {
            packet.AddInteger(counts.total[level]);
            packet.AddInteger(counts.free[level]);
        }
    }
    return packet.Packet();
}

} // namespace kav::server
