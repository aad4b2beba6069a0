#include "server/ticketoffice/orderbooking.h"

#include "platform/core/datetime.h"
#include "rpc/exceptions.h"
#include "server/db/placeholders.h"
#include "server/db/transaction.h"
#include "server/ticketoffice/bestseats.h"
#include "server/ticketoffice/counter.h"
#include "server/ticketoffice/ordercancel.h"
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

constexpr int kBestSeatAttempts = 8;

// One row per seat of the order `order` (an SQL expression) of the node ?1, with the order's own
// columns.
std::string OrderSeatsSql(const std::string& order) {
    return "select o.ORDERCODE, o.ORDERSTATUS, o.PRODUCTCODE, o.SEATCOUNT, o.RECEIVABLES, o.ORDERPASSWORD, "
           "o.BATCHCODE, s.SEATCODE, s.SECTIONCODE, s.FLOORNO, s.ROWNO, s.SEATNO, s.PRICELEVEL, d.PRICE, "
           "s.STATUS, s.DESCRIPTION from KAV_ORDER_SHOW o inner join KAV_SEAT_SHOW s on s.NODECODE = "
           "o.NODECODE and s.ORDERCODE = o.ORDERCODE left join KAV_ORDER_DISCOUNT_SHOW d on d.ORDERCODE = "
           "o.ORDERCODE and d.PRICELEVEL = s.PRICELEVEL where o.NODECODE = ?1 and o.ORDERCODE = " +
           order + " order by s.FLOORNO, s.ROWNO, s.X";
}

struct HeldSeat {
    std::int64_t code;
    std::string priceLevel;
};

// The node ?1, then the seats' codes from ?2 on.
std::vector<SqlValue> SeatParams(const std::string& node, const std::vector<HeldSeat>& seats) {
    std::vector<SqlValue> params{node};
    for (const HeldSeat& seat : seats)
        params.emplace_back(seat.code);
    return params;
}

class OrderBooking final {
public:
    OrderBooking(Connection& connection, const Caller& caller, const BookingRequest& request)
        : c_(connection), caller_(caller), request_(request), now_(FormatDateTimeIso(Now())) {}

    // Answers the new order's rows (OrderSeatsSql).
    std::string Run() {
        // Everything the checks need in one round trip, checked before anything is written.
        StatementBatch reads;
        // The product, whether it has the section, and its price levels: a row per level.
        const std::size_t product = reads.Add(
            "select p.STATUS, p.SALEENDTIME, (select count(*) from KAV_SECTION_SHOW e where "
            "e.NODECODE = ?1 and e.SECTIONCODE = ?3 and e.PRODUCTCODE = ?2), l.PRICELEVEL, l.PRICE from "
            "KAV_PRODUCT p left join KAV_PRICE_SHOW l on l.NODECODE = p.NODECODE and l.PRODUCTCODE = "
            "p.PRODUCTCODE where p.NODECODE = ?1 and p.PRODUCTCODE = ?2",
            {caller_.node, request_.productCode, request_.sectionCode});
        const std::size_t seats = reads.Statements().size();
        if (request_.seatCodes.empty()) {
            if (ValidSeatCount()) AddSectionRead(reads);
        } else if (request_.seatCodes.size() <= static_cast<std::size_t>(kMaxSeatsPerOrder)) {
            for (const std::int64_t code : request_.seatCodes)
                reads.Add(
                    "select PRODUCTCODE, SECTIONCODE, STATUS, PRICELEVEL, DESCRIPTION from KAV_SEAT_SHOW "
                    "where NODECODE = ?1 and SEATCODE = ?2",
                    {caller_.node, code});
        }
        auto read = c_.Run(reads);
        const auto& levels = read[product].rows;
        CheckProduct(levels);
        if (IntegerOf(levels.front()[2]) == 0)
            throw EosRemoteException("演出 " + request_.productCode + " 没有区域 " + request_.sectionCode);
        for (const auto& row : levels)
            if (!std::holds_alternative<std::monostate>(row[3]))
                priceCents_[TextOf(row[3])] = CentsOf(row[4]);
        const std::vector<HeldSeat> held = !request_.seatCodes.empty() ? HoldNamedSeats(read, seats)
                                           : seats < read.size()
                                               ? HoldBestSeats(std::move(read[seats].rows))
                                               : HoldBestSeats({}); // refuses the seat count
        return WriteOrder(held);
    }

private:
    void CheckProduct(const std::vector<std::vector<SqlValue>>& rows) {
        if (rows.empty()) throw EosRemoteException("演出 " + request_.productCode + " 不存在");
        if (TextOf(rows[0][0]) == "9") throw EosRemoteException("演出 " + request_.productCode + " 已作废");
        saleEnd_ = TextOf(rows[0][1]);
        if (!saleEnd_.empty() && saleEnd_ < now_)
            throw EosRemoteException("演出 " + request_.productCode + " 已停止售票");
    }

    // The named seats, checked, from the batch's reads of them starting at `first`.
    std::vector<HeldSeat> NamedSeats(const std::vector<StatementResult>& read, std::size_t first) {
        if (request_.seatCodes.size() > static_cast<std::size_t>(kMaxSeatsPerOrder))
            throw EosRemoteException("一个订单最多 " + std::to_string(kMaxSeatsPerOrder) + " 个座位");
        std::vector<HeldSeat> seats;
        for (std::size_t i = 0; i < request_.seatCodes.size(); ++i) {
            const std::int64_t code = request_.seatCodes[i];
            const auto& rows = read[first + i].rows;
            const std::string name = "座位 " + std::to_string(code);
            if (rows.empty() || TextOf(rows[0][0]) != request_.productCode ||
                TextOf(rows[0][1]) != request_.sectionCode)
                throw EosRemoteException(name + " 不属于演出 " + request_.productCode + " 的区域 " +
                                         request_.sectionCode);
            const std::string description = TextOf(rows[0][4]);
            if (TextOf(rows[0][2]) != "F")
                throw EosRemoteException(name + (description.empty() ? "" : " (" + description + ")") +
                                         " 已被占用");
            const std::string level = TextOf(rows[0][3]);
            if (!priceCents_.contains(level))
                throw EosRemoteException(name + " 的票价等级 " + level + " 不出售");
            seats.push_back({code, level});
        }
        return seats;
    }

    bool ValidSeatCount() const { return request_.seatCount > 0 && request_.seatCount <= kMaxSeatsPerOrder; }

    // A row per seat of the section: code, floor, row, x, and the price level of a seat that may
    // be chosen (free, and neither of a special kind nor added, which are sold only when named).
    std::size_t AddSectionRead(StatementBatch& batch) const {
        return batch.Add(
            "select SEATCODE, FLOORNO, ROWNO, X, case when STATUS = 'F' and KIND = 'N' and ISADDITION "
            "= 'N' then PRICELEVEL end from KAV_SEAT_SHOW where NODECODE = ?1 and PRODUCTCODE = ?2 "
            "and SECTIONCODE = ?3",
            {caller_.node, request_.productCode, request_.sectionCode});
    }

    // The best seats among the section's `rows` (AddSectionRead).
    std::vector<HeldSeat> BestSeats(const std::vector<std::vector<SqlValue>>& rows) {
        if (!ValidSeatCount())
            throw EosRemoteException("座位数 " + std::to_string(request_.seatCount) + " 无效 (1 到 " +
                                     std::to_string(kMaxSeatsPerOrder) + ")");
        std::vector<SectionSeat> section;
        section.reserve(rows.size());
        int freeCount = 0;
        for (const auto& row : rows) {
            const auto* level = std::get_if<std::string>(&row[4]);
            const bool free = level && priceCents_.contains(*level);
            freeCount += free ? 1 : 0;
            section.push_back({IntegerOf(row[0]), static_cast<int>(IntegerOf(row[1])),
                               static_cast<int>(IntegerOf(row[2])), static_cast<int>(IntegerOf(row[3])),
                               free});
        }
        const auto chosen = ChooseBestSeats(std::move(section), request_.seatCount);
        if (chosen.empty())
            throw EosRemoteException("区域 " + request_.sectionCode + " 只剩 " + std::to_string(freeCount) +
                                     " 个可售座位, 不够 " + std::to_string(request_.seatCount) + " 个");
        std::vector<HeldSeat> seats;
        for (const std::int64_t code : chosen) {
            const auto row = std::find_if(rows.begin(), rows.end(),
                                          [&](const auto& r) { return IntegerOf(r[0]) == code; });
            seats.push_back({code, TextOf((*row)[4])});
        }
        return seats;
    }

    // Holds the seats while they are still free (the order's number is drawn only with its
    // writes, so that a seller never waits for a seat while holding the order counter, which
    // every booking needs). One statement holds them all, going through the seats in the order of
    // their codes: two sellers holding the same seats never each wait for the other. Answers the
    // first seat (in the order given) that another seller took since it was read, none when all
    // are held; the holds are then undone by rolling back to the savepoint kav_hold.
    std::optional<std::int64_t> TryHold(const std::vector<HeldSeat>& seats) {
        StatementBatch hold;
        hold.Add("savepoint kav_hold");
        const std::size_t held =
            hold.Add("update KAV_SEAT_SHOW set STATUS = 'B' where NODECODE = ?1 and SEATCODE in (" +
                         Placeholders(2, seats.size()) + ") and STATUS = 'F' returning SEATCODE",
                     SeatParams(caller_.node, seats));
        if (request_.isBookOrder) password_.emplace(hold, caller_.node);
        drawn_ = c_.Run(hold);
        std::set<std::int64_t> holds;
        for (const auto& row : drawn_[held].rows)
            holds.insert(IntegerOf(row[0]));
        for (const HeldSeat& seat : seats)
            if (!holds.contains(seat.code)) return seat.code;
        return std::nullopt;
    }

    static EosRemoteException Taken(std::int64_t seat) {
        return EosRemoteException("座位 " + std::to_string(seat) + " 已被占用");
    }

    std::vector<HeldSeat> HoldNamedSeats(const std::vector<StatementResult>& read, std::size_t first) {
        std::vector<HeldSeat> seats = NamedSeats(read, first);
        if (const auto taken = TryHold(seats)) throw Taken(*taken);
        return seats;
    }

    // Sellers choosing best seats of one section at once often pick the same ones: the loser
    // gives back what it held and chooses again among the seats still free.
    std::vector<HeldSeat> HoldBestSeats(std::vector<std::vector<SqlValue>> section) {
        std::int64_t taken = 0;
        for (int attempt = 0; attempt < kBestSeatAttempts; ++attempt) {
            std::vector<HeldSeat> seats = BestSeats(section);
            const auto lost = TryHold(seats);
            if (!lost) return seats;
            taken = *lost;
            StatementBatch again;
            again.Add("rollback to savepoint kav_hold");
            const std::size_t read = AddSectionRead(again);
            section = std::move(c_.Run(again)[read].rows);
        }
        throw Taken(taken);
    }

    std::string WriteOrder(const std::vector<HeldSeat>& seats) {
        const std::optional<std::string> password =
            password_ ? std::optional(password_->Password(c_, drawn_)) : std::nullopt;
        // The order's number is drawn first among its writes, which name the order by it: the
        // counter is held from here to the commit, all of it in one round trip.
        StatementBatch write;
        AddOrderCodeDraw(write, caller_.node);
        const std::string orderCode = DrawnOrderCodeSql();
        write.Add("update KAV_SEAT_SHOW set ORDERCODE = " + orderCode + " where NODECODE = ?1 and SEATCODE in (" +
                      Placeholders(2, seats.size()) + ")",
                  SeatParams(caller_.node, seats));
        std::map<std::string, std::int64_t> perLevel;
        for (const HeldSeat& seat : seats)
            ++perLevel[seat.priceLevel];
        std::int64_t receivables = 0;
        for (const auto& [level, count] : perLevel) {
            const std::int64_t price = priceCents_.at(level);
            receivables += price * count;
            write.Add(
                "insert into KAV_ORDER_DISCOUNT_SHOW (NODECODE, ORDERCODE, PRICELEVEL, PRICE, DISCOUNT, "
                "TICKETPRICE, TOTALPRICE, SEATAMOUNT) values (?1, " +
                    orderCode + ", ?2, ?3, 100, ?3, ?4, ?5)",
                {caller_.node, level, MoneyOf(price), MoneyOf(price * count), count});
        }
        const bool booking = request_.isBookOrder;
        write.Add("insert into KAV_ORDER_SHOW (NODECODE, ORDERCODE, PRODUCTCODE, SECTIONCODE, ORDERFROM, "
                  "ORDERSTATUS, CLIENTTYPE, FETCHWAY, MEMBERCARDNO, SEATCOUNT, RECEIVABLES, CREATEGROUP, "
                  "CREATEUSER, CREATETIME, ORDERPASSWORD, FAILTIME, SYSTEMBOOKING, BATCHCODE) values "
                  "(?1, " +
                      orderCode +
                      ", ?2, ?3, '1', 'B', '3', '1', '-1', ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)",
                  {caller_.node, request_.productCode, request_.sectionCode,
                   static_cast<std::int64_t>(seats.size()), MoneyOf(receivables), caller_.group, caller_.user,
                   now_, password ? SqlValue(*password) : SqlValue(),
                   booking && !saleEnd_.empty() ? SqlValue(saleEnd_) : SqlValue(),
                   std::string(booking ? "Y" : "N"),
                   request_.batchCode.empty() ? SqlValue() : SqlValue(request_.batchCode)});
        write.Add("insert into KAV_ORDER_CLIENT_SHOW (NODECODE, ORDERCODE) values (?1, " + orderCode + ")",
                  {caller_.node});
        const std::size_t rows = write.AddPacket(OrderSeatsSql(orderCode), {caller_.node});
        write.Commit();
        return std::move(c_.Run(write)[rows].packet);
    }

    Connection& c_;
    const Caller& caller_;
    const BookingRequest& request_;
    const std::string now_;
    std::string saleEnd_;
    std::map<std::string, std::int64_t> priceCents_; // per price level on sale
    std::optional<CollectionPasswordDraw> password_; // for a booking, to be collected later
    std::vector<StatementResult> drawn_; // the results of the batch that held the seats
};

} // namespace

std::vector<std::int64_t> SeatCodesOf(RequestPacket& packet) {
    std::vector<std::int64_t> codes;
    if (packet.RowCount() == 0) return codes;
    if (!packet.HasField("SEATCODE")) throw EosRemoteException("数据包 cdsSeatDelta 没有 SEATCODE 字段");
    std::set<std::int64_t> seen;
    for (int row = 0; row < packet.RowCount(); ++row) {
        packet.Select(row);
        const std::optional<double> value = packet.Number("SEATCODE");
        if (!value || *value != std::floor(*value) || std::abs(*value) > 1e15)
            throw EosRemoteException("数据包 cdsSeatDelta 的座位号无效: " + packet.Text("SEATCODE"));
        const auto code = static_cast<std::int64_t>(*value);
        if (seen.insert(code).second) codes.push_back(code);
    }
    return codes;
}

std::string CreateOrderWithSeats(Connection& connection, const Caller& caller,
                                 const BookingRequest& request) {
    return InTransaction(connection, [&] { return OrderBooking(connection, caller, request).Run(); });
}

bool ReleaseBatchOrders(Connection& connection, const Caller& caller, const std::string& batchCode) {
    return InTransaction(connection, [&] {
        const std::string now = FormatDateTimeIso(Now());
        bool released = false;
        // An order paid in the meantime is left alone.
        for (const std::string& order : UnpaidBatchOrders(connection, caller.node, batchCode))
            if (CancelUnpaidOrder(connection, caller, order, now) == CancelOutcome::Cancelled)
                released = true;
        return released;
    });
}

} // namespace kav::server
