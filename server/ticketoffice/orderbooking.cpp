#include "server/ticketoffice/orderbooking.h"

#include "host/sqltext.h"
#include "platform/core/datetime.h"
#include "rpc/exceptions.h"
#include "server/db/transaction.h"
#include "server/ticketoffice/bestseats.h"
#include "server/ticketoffice/counter.h"
#include "server/ticketoffice/ordercancel.h"
#include "server/ticketoffice/orderstate.h"
#include "server/ticketoffice/sqlvalues.h"

#include <cmath>
#include <map>
#include <optional>
#include <set>

namespace kav::server {

namespace {

using pelio::EosRemoteException;

constexpr int kBestSeatAttempts = 8;

struct HeldSeat {
    std::int64_t code;
    std::string priceLevel;
};

class OrderBooking final {
public:
    OrderBooking(Connection& connection, const Caller& caller, const BookingRequest& request)
        : c_(connection), caller_(caller), request_(request), now_(FormatDateTimeIso(Now())) {}

    std::string Run() {
        CheckProduct();
        CheckSection();
        ReadPrices();
        const std::string orderCode = NewOrderCode(c_, caller_.node);
        const std::vector<HeldSeat> seats =
            request_.seatCodes.empty() ? HoldBestSeats(orderCode) : HoldNamedSeats(orderCode);
        WriteOrder(orderCode, seats);
        return orderCode;
    }

private:
    void CheckProduct() {
        const auto rows = c_.Select("select STATUS, SALEENDTIME from KAV_PRODUCT where NODECODE = ?1 and "
                                    "PRODUCTCODE = ?2",
                                    {caller_.node, request_.productCode});
        if (rows.empty()) throw EosRemoteException("演出 " + request_.productCode + " 不存在");
        if (TextOf(rows[0][0]) == "9") throw EosRemoteException("演出 " + request_.productCode + " 已作废");
        saleEnd_ = TextOf(rows[0][1]);
        if (!saleEnd_.empty() && saleEnd_ < now_)
            throw EosRemoteException("演出 " + request_.productCode + " 已停止售票");
    }

    void CheckSection() {
        if (c_.Select("select SECTIONCODE from KAV_SECTION_SHOW where NODECODE = ?1 and SECTIONCODE = ?2 "
                      "and PRODUCTCODE = ?3",
                      {caller_.node, request_.sectionCode, request_.productCode})
                .empty())
            throw EosRemoteException("演出 " + request_.productCode + " 没有区域 " + request_.sectionCode);
    }

    void ReadPrices() {
        for (const auto& row : c_.Select("select PRICELEVEL, PRICE from KAV_PRICE_SHOW where NODECODE = ?1 "
                                         "and PRODUCTCODE = ?2",
                                         {caller_.node, request_.productCode}))
            priceCents_[TextOf(row[0])] = CentsOf(row[1]);
    }

    std::vector<HeldSeat> NamedSeats() {
        if (request_.seatCodes.size() > static_cast<std::size_t>(kMaxSeatsPerOrder))
            throw EosRemoteException("一个订单最多 " + std::to_string(kMaxSeatsPerOrder) + " 个座位");
        std::vector<HeldSeat> seats;
        for (const std::int64_t code : request_.seatCodes) {
            const auto rows = c_.Select("select PRODUCTCODE, SECTIONCODE, STATUS, PRICELEVEL, DESCRIPTION "
                                        "from KAV_SEAT_SHOW where NODECODE = ?1 and SEATCODE = ?2",
                                        {caller_.node, code});
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

    std::vector<HeldSeat> BestSeats() {
        if (request_.seatCount <= 0 || request_.seatCount > kMaxSeatsPerOrder)
            throw EosRemoteException("座位数 " + std::to_string(request_.seatCount) + " 无效 (1 到 " +
                                     std::to_string(kMaxSeatsPerOrder) + ")");
        std::vector<SectionSeat> section;
        std::map<std::int64_t, std::string> levels;
        int freeCount = 0;
        for (const auto& row : c_.Select("select SEATCODE, FLOORNO, ROWNO, X, STATUS, KIND, ISADDITION, "
                                         "PRICELEVEL from KAV_SEAT_SHOW where NODECODE = ?1 and "
                                         "PRODUCTCODE = ?2 and SECTIONCODE = ?3",
                                         {caller_.node, request_.productCode, request_.sectionCode})) {
            const std::string level = TextOf(row[7]);
            // Special kinds and added seats are sold only when named.
            const bool free = TextOf(row[4]) == "F" && TextOf(row[5]) == "N" && TextOf(row[6]) == "N" &&
                              priceCents_.contains(level);
            freeCount += free ? 1 : 0;
            const std::int64_t code = IntegerOf(row[0]);
            section.push_back({code, static_cast<int>(IntegerOf(row[1])), static_cast<int>(IntegerOf(row[2])),
                               static_cast<int>(IntegerOf(row[3])), free});
            levels[code] = level;
        }
        const auto chosen = ChooseBestSeats(std::move(section), request_.seatCount);
        if (chosen.empty())
            throw EosRemoteException("区域 " + request_.sectionCode + " 只剩 " + std::to_string(freeCount) +
                                     " 个可售座位, 不够 " + std::to_string(request_.seatCount) + " 个");
        std::vector<HeldSeat> seats;
        for (const std::int64_t code : chosen)
            seats.push_back({code, levels[code]});
        return seats;
    }

    // Holds the seats while they are still free; answers the first seat another seller took
    // since it was read, none when all are held.
    std::optional<std::int64_t> TryHold(const std::vector<HeldSeat>& seats, const std::string& orderCode) {
        for (const HeldSeat& seat : seats)
            if (c_.Execute("update KAV_SEAT_SHOW set STATUS = 'B', ORDERCODE = ?3 where NODECODE = ?1 and "
                           "SEATCODE = ?2 and STATUS = 'F'",
                           {caller_.node, seat.code, orderCode}) != 1)
                return seat.code;
        return std::nullopt;
    }

    static EosRemoteException Taken(std::int64_t seat) {
        return EosRemoteException("座位 " + std::to_string(seat) + " 已被占用");
    }

    std::vector<HeldSeat> HoldNamedSeats(const std::string& orderCode) {
        std::vector<HeldSeat> seats = NamedSeats();
        if (const auto taken = TryHold(seats, orderCode)) throw Taken(*taken);
        return seats;
    }

    // Sellers choosing best seats of one section at once often pick the same ones: the loser
    // gives back what it held and chooses again among the seats still free.
    std::vector<HeldSeat> HoldBestSeats(const std::string& orderCode) {
        std::int64_t taken = 0;
        for (int attempt = 0; attempt < kBestSeatAttempts; ++attempt) {
            std::vector<HeldSeat> seats = BestSeats();
            const auto lost = TryHold(seats, orderCode);
            if (!lost) return seats;
            taken = *lost;
            c_.Execute("update KAV_SEAT_SHOW set STATUS = 'F', ORDERCODE = null where NODECODE = ?1 and "
                       "ORDERCODE = ?2",
                       {caller_.node, orderCode});
        }
        throw Taken(taken);
    }

    void WriteOrder(const std::string& orderCode, const std::vector<HeldSeat>& seats) {
        std::map<std::string, std::int64_t> perLevel;
        for (const HeldSeat& seat : seats)
            ++perLevel[seat.priceLevel];
        std::int64_t receivables = 0;
        for (const auto& [level, count] : perLevel) {
            const std::int64_t price = priceCents_.at(level);
            receivables += price * count;
            c_.Execute(
                "insert into KAV_ORDER_DISCOUNT_SHOW (NODECODE, ORDERCODE, PRICELEVEL, PRICE, DISCOUNT, "
                "TICKETPRICE, TOTALPRICE, SEATAMOUNT) values (?1, ?2, ?3, ?4, 100, ?4, ?5, ?6)",
                {caller_.node, orderCode, level, MoneyOf(price), MoneyOf(price * count), count});
        }
        const bool booking = request_.isBookOrder;
        c_.Execute(
            "insert into KAV_ORDER_SHOW (NODECODE, ORDERCODE, PRODUCTCODE, SECTIONCODE, ORDERFROM, "
            "ORDERSTATUS, CLIENTTYPE, FETCHWAY, MEMBERCARDNO, SEATCOUNT, RECEIVABLES, CREATEGROUP, "
            "CREATEUSER, CREATETIME, ORDERPASSWORD, FAILTIME, SYSTEMBOOKING, BATCHCODE) values "
            "(?1, ?2, ?3, ?4, '1', 'B', '3', '1', '-1', ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)",
            {caller_.node, orderCode, request_.productCode, request_.sectionCode,
             static_cast<std::int64_t>(seats.size()), MoneyOf(receivables), caller_.group, caller_.user, now_,
             booking ? SqlValue(NewCollectionPassword(c_, caller_.node)) : SqlValue(),
             booking && !saleEnd_.empty() ? SqlValue(saleEnd_) : SqlValue(), std::string(booking ? "Y" : "N"),
             request_.batchCode.empty() ? SqlValue() : SqlValue(request_.batchCode)});
        c_.Execute("insert into KAV_ORDER_CLIENT_SHOW (NODECODE, ORDERCODE) values (?1, ?2)",
                   {caller_.node, orderCode});
    }

    Connection& c_;
    const Caller& caller_;
    const BookingRequest& request_;
    const std::string now_;
    std::string saleEnd_;
    std::map<std::string, std::int64_t> priceCents_; // per price level on sale
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

std::string OrderSeatsSql(const std::string& nodeCode, const std::string& orderCode) {
    return SqlFormat("select o.ORDERCODE, o.ORDERSTATUS, o.PRODUCTCODE, o.SEATCOUNT, o.RECEIVABLES, "
                     "o.ORDERPASSWORD, o.BATCHCODE, s.SEATCODE, s.SECTIONCODE, s.FLOORNO, s.ROWNO, s.SEATNO, "
                     "s.PRICELEVEL, d.PRICE, s.STATUS, s.DESCRIPTION from KAV_ORDER_SHOW o "
                     "inner join KAV_SEAT_SHOW s on s.NODECODE = o.NODECODE and s.ORDERCODE = o.ORDERCODE "
                     "left join KAV_ORDER_DISCOUNT_SHOW d on d.ORDERCODE = o.ORDERCODE and "
                     "d.PRICELEVEL = s.PRICELEVEL where o.NODECODE = '%s' and o.ORDERCODE = '%s' "
                     "order by s.FLOORNO, s.ROWNO, s.X",
                     {nodeCode, orderCode});
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
