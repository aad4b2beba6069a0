#include "server/ticketoffice/bookinginfo.h"

#include "rpc/exceptions.h"
#include "server/db/transaction.h"
#include "server/ticketoffice/orderstate.h"
#include "server/ticketoffice/sqlvalues.h"

#include <array>
#include <cmath>

namespace kav::server {

namespace {

using pelio::EosRemoteException;

// Columns of the customer row the packet may set; absent fields keep their values.
constexpr std::array<std::string_view, 10> kCustomerColumns = {
    "CNAME", "SEX",      "CLIENTLEVEL", "TEL",     "CELLPHONE",
    "EMAIL", "CADDRESS", "IDENTCODE",   "COMMENT", "IDENTTYPEID"};

std::int64_t WholeNumber(RequestPacket& data, std::string_view field) {
    const std::optional<double> value = data.Number(field);
    if (!value || *value != std::floor(*value) || std::abs(*value) > 1e15)
        throw EosRemoteException("数据包 OrderData 的 " + std::string(field) + " 无效: " + data.Text(field));
    return static_cast<std::int64_t>(*value);
}

SqlValue TextOrNull(RequestPacket& data, std::string_view field) {
    const std::string text = data.Text(field);
    return text.empty() ? SqlValue() : SqlValue(text);
}

class BookingInfo final {
public:
    BookingInfo(Connection& connection, const Caller& caller, const std::string& orderCode)
        : c_(connection), caller_(caller), order_(orderCode) {}

    void CheckOrderIsBooked() {
        const std::string status = ReadOrder();
        if (OrderHasPayment(c_, caller_.node, order_) || (status != "B" && status != "N"))
            throw EosRemoteException("订单 " + order_ + " 不是未收款的预订订单, 不能修改预订信息");
    }

    // Persons are registered before the tickets are collected: a paid order still takes them.
    void CheckOrderTakesRegistrations() {
        const std::string status = ReadOrder();
        if (status != "B" && status != "N" && status != "R")
            throw EosRemoteException("订单 " + order_ + (status == "A" ? " 已出票" : " 已取消") +
                                     ", 不能登记顾客");
    }

    void SaveCustomer(RequestPacket& data) {
        if (data.RowCount() == 0) return;
        if (data.RowCount() > 1) throw EosRemoteException("订单只有一位顾客, 数据包 OrderData 却有多行");
        data.Select(0);
        std::string assignments;
        std::vector<SqlValue> values{caller_.node, order_};
        for (const std::string_view column : kCustomerColumns) {
            if (!data.HasField(column)) continue;
            assignments += (assignments.empty() ? "" : ", ") + std::string(column) + " = ?" +
                           std::to_string(values.size() + 1);
            values.push_back(column == "IDENTTYPEID" && !data.Text(column).empty()
                                 ? SqlValue(WholeNumber(data, column))
                                 : TextOrNull(data, column));
        }
        if (assignments.empty()) return;
        c_.Execute("insert into KAV_ORDER_CLIENT_SHOW (NODECODE, ORDERCODE) select cast(?1 as varchar(2)), "
                   "cast(?2 as varchar(20)) where not exists "
                   "(select 1 from KAV_ORDER_CLIENT_SHOW where ORDERCODE = ?2)",
                   {caller_.node, order_});
        c_.Execute("update KAV_ORDER_CLIENT_SHOW set " + assignments +
                       " where NODECODE = ?1 and ORDERCODE = ?2",
                   values);
    }

    void SaveRegistrations(RequestPacket& data) {
        const auto regType =
            c_.Select("select USERREGTYPE from KAV_PRODUCT where NODECODE = ?1 and PRODUCTCODE = ?2",
                      {caller_.node, product_});
        const std::string kind = regType.empty() || TextOf(regType[0][0]) != "S" ? "O" : "S";
        c_.Execute("delete from KAV_CLIENTINFO where NODECODE = ?1 and ORDERCODE = ?2",
                   {caller_.node, order_});
        for (int row = 0; row < data.RowCount(); ++row) {
            data.Select(row);
            const std::string name = data.Text("NAME"), idNumber = data.Text("IDNUM");
            if (name.empty() || idNumber.empty() || data.Text("IDENTTYPEID").empty())
                throw EosRemoteException("登记的顾客缺少姓名、证件类型或证件号码");
            SqlValue seat;
            if (!data.Text("SEATCODE").empty()) {
                seat = WholeNumber(data, "SEATCODE");
                if (c_.Select("select SEATCODE from KAV_SEAT_SHOW where NODECODE = ?1 and SEATCODE = ?2 and "
                              "ORDERCODE = ?3",
                              {caller_.node, seat, order_})
                        .empty())
                    throw EosRemoteException("座位 " + data.Text("SEATCODE") + " 不属于订单 " + order_);
            } else if (kind == "S") {
                throw EosRemoteException("演出按座位登记顾客, 每位顾客须注明座位");
            }
            c_.Execute("insert into KAV_CLIENTINFO (NODECODE, ORDERCODE, PKID, PRODUCTCODE, SEATCODE, "
                       "USERREGTYPE, NAME, IDENTTYPEID, IDNUM, CADDRESS, POST, SEX, TEL, CLIENTLEVEL) values "
                       "(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)",
                       {caller_.node, order_, std::int64_t{row + 1}, product_, seat, kind, name,
                        WholeNumber(data, "IDENTTYPEID"), idNumber, TextOrNull(data, "CADDRESS"),
                        TextOrNull(data, "POST"), TextOrNull(data, "SEX"), TextOrNull(data, "TEL"),
                        TextOrNull(data, "CLIENTLEVEL")});
        }
    }

    // A complimentary sort makes the order cost nothing; leaving it charges full prices again.
    void SaveSaleSort(const std::string& sort) {
        if (sort.empty()) return;
        if (c_.Select("select SORTCODE from KAV_SALE_SORT where NODECODE = ?1 and SORTCODE = ?2",
                      {caller_.node, sort})
                .empty())
            throw EosRemoteException("销售类别 " + sort + " 不存在");
        const bool gift = sort == kGiftSaleSort;
        c_.Execute(
            "update KAV_ORDER_SHOW set SALESORT = ?3, ISGIFT = ?4 where NODECODE = ?1 and ORDERCODE = ?2",
            {caller_.node, order_, sort, std::string(gift ? "Y" : "N")});
        if (gift == gift_) return;
        const std::int64_t percent = gift ? 0 : 100;
        c_.Execute("update KAV_ORDER_DISCOUNT_SHOW set DISCOUNT = ?3, TICKETPRICE = PRICE * ?4, "
                   "TOTALPRICE = PRICE * SEATAMOUNT * ?4 where NODECODE = ?1 and ORDERCODE = ?2",
                   {caller_.node, order_, percent, percent / 100.0});
        c_.Execute("update KAV_ORDER_SHOW set RECEIVABLES = (select coalesce(sum(TOTALPRICE), 0) from "
                   "KAV_ORDER_DISCOUNT_SHOW d where d.ORDERCODE = ?2) where NODECODE = ?1 and ORDERCODE = ?2",
                   {caller_.node, order_});
    }

private:
    // The order's status; raises for an unknown order.
    std::string ReadOrder() {
        const auto rows = c_.Select("select ORDERSTATUS, PRODUCTCODE, ISGIFT from KAV_ORDER_SHOW where "
                                    "NODECODE = ?1 and ORDERCODE = ?2",
                                    {caller_.node, order_});
        if (rows.empty()) throw EosRemoteException("订单 " + order_ + " 不存在");
        product_ = TextOf(rows[0][1]);
        gift_ = TextOf(rows[0][2]) == "Y";
        return TextOf(rows[0][0]);
    }

    Connection& c_;
    const Caller& caller_;
    const std::string& order_;
    std::string product_;
    bool gift_ = false;
};

} // namespace

int RegisterClients(Connection& connection, const Caller& caller, RequestPacket& data) {
    if (data.RowCount() == 0) throw EosRemoteException("没有要登记的顾客");
    data.Select(0);
    const std::string order = data.Text("ORDERCODE");
    for (int row = 0; row < data.RowCount(); ++row) {
        data.Select(row);
        if (data.Text("ORDERCODE") != order || order.empty())
            throw EosRemoteException("登记的顾客须属于同一个订单 (ORDERCODE)");
    }
    InTransaction(connection, [&] {
        BookingInfo info(connection, caller, order);
        info.CheckOrderTakesRegistrations();
        info.SaveRegistrations(data);
    });
    return data.RowCount();
}

void SaveBookingInfo(Connection& connection, const Caller& caller, const std::string& actionCode,
                     const std::string& saleSort, const std::string& orderCode, RequestPacket& data) {
    if (actionCode != kActionCustomer && actionCode != kActionRegistrations)
        throw EosRemoteException("操作代码 " + actionCode + " 无效 (1 顾客资料, 2 登记顾客)");
    InTransaction(connection, [&] {
        BookingInfo info(connection, caller, orderCode);
        info.CheckOrderIsBooked();
        if (actionCode == kActionCustomer)
            info.SaveCustomer(data);
        else
            info.SaveRegistrations(data);
        info.SaveSaleSort(saleSort);
    });
}

} // namespace kav::server
