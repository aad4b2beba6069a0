#include "orderhandler/odrhsql.h"

#include "host/sqltext.h"

#include <stdexcept>

namespace kav::orderhandler {

namespace {

// Customer columns of partner web sales (sale class WEBDM) are masked.
constexpr std::string_view kOrderSelect =
    "select o.NODECODE, o.ORDERCODE, o.SaleClassCode, o.SectionCode, o.ORDERFROM, o.ProductCode, "
    "o.INVOICEHEAD, "
    "p.CNAME as PRODUCTNAME, p.PRODUCTOWNERGROUP, o.IsGift, o.MEMBERID, l.CNAME as PLACENAME, p.HAPPENTIME "
    "as "
    "PRODUCTHAPPENTIME, p.USERREGTYPE, s.CNAME as SALECLASSNAME, o.SEATCOUNT, o.RECEIVABLES, g.OWNERCODE, "
    "g.GROUPTYPE, o.CREATEGROUP, g.CNAME as CREATEGROUPNAME, o.CREATEUSER, o.MEMBERCARDNO, u.CNAME as "
    "USERNAME, "
    "cast(u1.CNAME as VARCHAR(100)) as ORDERHANDLERUSERNAME, o.CREATETIME as ORDERTIME, o.CLIENTTYPE, case "
    "o.SALECLASSCODE when 'WEBDM' then '大麦购票' else c.CNAME end as CUSTOMERNAME, case o.SALECLASSCODE "
    "when "
    "'WEBDM' then '123' else c.CELLPHONE end as CUSTOMERCELLPHONE, case o.SALECLASSCODE when 'WEBDM' then "
    "'123' "
    "else c.TEL end as CUSTOMERTEL, case o.SALECLASSCODE when 'WEBDM' then '123' else c.EMAIL end as EMAIL, "
    "case "
    "o.SALECLASSCODE when 'WEBDM' then '大麦购票' else c.CADDRESS end as FETCHADDRESS, case o.SALECLASSCODE "
    "when 'WEBDM' then '' else c.IDENTCODE end as IDENTCODE, c.Comment as ShippingComment, c.sex, "
    "c.CLIENTLEVEL, "
    "c.IDENTTYPEID, o.FETCHWAY, o.ORDERSTATUS, o.ORDERHANDLERUSER, g1.CName as ORDERHANDLERGROUP, "
    "o.ORDERHANDLERTIME, o.ORDERPASSWORD, i.IDENTTYPENAME, i.CERTIFICATETYPE, o.PAYMODECODE, o.ISFeeMember, "
    "o.ISPRINT from KAV_ORDER_SHOW o left join KAV_PRODUCT p on o.NODECODE = p.NODECODE and o.PRODUCTCODE = "
    "p.PRODUCTCODE left join KAV_PLACE l on p.NODECODE = l.NODECODE and p.PLACECODE = l.PLACECODE left join "
    "KAV_GROUP g on o.NODECODE = g.NODECODE and o.CREATEGROUP = g.GROUPCODE left join KAV_SALECLASS s on "
    "o.NODECODE = s.NODECODE and o.PRODUCTCODE = s.PRODUCTCODE and o.SALECLASSCODE = s.SALECLASSCODE left "
    "join "
    "KAV_ORDER_CLIENT_SHOW c on o.NODECODE = c.NODECODE and o.ORDERCODE = c.ORDERCODE left join "
    "KAV_MEMBER_IDENTTYPE i on c.NODECODE = i.NODECODE and c.IDENTTYPEID = i.IDENTTYPEID left join KAV_USER "
    "u on "
    "u.usercode = o.createuser left join KAV_USER u1 on u1.usercode = o.ORDERHANDLERUSER left join KAV_GROUP "
    "g1 on "
    "g1.groupcode = u1.groupcode";

// Orders of the session's node; orders without seats are never listed.
constexpr std::string_view kOrderWhere = " where o.NODECODE = '%s' and o.SEATCOUNT > 0";

constexpr std::string_view kSeatSelect =
    "select s.OrderCode,e.cname as SectionName, f.name as FloorName, r.name as RowName, s.SeatCode, "
    "s.SeatNo, "
    "s.Status, s.PriceLevel, d.Price, d.Discount, d.TOTALPRICE, d.SeatAmount from KAV_SEAT_SHOW s left join "
    "KAV_ORDER_DISCOUNT_SHOW d on s.ordercode = d.ordercode and s.pricelevel = d.pricelevel left join "
    "kav_section_show e on s.sectioncode = e.sectioncode left join kav_floor_show f on s.sectioncode = "
    "f.sectioncode  and s.floorno = f.floorno left join kav_row_show r on s.sectioncode = r.sectioncode and "
    "s.floorno = r.floorno and s.rowno = r.rowno where s.NODECODE = ";
constexpr std::string_view kSeatOrderCode = " and s.ORDERCODE = ";
constexpr std::string_view kSeatOrderBy = " order by s.PriceLevel, s.RowNo, s.Y, s.X";

std::string OrderSelect(std::string_view nodeCode) {
    return std::string(kOrderSelect) + SqlFormat(kOrderWhere, {nodeCode});
}

// A comma-separated list of one or more string literals whose apostrophes are doubled.
bool IsStringLiteralList(std::string_view text) {
    std::size_t i = 0;
    for (;;) {
        if (i >= text.size() || text[i] != '\'') return false;
        for (++i;; ++i) {
            if (i >= text.size()) return false;
            if (text[i] != '\'') continue;
            if (i + 1 < text.size() && text[i + 1] == '\'') {
                ++i;
                continue;
            }
            break;
        }
        ++i; // past the closing apostrophe
        if (i == text.size()) return true;
        if (text[i] != ',') return false;
        ++i;
    }
}

void AppendRange(std::string& sql, std::string_view pattern, const std::string& from, const std::string& to) {
    sql += SqlFormat(pattern, {from, to});
}

} // namespace

std::string GetOrderInfoSQL(std::string_view nodeCode, std::string_view orderCode) {
    return OrderSelect(nodeCode) + SqlFormat(" and o.OrderCode = '%s'", {orderCode});
}

std::string GetOrderPSInfoSQL(std::string_view nodeCode, std::string_view password, TDateTime now) {
    // ISO dates: the database compares date-times as text, where a locale's short date would not sort.
    return OrderSelect(nodeCode) + SqlFormat(" and o.ORDERPASSWORD = '%s'", {password}) +
           " and (o.CREATETIME BETWEEN '" + FormatDateIso(now - 360) + "' and '" + FormatDateIso(now + 1) +
           "')";
}

std::string GetOrderInfoSQL(std::string_view nodeCode, const TOrderHandlerSearchCondition& c) {
    std::string sql = OrderSelect(nodeCode);
    if (!c.ignoreClientType) sql += SqlFormat(" and o.CLIENTTYPE = '%s'", {c.clientType});
    if (!c.ignoreOrderStatus) {
        if (c.orderStatus == kStatusPaidOrCollected)
            sql += " and ORDERSTATUS in ( 'R','A')";
        else if (c.orderStatus != kStatusAll)
            sql += SqlFormat(" and ORDERSTATUS = '%s'", {c.orderStatus});
    }
    if (!c.ignoreProductCodes) {
        if (!IsStringLiteralList(c.productCodes))
            throw std::invalid_argument("product codes are not a list of string literals: " + c.productCodes);
        sql += " and o.PRODUCTCODE in (" + c.productCodes + ")";
    }
    if (!c.ignoreOrderFrom) {
        // A call-centre search lists every order that is not an online order.
        if (c.orderFrom == kOrderFromCallCentre)
            sql += SqlFormat(" and o.ORDERFROM <> '%s'", {kOrderFromOnline});
        else
            sql += SqlFormat(" and o.ORDERFROM = '%s'", {c.orderFrom});
    }
    if (!c.ignoreCustomerName) sql += SqlFormat(" and c.CNAME = '%s'", {c.customerName});
    if (!c.ignoreTelephone) sql += SqlFormat(" and c.TEL = '%s'", {c.telephone});
    if (!c.ignoreCellPhone) sql += SqlFormat(" and c.CELLPHONE = '%s'", {c.cellPhone});
    if (!c.ignoreCertificate)
        sql += SqlFormat(" and i.CERTIFICATETYPE = '%s' and c.IDENTCODE = '%s'",
                         {c.certificateType, c.identityNumber});
    if (!c.ignoreCreateTime)
        AppendRange(sql, " and o.CREATETIME >= '%s' and o.CREATETIME <= '%s'",
                    FormatDateTimeIso(c.createTimeFrom), FormatDateTimeIso(c.createTimeTo));
    if (!c.ignoreHandlerTime)
        AppendRange(sql, " and o.ORDERHANDLERTIME >= '%s' and o.ORDERHANDLERTIME <= '%s'",
                    FormatDateTimeIso(c.handlerTimeFrom), FormatDateTimeIso(c.handlerTimeTo));
    if (!c.ignoreFailDate)
        AppendRange(sql, " and o.FAILTIME >= '%s' and o.FAILTIME <= '%s'",
                    FormatDateIso(c.failDateFrom) + " 00:00:00", FormatDateIso(c.failDateTo) + " 23:59:59");
    if (!c.ignoreMemberCardNo) sql += SqlFormat(" and o.MEMBERCARDNO = '%s'", {c.memberCardNo});
    // Online orders are visible to every group.
    if (c.groupType != kGroupTypeAll && c.orderFrom != kOrderFromOnline) {
        if (c.groupScope < 0)
            sql += SqlFormat(" and (g.OWNERCODE = '%s' or g.GroupCode ='%s')", {c.groupCode, c.groupCode});
        else if (c.groupScope == 0)
            sql += SqlFormat(" and o.CREATEGROUP = '%s'", {c.groupCode});
    }
    if (!c.ignoreEmail) sql += SqlFormat(" and c.EMAIL like '%s'", {"%" + c.email + "%"});
    if (!c.ignoreComment) sql += SqlFormat(" and c.Comment like '%s'", {"%" + c.comment + "%"});
    return sql;
}

std::string GetOrderSeatInfoSQL() {
    return std::string(kSeatSelect) + ":NODECODE" + std::string(kSeatOrderCode) + ":ORDERCODE" +
           std::string(kSeatOrderBy);
}

std::string GetOrderSeatInfoExSQL(std::string_view nodeCode, std::string_view orderCode) {
    return std::string(kSeatSelect) + SqlQuote(nodeCode) + std::string(kSeatOrderCode) + SqlQuote(orderCode) +
           std::string(kSeatOrderBy);
}

std::string GetOrderDiscountInfoSQL() {
    return " Select NodeCode,OrderCode,SeatAmount,Price,TicketPrice,Discount from KAV_ORDER_DISCOUNT_SHOW  "
           "where "
           "NodeCode=:NodeCode and OrderCode=:OrderCode and SeatAmount > 0 ";
}

} // namespace kav::orderhandler
