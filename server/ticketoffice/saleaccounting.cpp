#include "server/ticketoffice/saleaccounting.h"

#include "platform/core/datetime.h"
#include "rpc/exceptions.h"
#include "server/db/transaction.h"
#include "server/membersys/membercard.h"
#include "server/ticketoffice/counter.h"
#include "server/ticketoffice/orderstate.h"
#include "server/ticketoffice/sqlvalues.h"

#include <optional>
#include <set>

namespace kav::server {

namespace {

using pelio::EosRemoteException;

// The message the client shows for the same refusal of its own check.
constexpr const char* kOverCeilingText = "销售金额不能超过代理点最高售票金额！";
// The member card's pay mode.
constexpr std::string_view kMemberCardPayMode = "M";

std::int64_t RequiredCents(RequestPacket& packet, std::string_view field, std::string_view argument) {
    const std::optional<double> value = packet.Number(field);
    if (!value)
        throw EosRemoteException("数据包 " + std::string(argument) + " 缺少金额 " + std::string(field));
    return Cents(*value);
}

void CheckNode(RequestPacket& packet, const Caller& caller, std::string_view argument) {
    const std::string node = packet.Text("NODECODE");
    if (!node.empty() && node != caller.node)
        throw EosRemoteException("数据包 " + std::string(argument) + " 属于其他节点 " + node);
}

struct Order {
    std::string code, status, product, saleSort, saleClass, from, placeReserve;
    std::int64_t receivables = 0;
    // Whether its performance counts towards the caller's group's sales ceilings: it does unless
    // KAV_GROUPMAXSALEMONY_PRODUCTSET sets style '2' for it.
    bool countsTowardsCeilings = true;
};

class SaleAccounting final {
public:
    SaleAccounting(Connection& connection, const Caller& caller, const AccountInput& input)
        : c_(connection), caller_(caller), input_(input), now_(FormatDateTimeIso(Now())) {
        try {
            params_ = TContextText::Parse(input.params);
        } catch (const ContextTextError& e) {
            throw EosRemoteException(std::string("收款参数无效: ") + e.what());
        }
    }

    std::string OrderCodeParam() const { return params_.Value("OrderCode"); }

    // Whether any part of the payment is by member card; then it must be the only pay mode.
    bool PaysByMemberCard() const {
        const std::set<std::string> modes = PayModes();
        if (!modes.contains(std::string(kMemberCardPayMode))) return false;
        if (modes.size() > 1) throw EosRemoteException("会员卡支付不能与其他支付方式合用");
        return true;
    }
    // The member whose card pays the order, its password checked.
    std::int64_t MemberPaying(const std::string& orderCode) const {
        return MemberPayingOrder(c_, caller_.node, orderCode, params_.Value("MemberCard"),
                                 params_.Value("PassWord"));
    }

    // `payingMember`: the member whose stored-value card pays the single order accounted.
    void Run(const std::vector<std::string>& orderCodes, bool rowsMayOmitOrder,
             std::optional<std::int64_t> payingMember = std::nullopt) {
        // Rows without an order code belong to the single order being accounted.
        const std::string implied = rowsMayOmitOrder ? orderCodes.front() : std::string();
        // Everything the checks read, in one round trip, with the orders' claims, which need
        // nothing read and whose outcome is checked last: a refusal rolls the claims back with
        // the transaction. The ledger's lines are read once the orders are claimed.
        StatementBatch reads;
        std::vector<std::size_t> orderReads, claims, lines;
        for (const std::string& code : orderCodes)
            orderReads.push_back(AddOrderRead(reads, code));
        std::vector<std::pair<std::string, std::size_t>> modeReads;
        for (const std::string& mode : PayModes())
            modeReads.emplace_back(
                mode, reads.Add("select PAYMODECODE from KAV_PAYMODE where PAYMODECODE = ?1", {mode}));
        for (const std::string& code : orderCodes) {
            claims.push_back(AddClaim(reads, code, PayModeOf(code, implied)));
            lines.push_back(reads.Add("select PRICELEVEL, DISCOUNT, SEATAMOUNT, TOTALPRICE from "
                                      "KAV_ORDER_DISCOUNT_SHOW where NODECODE = ?1 and ORDERCODE = ?2 and "
                                      "SEATAMOUNT > 0 order by PRICELEVEL",
                                      {caller_.node, code}));
        }
        const auto read = c_.Run(reads);
        std::vector<Order> orders;
        for (std::size_t i = 0; i < orderCodes.size(); ++i)
            orders.push_back(CheckedOrder(orderCodes[i], read[orderReads[i]].rows));
        CheckRowsNameTheseOrders(orderCodes, implied);
        for (const auto& [mode, index] : modeReads)
            if (read[index].rows.empty()) throw EosRemoteException("支付方式 " + mode + " 不存在");
        for (const Order& order : orders)
            CheckAmounts(order, implied);

        // The other writes whose outcome decides whether the accounting stands, which charge
        // what was read: a round trip of their own, when there are any.
        StatementBatch charge;
        const Ceilings ceilings = AddCeilings(charge, orders);
        std::optional<MemberCardDebit> debit;
        if (payingMember) debit.emplace(charge, caller_.node, *payingMember, orders.front().receivables);
        const auto charged = charge.Statements().empty() ? std::vector<StatementResult>() : c_.Run(charge);
        CheckCeilings(ceilings, charged);
        if (debit) debit->Check(c_, charged);
        for (std::size_t i = 0; i < orders.size(); ++i)
            CheckClaimed(orders[i], read[claims[i]]);

        // The rest cannot be refused: it goes with the commit.
        StatementBatch write;
        for (std::size_t i = 0; i < orders.size(); ++i)
            AddWrites(write, orders[i], implied, read[lines[i]].rows);
        write.Commit();
        c_.Run(write);
    }

private:
    std::size_t AddOrderRead(StatementBatch& batch, const std::string& code) const {
        return batch.Add(
            "select o.ORDERSTATUS, o.PRODUCTCODE, o.RECEIVABLES, o.SEATCOUNT, o.SYSTEMBOOKING, o.SALESORT, "
            "o.ISGIFT, o.SALECLASSCODE, o.ORDERFROM, o.ISPLACERESERVE, (select count(*) from "
            "KAV_ACCOUNT_SHOW a where a.NODECODE = ?1 and a.ORDERCODE = ?2), (select count(*) from "
            "KAV_SEAT_SHOW s where s.NODECODE = ?1 and s.ORDERCODE = ?2 and s.STATUS = 'B'), (select STYLE "
            "from KAV_GROUPMAXSALEMONY_PRODUCTSET p where p.NODECODE = ?1 and p.PRODUCTCODE = o.PRODUCTCODE "
            "and p.GROUPCODE = ?3) from KAV_ORDER_SHOW o where o.NODECODE = ?1 and o.ORDERCODE = ?2",
            {caller_.node, code, caller_.group});
    }

    Order CheckedOrder(const std::string& code, const std::vector<std::vector<SqlValue>>& rows) const {
        if (rows.empty()) throw EosRemoteException("订单 " + code + " 不存在");
        const auto& r = rows.front();
        Order order{code,         TextOf(r[0]), TextOf(r[1]), TextOf(r[5]),
                    TextOf(r[7]), TextOf(r[8]), TextOf(r[9]), CentsOf(r[2])};
        if (order.status == "C" || order.status == "U") throw EosRemoteException("订单 " + code + " 已取消");
        if (IntegerOf(r[10]) != 0 || (order.status != "B" && order.status != "N"))
            throw EosRemoteException("订单 " + code + " 已收款, 不能重复收款");
        const std::string expected = params_.Value("OrderStatus");
        if (!expected.empty() && expected != order.status)
            throw EosRemoteException("订单 " + code + " 的状态已改变 (现为 " + order.status + ")");
        const std::int64_t held = IntegerOf(r[11]);
        if (held == 0 || held != IntegerOf(r[3]))
            throw EosRemoteException("订单 " + code + " 的座位已释放或已出票, 不能收款");
        if (order.saleSort.empty())
            order.saleSort = TextOf(r[6]) == "Y" ? "08" : TextOf(r[4]) == "Y" ? "05" : "01";
        order.countsTowardsCeilings = TextOf(r[12]) != "2";
        return order;
    }

    void CheckRowsNameTheseOrders(const std::vector<std::string>& orderCodes, const std::string& implied) {
        const std::set<std::string> known(orderCodes.begin(), orderCodes.end());
        auto check = [&](const std::string& code) {
            if (code.empty() ? implied.empty() : !known.contains(code))
                throw EosRemoteException(code.empty() ? "收款数据没有订单号"
                                                      : "收款数据中的订单 " + code + " 不在本次收款之内");
        };
        for (const auto& row : input_.payments)
            check(row.orderCode);
        for (const auto& row : input_.payModes)
            check(row.orderCode);
    }

    // Every pay mode the payment names: the order's, its rows' and its split's.
    std::set<std::string> PayModes() const {
        std::set<std::string> modes;
        for (const auto& row : input_.payments)
            modes.insert(row.payMode);
        for (const auto& row : input_.payModes)
            modes.insert(row.payMode);
        if (!OrderPayMode().empty()) modes.insert(OrderPayMode());
        return modes;
    }

    static bool Of(const std::string& rowOrder, const std::string& order, const std::string& implied) {
        return rowOrder == order || (rowOrder.empty() && implied == order);
    }

    void CheckAmounts(const Order& order, const std::string& implied) {
        std::int64_t paid = 0, split = 0;
        int payments = 0;
        std::set<std::string> splitModes;
        for (const auto& row : input_.payments)
            if (Of(row.orderCode, order.code, implied)) {
                paid += row.cents;
                ++payments;
            }
        for (const auto& row : input_.payModes)
            if (Of(row.orderCode, order.code, implied)) {
                if (!row.productCode.empty() && row.productCode != order.product)
                    throw EosRemoteException("分项支付的演出 " + row.productCode + " 不是订单 " + order.code +
                                             " 的演出");
                if (!splitModes.insert(row.payMode).second)
                    throw EosRemoteException("订单 " + order.code + " 的支付方式 " + row.payMode + " 重复");
                split += row.cents;
            }
        if (payments == 0) throw EosRemoteException("订单 " + order.code + " 没有收款记录");
        if (paid != order.receivables)
            throw EosRemoteException("订单 " + order.code + " 的收款金额 " + MoneyText(paid) +
                                     " 与应收金额 " + MoneyText(order.receivables) + " 不符");
        if (!splitModes.empty() && split != order.receivables)
            throw EosRemoteException("订单 " + order.code + " 的分项支付合计 " + MoneyText(split) +
                                     " 与应收金额 " + MoneyText(order.receivables) + " 不符");
    }

    struct Ceilings {
        std::vector<std::pair<CeilingRow, std::size_t>> charges; // each with its update
        std::string otherGroup; // a row of another group, refused once the rows before it are
    };

    // Raises each named ceiling record by what the orders sell.
    Ceilings AddCeilings(StatementBatch& batch, const std::vector<Order>& orders) {
        Ceilings ceilings;
        std::int64_t counted = 0;
        for (const Order& order : orders)
            if (order.countsTowardsCeilings) counted += order.receivables;
        std::set<std::pair<std::string, std::string>> charged;
        for (const CeilingRow& row : input_.ceilings) {
            if (row.groupCode != caller_.group) {
                ceilings.otherGroup = row.groupCode;
                break;
            }
            if (!charged.insert({row.groupCode, row.createGroup}).second || counted == 0) continue;
            ceilings.charges.emplace_back(
                row, batch.Add("update KAV_GROUPMAXSALEMONY set ACTUALSALEMONEY = ACTUALSALEMONEY + ?4 where "
                               "NODECODE = ?1 and GROUPCODE = ?2 and CREATEGROUP = ?3 and "
                               "ACTUALSALEMONEY + ?4 <= MAXSALEMONEY + 0.005",
                               {caller_.node, row.groupCode, row.createGroup, MoneyOf(counted)}));
        }
        return ceilings;
    }

    void CheckCeilings(const Ceilings& ceilings, const std::vector<StatementResult>& results) {
        for (const auto& [row, update] : ceilings.charges) {
            if (results[update].changed == 1) continue;
            if (c_.Select(
                      "select MAXSALEMONEY from KAV_GROUPMAXSALEMONY where NODECODE = ?1 and GROUPCODE = ?2 "
                      "and CREATEGROUP = ?3",
                      {caller_.node, row.groupCode, row.createGroup})
                    .empty())
                throw EosRemoteException("代理点 " + row.groupCode + " 没有对 " + row.createGroup +
                                         " 的售票金额记录");
            throw EosRemoteException(kOverCeilingText);
        }
        if (!ceilings.otherGroup.empty())
            throw EosRemoteException("不能记入其他代理点 " + ceilings.otherGroup + " 的售票金额");
    }

    std::string OrderPayMode() const { return params_.Value("IsNeedCharge"); }

    std::string PayModeOf(const std::string& order, const std::string& implied) const {
        std::string payMode = OrderPayMode();
        for (const auto& row : input_.payments)
            if (payMode.empty() && Of(row.orderCode, order, implied)) payMode = row.payMode;
        return payMode;
    }

    // Claiming the order by its status (booked or reserved, as CheckedOrder requires) makes a
    // concurrent second accounting (or cancel) find the order changed once this one is done.
    std::size_t AddClaim(StatementBatch& batch, const std::string& order, const std::string& payMode) const {
        const std::string card = params_.Value("MemberCard");
        return batch.Add("update KAV_ORDER_SHOW set ORDERSTATUS = 'R', PAYMODECODE = ?3, PAYEE = ?4, "
                         "PAYEEGROUP = ?5, GATHERINGTIME = ?6, MEMBERCARDNO = coalesce(?7, MEMBERCARDNO) "
                         "where NODECODE = ?1 and ORDERCODE = ?2 and ORDERSTATUS in ('B', 'N')",
                         {caller_.node, order, payMode, caller_.user, caller_.group, now_,
                          payMode == kMemberCardPayMode && !card.empty() ? SqlValue(card) : SqlValue()});
    }

    void CheckClaimed(const Order& order, const StatementResult& claim) {
        if (claim.changed == 1) return;
        const auto now =
            c_.Select("select ORDERSTATUS from KAV_ORDER_SHOW where NODECODE = ?1 and ORDERCODE = ?2",
                      {caller_.node, order.code});
        const std::string status = now.empty() ? std::string() : TextOf(now.front()[0]);
        if (status == "C" || status == "U") throw EosRemoteException("订单 " + order.code + " 已取消");
        throw EosRemoteException("订单 " + order.code + " 已收款, 不能重复收款");
    }

    // The seats sold, the payments and the ledger's `lines` of a claimed order.
    void AddWrites(StatementBatch& batch, const Order& order, const std::string& implied,
                   const std::vector<std::vector<SqlValue>>& lines) {
        batch.Add(
            "update KAV_SEAT_SHOW set STATUS = 'O' where NODECODE = ?1 and ORDERCODE = ?2 and STATUS = 'B'",
            {caller_.node, order.code});
        std::int64_t pkid = 0;
        for (const auto& row : input_.payments)
            if (Of(row.orderCode, order.code, implied))
                batch.Add("insert into KAV_ACCOUNT_SHOW (NODECODE, ORDERCODE, PKID, PAYMODECODE, "
                          "CREDITCARDSTYLECODE, CREDITCARDCODE, RELACCEPTABLES, ACCOUNTUSER, ACCOUNTGROUP, "
                          "ACCOUNTTIME) values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)",
                          {caller_.node, order.code, pkid++, row.payMode, Nullable(row.cardStyle),
                           Nullable(row.cardCode), MoneyOf(row.cents), caller_.user, caller_.group, now_});
        for (const auto& row : input_.payModes)
            if (Of(row.orderCode, order.code, implied))
                batch.Add("insert into KAV_PAYMODEMONEY_SHOW (NODECODE, ORDERCODE, PAYMODECODE, PRODUCTCODE, "
                          "AMOUNT, REMARK) values (?1, ?2, ?3, ?4, ?5, ?6)",
                          {caller_.node, order.code, row.payMode, order.product, MoneyOf(row.cents),
                           Nullable(row.remark)});
        if (lines.empty()) return;
        // Drawn last, so that the ledger's counter is held only while the commit is on its way.
        constexpr std::string_view kLedger = "LEDGER";
        const auto count = static_cast<std::int64_t>(lines.size());
        AddDrawNumbers(batch, std::string(kLedger), count,
                       "select coalesce(max(LEDGERID), 0) from KAV_REPORT_SHOW");
        const std::string payMode = PayModeOf(order.code, implied);
        for (std::int64_t i = 0; i < count; ++i) {
            const auto& line = lines[static_cast<std::size_t>(i)];
            batch.Add(
                "insert into KAV_REPORT_SHOW (LEDGERID, NODECODE, ORDERCODE, PRODUCTCODE, PRICELEVEL, "
                "DISCOUNT, AMOUNT, PRICE, SALESORT, ACTIONKIND, SALECLASSCODE, ORDERSOURCE, ORDERFROM, "
                "PAYMODECODE, ACCOUNTUSER, ACCOUNTGROUP, ACCOUNTTIME, ISPLACERESERVE) values (" +
                    LastDrawnSql(kLedger) +
                    " - ?16, ?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, '01', ?9, ?10, ?10, ?11, ?12, ?13, ?14, ?15)",
                {caller_.node, order.code, order.product, line[0], line[1], line[2],
                 MoneyOf(CentsOf(line[3])), order.saleSort, Nullable(order.saleClass), order.from, payMode,
                 caller_.user, caller_.group, now_,
                 order.placeReserve.empty() ? std::string("N") : order.placeReserve, count - 1 - i});
        }
    }

    static SqlValue Nullable(const std::string& text) { return text.empty() ? SqlValue() : SqlValue(text); }

    Connection& c_;
    const Caller& caller_;
    const AccountInput& input_;
    const std::string now_;
    TContextText params_;
};

} // namespace

AccountInput ReadAccountInput(const Caller& caller, std::string params, RequestPacket& payments,
                              RequestPacket& payModes, RequestPacket& ceilings) {
    AccountInput input;
    input.params = std::move(params);
    for (int row = 0; row < payments.RowCount(); ++row) {
        payments.Select(row);
        CheckNode(payments, caller, "OrderData");
        PaymentRow p{payments.Text("ORDERCODE"), payments.Text("PAYMODECODE"),
                     payments.Text("CREDITCARDSTYLECODE"), payments.Text("CREDITCARDCODE"),
                     RequiredCents(payments, "RELACCEPTABLES", "OrderData")};
        if (p.payMode.empty()) throw EosRemoteException("数据包 OrderData 缺少支付方式 PAYMODECODE");
        input.payments.push_back(std::move(p));
    }
    for (int row = 0; row < payModes.RowCount(); ++row) {
        payModes.Select(row);
        CheckNode(payModes, caller, "cdsPayModeMoneyData");
        PayModeRow p{payModes.Text("ORDERCODE"), payModes.Text("PAYMODECODE"), payModes.Text("PRODUCTCODE"),
                     payModes.Text("REMARK"), RequiredCents(payModes, "AMOUNT", "cdsPayModeMoneyData")};
        if (p.payMode.empty())
            throw EosRemoteException("数据包 cdsPayModeMoneyData 缺少支付方式 PAYMODECODE");
        input.payModes.push_back(std::move(p));
    }
    for (int row = 0; row < ceilings.RowCount(); ++row) {
        ceilings.Select(row);
        CheckNode(ceilings, caller, "GroupSaleMoneyData");
        CeilingRow c{ceilings.Text("GROUPCODE"), ceilings.Text("CREATEGROUP")};
        if (c.groupCode.empty() || c.createGroup.empty())
            throw EosRemoteException("数据包 GroupSaleMoneyData 缺少 GroupCode 或 CreateGroup");
        input.ceilings.push_back(std::move(c));
    }
    return input;
}

AccountOutcome AccountOrder(Connection& connection, const Caller& caller, const AccountInput& input,
                            bool paidOrderIsCollection) {
    SaleAccounting accounting(connection, caller, input);
    std::string order = accounting.OrderCodeParam();
    for (const auto& row : input.payments)
        if (order.empty()) order = row.orderCode;
    if (order.empty()) throw EosRemoteException("收款没有指定订单 (OrderCode)");
    if (paidOrderIsCollection && IsPaidAndNotCollected(connection, caller.node, order))
        return AccountOutcome::Collection;
    // The card's password is checked before the transaction: the check takes a moment.
    std::optional<std::int64_t> member;
    if (accounting.PaysByMemberCard()) member = accounting.MemberPaying(order);
    InTransaction(connection, [&] { accounting.Run({order}, true, member); });
    return AccountOutcome::Accounted;
}

void AccountBatch(Connection& connection, const Caller& caller, const std::string& batchCode,
                  const AccountInput& input) {
    SaleAccounting accounting(connection, caller, input);
    if (accounting.PaysByMemberCard()) throw EosRemoteException("批次收款不能使用会员卡支付");
    InTransaction(connection, [&] {
        const std::vector<std::string> orders = UnpaidBatchOrders(connection, caller.node, batchCode);
        if (orders.empty()) throw EosRemoteException("批次 " + batchCode + " 没有待收款的订单");
        accounting.Run(orders, false);
    });
}

} // namespace kav::server
