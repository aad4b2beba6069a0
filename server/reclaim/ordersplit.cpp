#include "server/reclaim/ordersplit.h"

#include "host/sqltext.h"
#include "platform/core/datetime.h"
#include "platform/core/textcodec.h"
#include "platform/dataset/clientdataset.h"
#include "rpc/exceptions.h"
#include "server/db/transaction.h"
#include "server/ticketoffice/counter.h"
#include "server/ticketoffice/orderstate.h"
#include "server/ticketoffice/sqlvalues.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>

namespace kav::server {

namespace {

using pelio::EosRemoteException;

constexpr std::size_t kMaxSeatCodeDigits = 9;

// A database row with its column names, read whole so that a copy carries every column.
using NamedRow = std::vector<std::pair<std::string, SqlValue>>;

SqlValue ValueOf(TField& field) {
    if (field.IsNull()) return {};
    switch (field.DataType()) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint:
        return field.AsLargeInt();
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
        return field.AsFloat();
    case TFieldType::ftDateTime:
    case TFieldType::ftTimeStamp:
        return FormatDateTimeIso(field.AsDateTime());
    case TFieldType::ftBoolean:
        return std::int64_t{field.AsBoolean() ? 1 : 0};
    default:
        return field.AsString();
    }
}

std::vector<NamedRow> ReadRows(Connection& c, const std::string& sql) {
    TClientDataSet rows;
    rows.SetData(c.GetData(sql));
    std::vector<NamedRow> result;
    for (rows.First(); !rows.Eof(); rows.Next()) {
        NamedRow& row = result.emplace_back();
        for (int i = 0; i < rows.FieldCount(); ++i)
            row.emplace_back(rows.Fields(i).FieldName(), ValueOf(rows.Fields(i)));
    }
    return result;
}

// Inserts the row with the named columns (matched ignoring case) given new values.
void InsertCopy(Connection& c, std::string_view table, const NamedRow& row,
                const std::map<std::string, SqlValue>& changes) {
    std::string columns, places;
    std::vector<SqlValue> values;
    for (const auto& [name, value] : row) {
        const auto changed = changes.find(AsciiUpper(name));
        values.push_back(changed == changes.end() ? value : changed->second);
        columns += (columns.empty() ? "" : ", ") + name;
        places += (places.empty() ? "?" : ", ?") + std::to_string(values.size());
    }
    c.Execute("insert into " + std::string(table) + " (" + columns + ") values (" + places + ")", values);
}

struct Line {
    NamedRow row;
    std::int64_t seats = 0;
    std::int64_t cents = 0; // TOTALPRICE
};

class OrderSplit final {
public:
    OrderSplit(Connection& connection, const Caller& caller, const SplitRequest& request)
        : c_(connection), caller_(caller), request_(request), now_(FormatDateTimeIso(Now())) {}

    std::string Run() {
        seats_ = ParseSeatCodeList(request_.seatCodeList);
        orderCode_ = OrderCodeOf(request_.orderData);
        CheckSeatRows();
        ClaimOrder();
        ReadMovedSeats();
        CheckSuites();
        ReadLines();
        CheckCountRows();
        return Write();
    }

private:
    [[noreturn]] static void Refuse(const std::string& message) { throw EosRemoteException(message); }

    std::string OrderCodeOf(RequestPacket& order) {
        if (order.RowCount() != 1)
            Refuse("数据包 OrderData 应为一个订单, 现有 " + std::to_string(order.RowCount()) + " 行");
        order.Select(0);
        const std::string node = order.Text("NODECODE");
        if (!node.empty() && node != caller_.node) Refuse("订单属于其他节点 " + node);
        const std::string code = order.Text("ORDERCODE");
        if (code.empty()) Refuse("数据包 OrderData 没有订单号 ORDERCODE");
        return code;
    }

    // The seat rows the client built must be the listed seats of this order.
    void CheckSeatRows() {
        RequestPacket& rows = request_.reclaimSeatData;
        std::set<std::int64_t> named;
        for (int row = 0; row < rows.RowCount(); ++row) {
            rows.Select(row);
            const std::string node = rows.Text("NODECODE"), order = rows.Text("ORDERCODE");
            if ((!node.empty() && node != caller_.node) || (!order.empty() && order != orderCode_))
                Refuse("拆分的座位数据不属于订单 " + orderCode_);
            const std::optional<double> seat = rows.Number("SEATCODE");
            if (seat) named.insert(std::llround(*seat));
        }
        if (named != std::set<std::int64_t>(seats_.begin(), seats_.end()))
            Refuse("拆分的座位数据与座位列表不符, 请刷新座位后重新选择");
    }

    // Locks the order for the rest of the transaction: a second split of it waits here, then finds
    // what the first one left.
    void ClaimOrder() {
        const auto rows =
            c_.Select("select ORDERSTATUS, SEATCOUNT, RECEIVABLES, ISSUITE, PRODUCTCODE, "
                      "SALECLASSCODE, ORDERPASSWORD from KAV_ORDER_SHOW where NODECODE = ?1 and "
                      "ORDERCODE = ?2",
                      {caller_.node, orderCode_});
        if (rows.empty()) Refuse("订单 " + orderCode_ + " 不存在");
        if (TextOf(rows[0][0]) != "B" ||
            c_.Execute(
                "update KAV_ORDER_SHOW set ORDERSTATUS = ORDERSTATUS where NODECODE = ?1 and ORDERCODE = ?2 "
                "and ORDERSTATUS = 'B'",
                {caller_.node, orderCode_}) != 1)
            Refuse("订单 " + orderCode_ + " 不是预订状态, 不能拆分");
        if (OrderHasPayment(c_, caller_.node, orderCode_)) Refuse("订单 " + orderCode_ + " 已收款, 不能拆分");
        // Read again under the lock: a split that finished meanwhile changed them.
        const auto locked =
            c_.Select("select SEATCOUNT, RECEIVABLES, ISSUITE, PRODUCTCODE, SALECLASSCODE, "
                      "ORDERPASSWORD from KAV_ORDER_SHOW where NODECODE = ?1 and ORDERCODE = ?2",
                      {caller_.node, orderCode_});
        seatCount_ = IntegerOf(locked[0][0]);
        receivables_ = CentsOf(locked[0][1]);
        suite_ = TextOf(locked[0][2]) == "Y";
        product_ = TextOf(locked[0][3]);
        saleClass_ = TextOf(locked[0][4]);
        hasPassword_ = !std::holds_alternative<std::monostate>(locked[0][5]);
    }

    void ReadMovedSeats() {
        std::map<std::int64_t, std::pair<std::string, std::string>> held; // seat -> status, level
        for (const auto& row : c_.Select("select SEATCODE, STATUS, PRICELEVEL from KAV_SEAT_SHOW where "
                                         "NODECODE = ?1 and ORDERCODE = ?2",
                                         {caller_.node, orderCode_}))
            held[IntegerOf(row[0])] = {TextOf(row[1]), TextOf(row[2])};
        for (const std::int64_t seat : seats_) {
            const auto found = held.find(seat);
            if (found == held.end()) Refuse("座位 " + std::to_string(seat) + " 已不属于订单 " + orderCode_);
            if (found->second.first != "B")
                Refuse("座位 " + std::to_string(seat) + " 不是预订状态 (" + found->second.first +
                       "), 不能拆分");
            ++moved_[found->second.second];
        }
        if (seats_.size() >= held.size()) Refuse("不能将该订单所有座位拆分成一个新订单，请重新选择！");
    }

    // A suite order splits in whole suites of each price level.
    void CheckSuites() {
        if (!suite_) return;
        const auto terms =
            c_.Select("select s.TICKETNUM, l.GIFTNUM from KAV_SALECLASS s left join "
                      "KAV_SALECLASSLEVEL l on l.NODECODE = s.NODECODE and l.PRODUCTCODE = "
                      "s.PRODUCTCODE and l.SALECLASSCODE = s.SALECLASSCODE where s.NODECODE = ?1 and "
                      "s.PRODUCTCODE = ?2 and s.SALECLASSCODE = ?3 order by l.PRICELEVEL",
                      {caller_.node, product_, saleClass_});
        const std::int64_t perSuite = terms.empty() ? 0 : IntegerOf(terms[0][0]) + IntegerOf(terms[0][1]);
        if (perSuite <= 0) Refuse("订单 " + orderCode_ + " 的套票没有每套票数, 不能拆分");
        for (const auto& [level, count] : moved_)
            if (count % perSuite != 0)
                Refuse("票价等级 " + level + " 选了 " + std::to_string(count) + " 个座位, 不是整套票 (每套 " +
                       std::to_string(perSuite) + " 张)");
    }

    void ReadLines() {
        for (const auto& [level, count] : moved_) {
            auto rows =
                ReadRows(c_, SqlFormat("select * from KAV_ORDER_DISCOUNT_SHOW where NODECODE = '%s' and "
                                       "ORDERCODE = '%s' and PRICELEVEL = '%s'",
                                       {caller_.node, orderCode_, level}));
            Line line;
            if (!rows.empty()) {
                line.row = std::move(rows.front());
                line.seats = IntegerOf(Column(line.row, "SEATAMOUNT"));
                line.cents = CentsOf(Column(line.row, "TOTALPRICE"));
            }
            if (line.seats < count)
                Refuse("订单 " + orderCode_ + " 的票价等级 " + level + " 只有 " + std::to_string(line.seats) +
                       " 张票, 不能拆分 " + std::to_string(count) + " 个座位");
            lines_[level] = std::move(line);
        }
    }

    static const SqlValue& Column(const NamedRow& row, std::string_view name) {
        for (const auto& [column, value] : row)
            if (AsciiUpper(column) == name) return value;
        throw EDatabase("column " + std::string(name) + " is missing");
    }

    // The counts the client worked out must be those of the seats it named.
    void CheckCountRows() {
        RequestPacket& rows = request_.reclaimCountAndMoney;
        std::map<std::string, std::int64_t> counted;
        for (int row = 0; row < rows.RowCount(); ++row) {
            rows.Select(row);
            counted[rows.Text("PriceLevel")] += std::llround(rows.Number("ReclaimCount").value_or(0));
        }
        if (counted != moved_) Refuse("拆分的票价等级和张数与所选座位不符, 请刷新座位后重新选择");
    }

    // The share of a line's total that its moved seats take: total x moved / seats, to the cent.
    static std::int64_t MovedCents(const Line& line, std::int64_t count) {
        if (count == line.seats) return line.cents;
        return (2 * line.cents * count + line.seats) / (2 * line.seats);
    }

    std::string Write() {
        std::int64_t movedCents = 0;
        for (const auto& [level, count] : moved_)
            movedCents += MovedCents(lines_[level], count);
        if (movedCents > receivables_)
            Refuse("订单 " + orderCode_ + " 的应收金额 " + MoneyText(receivables_) + " 少于拆分出的金额 " +
                   MoneyText(movedCents));
        const auto count = static_cast<std::int64_t>(seats_.size());
        const std::string newCode = NewOrderCode(c_, caller_.node);

        const std::string orderWhere =
            SqlFormat("where NODECODE = '%s' and ORDERCODE = '%s'", {caller_.node, orderCode_});
        InsertCopy(
            c_, "KAV_ORDER_SHOW", ReadRows(c_, "select * from KAV_ORDER_SHOW " + orderWhere).front(),
            {{"ORDERCODE", newCode},
             {"SEATCOUNT", count},
             {"RECEIVABLES", MoneyOf(movedCents)},
             {"ORDERPASSWORD", hasPassword_ ? SqlValue(NewCollectionPassword(c_, caller_.node)) : SqlValue()},
             {"ORDERHANDLERUSER", caller_.user},
             {"ORDERHANDLERTIME", now_}});
        if (c_.Execute("update KAV_ORDER_SHOW set SEATCOUNT = ?3, RECEIVABLES = ?4, ORDERHANDLERUSER = ?5, "
                       "ORDERHANDLERTIME = ?6 where NODECODE = ?1 and ORDERCODE = ?2 and SEATCOUNT = ?7",
                       {caller_.node, orderCode_, seatCount_ - count, MoneyOf(receivables_ - movedCents),
                        caller_.user, now_, seatCount_}) != 1)
            Refuse("订单 " + orderCode_ + " 已被修改, 请刷新座位后重新选择");
        for (const NamedRow& row : ReadRows(c_, "select * from KAV_ORDER_CLIENT_SHOW " + orderWhere))
            InsertCopy(c_, "KAV_ORDER_CLIENT_SHOW", row, {{"ORDERCODE", newCode}});
        // Persons registered for the order as a whole come along; those of a seat go with it.
        for (const NamedRow& row :
             ReadRows(c_, "select * from KAV_CLIENTINFO " + orderWhere + " and SEATCODE is null"))
            InsertCopy(c_, "KAV_CLIENTINFO", row, {{"ORDERCODE", newCode}});

        for (const std::int64_t seat : seats_) {
            if (c_.Execute(
                    "update KAV_SEAT_SHOW set ORDERCODE = ?3 where NODECODE = ?1 and SEATCODE = ?2 and "
                    "ORDERCODE = ?4 and STATUS = 'B'",
                    {caller_.node, seat, newCode, orderCode_}) != 1)
                Refuse("座位 " + std::to_string(seat) + " 已不属于订单 " + orderCode_);
            c_.Execute("update KAV_CLIENTINFO set ORDERCODE = ?3 where NODECODE = ?1 and ORDERCODE = ?4 and "
                       "SEATCODE = ?2",
                       {caller_.node, seat, newCode, orderCode_});
        }

        for (const auto& [level, moved] : moved_) {
            const Line& line = lines_[level];
            const std::int64_t cents = MovedCents(line, moved);
            InsertCopy(c_, "KAV_ORDER_DISCOUNT_SHOW", line.row,
                       {{"ORDERCODE", newCode}, {"SEATAMOUNT", moved}, {"TOTALPRICE", MoneyOf(cents)}});
            if (c_.Execute(
                    "update KAV_ORDER_DISCOUNT_SHOW set SEATAMOUNT = ?4, TOTALPRICE = ?5 where NODECODE = ?1 "
                    "and ORDERCODE = ?2 and PRICELEVEL = ?3 and SEATAMOUNT = ?6",
                    {caller_.node, orderCode_, level, line.seats - moved, MoneyOf(line.cents - cents),
                     line.seats}) != 1)
                Refuse("订单 " + orderCode_ + " 已被修改, 请刷新座位后重新选择");
        }
        return newCode;
    }

    Connection& c_;
    const Caller& caller_;
    const SplitRequest& request_;
    const std::string now_;
    std::vector<std::int64_t> seats_;
    std::string orderCode_;
    std::int64_t seatCount_ = 0;
    std::int64_t receivables_ = 0;
    bool suite_ = false;
    bool hasPassword_ = false;
    std::string product_, saleClass_;
    std::map<std::string, std::int64_t> moved_; // seats per price level
    std::map<std::string, Line> lines_;
};

} // namespace

std::vector<std::int64_t> ParseSeatCodeList(std::string_view list) {
    if (list.empty()) throw EosRemoteException("没有选择要拆分的座位");
    if (list.size() > kMaxSplitSeats * (kMaxSeatCodeDigits + 3))
        throw EosRemoteException("一次最多拆分 " + std::to_string(kMaxSplitSeats) + " 个座位");
    std::vector<std::int64_t> seats;
    std::set<std::int64_t> seen;
    std::size_t at = 0;
    while (true) {
        const std::size_t end = list.find(',', at);
        const std::string_view item = list.substr(at, end == std::string_view::npos ? end : end - at);
        const std::string_view digits = item.size() >= 3 && item.front() == '\'' && item.back() == '\''
                                            ? item.substr(1, item.size() - 2)
                                            : std::string_view();
        if (digits.empty() || digits.size() > kMaxSeatCodeDigits || digits.front() == '0' ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            throw EosRemoteException("座位列表中的 \"" + std::string(item.substr(0, 24)) + "\" 不是座位号");
        const std::int64_t seat = std::stoll(std::string(digits));
        if (!seen.insert(seat).second)
            throw EosRemoteException("座位 " + std::to_string(seat) + " 在座位列表中重复");
        seats.push_back(seat);
        if (end == std::string_view::npos) break;
        at = end + 1;
    }
    if (seats.size() > kMaxSplitSeats)
        throw EosRemoteException("一次最多拆分 " + std::to_string(kMaxSplitSeats) + " 个座位");
    return seats;
}

std::string SplitOrder(Connection& connection, const Caller& caller, const SplitRequest& request) {
    return InTransaction(connection, [&] { return OrderSplit(connection, caller, request).Run(); });
}

} // namespace kav::server
