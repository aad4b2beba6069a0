#include "server/shiftclosereport/shiftclose.h"

#include "platform/dataset/datapacketbuilder.h"
#include "server/ticketoffice/sqlvalues.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

namespace kav::server {

namespace {

constexpr const char* kCash = "X";

struct Line {
    int section;
    std::string item;
    std::optional<std::int64_t> quantity;
    std::optional<std::int64_t> cents;
};

const char* SectionName(int section) {
    static const char* const names[] = {"", "收款", "退款", "出票", "重打", "退票", "取消订单", "应交现金"};
    return names[section];
}

struct PayModeTotal {
    std::int64_t count = 0, cents = 0;
};

// One payment's cents over the pay modes of its order's split, in proportion to the split; the last pay
// mode takes what rounding leaves, so the parts add up to the payment exactly.
std::vector<std::pair<std::string, std::int64_t>>
Apportion(std::int64_t cents, const std::vector<std::pair<std::string, std::int64_t>>& split) {
    std::int64_t splitTotal = 0;
    for (const auto& part : split)
        splitTotal += part.second;
    std::vector<std::pair<std::string, std::int64_t>> parts;
    std::int64_t given = 0;
    for (std::size_t i = 0; i < split.size(); ++i) {
        const std::int64_t share =
            i + 1 == split.size()
                ? cents - given
                : static_cast<std::int64_t>(static_cast<long double>(cents) * split[i].second / splitTotal);
        given += share;
        parts.emplace_back(split[i].first, share);
    }
    return parts;
}

class TShiftClose {
public:
    TShiftClose(Connection& connection, const ShiftCloseQuery& query) : c_(connection), q_(query) {}

    std::vector<Line> Lines() {
        Payments();
        Prints();
        Returns();
        Cancellations();
        lines_.push_back({7, "现金收款减现金退款", std::nullopt, cash_});
        return std::move(lines_);
    }

private:
    std::vector<SqlValue> Params() const { return {q_.node, q_.seller, q_.from, q_.to}; }

    void Payments() {
        std::map<std::string, std::string> names;
        std::vector<std::string> order; // pay modes in display order
        for (const auto& row :
             c_.Select("select PAYMODECODE, CNAME from KAV_PAYMODE order by DISPLAY, PAYMODECODE")) {
            names[TextOf(row[0])] = TextOf(row[1]);
            order.push_back(TextOf(row[0]));
        }
        const std::string seller =
            "NODECODE = ?1 and ACCOUNTUSER = ?2 and ACCOUNTTIME >= ?3 and ACCOUNTTIME <= ?4";
        std::map<std::string, std::vector<std::pair<std::string, std::int64_t>>> splits;
        for (const auto& row :
             c_.Select("select ORDERCODE, PAYMODECODE, AMOUNT from KAV_PAYMODEMONEY_SHOW where "
                       "NODECODE = ?1 and ORDERCODE in (select ORDERCODE from KAV_ACCOUNT_SHOW where " +
                           seller + ") order by ORDERCODE, PAYMODECODE",
                       Params()))
            if (CentsOf(row[2]) > 0) splits[TextOf(row[0])].emplace_back(TextOf(row[1]), CentsOf(row[2]));

        std::map<std::string, PayModeTotal> taken, givenBack;
        std::int64_t payments = 0, refunds = 0;
        for (const auto& row :
             c_.Select("select ORDERCODE, PAYMODECODE, RELACCEPTABLES from KAV_ACCOUNT_SHOW where " + seller +
                           " order by ACCOUNTTIME, ORDERCODE, PKID",
                       Params())) {
            const std::int64_t cents = CentsOf(row[2]);
            auto& totals = cents < 0 ? givenBack : taken;
            ++(cents < 0 ? refunds : payments);
            const auto split = splits.find(TextOf(row[0]));
            const auto parts =
                split == splits.end()
                    ? std::vector<std::pair<std::string, std::int64_t>>{{TextOf(row[1]), cents}}
                    : Apportion(cents, split->second);
            for (const auto& [payMode, share] : parts) {
                totals[payMode].count += 1;
                totals[payMode].cents += share;
                if (payMode == kCash) cash_ += share;
            }
        }
        PayModeLines(1, taken, payments, names, order);
        PayModeLines(2, givenBack, refunds, names, order);
    }

    // One line per pay mode with its payments and money, then the total: the payments (a split one counts
    // once) and all their money.
    void PayModeLines(int section, std::map<std::string, PayModeTotal>& totals, std::int64_t count,
                      std::map<std::string, std::string>& names, std::vector<std::string> order) {
        for (const auto& [code, total] : totals)
            if (std::find(order.begin(), order.end(), code) == order.end()) order.push_back(code);
        std::int64_t cents = 0;
        for (const std::string& code : order) {
            const auto total = totals.find(code);
            if (total == totals.end()) continue;
            const std::string& name = names[code];
            lines_.push_back({section, (name.empty() ? code : name) + " (" + code + ")", total->second.count,
                              total->second.cents});
            cents += total->second.cents;
        }
        lines_.push_back({section, "合计", count, cents});
    }

    void Prints() {
        std::map<std::string, std::pair<std::string, std::int64_t>> printed; // product -> (name, count)
        std::vector<Line> reprints;
        for (const auto& row : c_.Select(
                 "select l.PRINTKIND, l.PRODUCTCODE, p.CNAME, l.ORDERCODE, l.SEATCODE, l.BARCODE, "
                 "l.PRINTTIME from "
                 "KAV_PRINT_LOG l left join KAV_PRODUCT p on p.NODECODE = l.NODECODE and p.PRODUCTCODE = "
                 "l.PRODUCTCODE where l.NODECODE = ?1 and l.PRINTUSER = ?2 and l.PRINTTIME >= ?3 and "
                 "l.PRINTTIME <= "
                 "?4 order by l.PRINTTIME, l.PRINTID",
                 Params())) {
            const std::string product = TextOf(row[1]),
                              name = TextOf(row[2]).empty() ? product : TextOf(row[2]);
            if (TextOf(row[0]) == "R")
                reprints.push_back({4,
                                    "订单 " + TextOf(row[3]) + " 座位 " + TextOf(row[4]) + " 条码 " +
                                        TextOf(row[5]) + " " + TextOf(row[6]),
                                    1, std::nullopt});
            else
                printed.emplace(product, std::make_pair(name, 0)).first->second.second += 1;
        }
        std::int64_t count = 0;
        for (const auto& [product, entry] : printed) {
            lines_.push_back({3, entry.first, entry.second, std::nullopt});
            count += entry.second;
        }
        lines_.push_back({3, "合计", count, std::nullopt});
        const std::int64_t reprinted = static_cast<std::int64_t>(reprints.size());
        lines_.insert(lines_.end(), reprints.begin(), reprints.end());
        lines_.push_back({4, "合计", reprinted, std::nullopt});
    }

    void Returns() {
        std::int64_t tickets = 0, cents = 0;
        for (const auto& row : c_.Select("select r.PRODUCTCODE, min(p.CNAME), sum(r.AMOUNT), sum(r.PRICE) "
                                         "from KAV_REPORT_SHOW r left join "
                                         "KAV_PRODUCT p on p.NODECODE = r.NODECODE and p.PRODUCTCODE = "
                                         "r.PRODUCTCODE where r.NODECODE = ?1 "
                                         "and r.ACCOUNTUSER = ?2 and r.ACCOUNTTIME >= ?3 and r.ACCOUNTTIME "
                                         "<= ?4 and r.SALESORT = '02' "
                                         "group by r.PRODUCTCODE order by r.PRODUCTCODE",
                                         Params())) {
            const std::string name = TextOf(row[1]).empty() ? TextOf(row[0]) : TextOf(row[1]);
            const std::int64_t count = -IntegerOf(row[2]), money = CentsOf(row[3]);
            lines_.push_back({5, name, count, money});
            tickets += count;
            cents += money;
        }
        lines_.push_back({5, "合计", tickets, cents});
    }

    void Cancellations() {
        const auto row =
            c_.Select("select count(*), sum(SEATCOUNT) from KAV_ORDER_SHOW where NODECODE = ?1 and "
                      "ORDERHANDLERUSER = ?2 and ORDERHANDLERTIME >= ?3 and ORDERHANDLERTIME <= ?4 and "
                      "ORDERSTATUS in ('C', 'U')",
                      Params())
                .at(0);
        lines_.push_back({6, "取消的订单", IntegerOf(row[0]), std::nullopt});
        lines_.push_back({6, "释放的座位", IntegerOf(row[1]), std::nullopt});
    }

    Connection& c_;
    const ShiftCloseQuery& q_;
    std::vector<Line> lines_;
    std::int64_t cash_ = 0;
};

} // namespace

std::string ShiftClosePacket(Connection& connection, const ShiftCloseQuery& query) {
    std::vector<TFieldDef> fields{MakeFieldDef("SECTIONNO", TFieldType::ftInteger),
                                  MakeFieldDef("SECTION", TFieldType::ftString, 20),
                                  MakeFieldDef("ITEM", TFieldType::ftString, 128),
                                  MakeFieldDef("QUANTITY", TFieldType::ftInteger),
                                  MakeFieldDef("MONEY", TFieldType::ftCurrency),
                                  MakeFieldDef("SELLERNAME", TFieldType::ftString, 30)};
    TDataPacketBuilder packet(std::move(fields));
    for (const Line& line : TShiftClose(connection, query).Lines()) {
        packet.BeginRow();
        packet.AddInteger(line.section);
        packet.AddString(SectionName(line.section));
        packet.AddString(line.item);
        if (line.quantity)
            packet.AddInteger(*line.quantity);
        else
            packet.AddNull();
        if (line.cents)
            packet.AddFloat(MoneyOf(*line.cents));
        else
            packet.AddNull();
        packet.AddString(query.sellerName);
    }
    return packet.Packet();
}

} // namespace kav::server
