#include "reports/common/reportsql.h"

#include "host/sqltext.h"

namespace kav::reports {

namespace {

std::string PeriodClause(const TReportPeriod& period) {
    if (!period.Bounded()) return {};
    return " and r.AccountTime >= " + SqlQuote(period.FromText()) +
           " and r.AccountTime <= " + SqlQuote(period.ToText());
}

std::string PartnerGroups(const std::string& partnerHomePage) {
    return "(select groupcode  from kav_group where homepage=" + SqlQuote(partnerHomePage) + ")";
}

// Place reservations never count; the partner's sales are those accounted by its groups or made by its
// user DMDZP.
std::string SourceClause(TSaleSource source, const std::string& partnerHomePage) {
    const std::string partner = PartnerGroups(partnerHomePage);
    std::string clause = " and r.ISPLACERESERVE ='N'";
    if (source == TSaleSource::Own)
        clause += " and (coalesce(r.AccountGroup, '') not in " + partner +
                  " and  (coalesce(o.createuser, '') <> 'DMDZP')) ";
    if (source == TSaleSource::Partner)
        clause += " and (r.AccountGroup in " + partner + " or (o.createuser = 'DMDZP')) ";
    return clause;
}

std::string TypeClause(TSaleType type) {
    switch (type) {
    case TSaleType::System:
        return " and coalesce(r.orderfrom, '')<>'3'";
    case TSaleType::Online:
        return " and r.orderfrom='3'";
    default:
        return {};
    }
}

std::string SideClause(TSaleType type, TSaleSide side, const std::string& partnerHomePage) {
    const std::string partner = PartnerGroups(partnerHomePage);
    if (side == TSaleSide::Theatre) {
        const std::string notPartnerGroup =
            "coalesce(r.AccountGroup, '') not in " + partner + " and coalesce(r.AccountGroup, '') <> 'DMDZP'";
        const std::string notPartnerClass = "coalesce(r.SALECLASSCODE, '') not like 'WEBDM%'";
        if (type == TSaleType::Online) return "  and " + notPartnerClass;
        if (type == TSaleType::System) return "  and (" + notPartnerGroup + ") ";
        return "  and ((" + notPartnerGroup + ") and  " + notPartnerClass + ") ";
    }
    if (side == TSaleSide::Partner) {
        const std::string partnerGroup = "r.AccountGroup  in " + partner + " or r.AccountGroup = 'DMDZP'";
        const std::string partnerClass = "r.SALECLASSCODE  like 'WEBDM%'";
        if (type == TSaleType::Online) return "  and " + partnerClass;
        if (type == TSaleType::System) return "  and (" + partnerGroup + ") ";
        return "  and ((" + partnerGroup + ") or  " + partnerClass + ") ";
    }
    return {};
}

} // namespace

std::string QuotedCodeList(const std::vector<std::string>& codes) {
    std::string list;
    for (const std::string& code : codes)
        if (!code.empty()) list += (list.empty() ? "" : ",") + SqlQuote(code);
    return list;
}

std::string PerformSaleSQL(const std::string& nodeCode, const std::string& productList,
                           const TReportPeriod& period, TSaleSource source,
                           const std::string& partnerHomePage) {
    std::string sql =
        "select r.ProductCode, p.CName as ProductName, p.HappenTime as HappenTime, l.CName as PlaceName, "
        "r.PRICELEVEL,r.DISCOUNT, r.AMOUNT,r.PRICE, r.SaleSort as SortCode, r.ActionKind, "
        "trim(r.SALECLASSCODE) "
        "as SALECLASSCODE, r.ORDERSOURCE, s.CNAME AS SALESORT, c.CName as SaleClass  from KAV_REPORT_SHOW r "
        "left join KAV_SALE_SORT s on r.NODECODE=s.NODECODE and r.SALESORT=s.SORTCODE left join KAV_Product "
        "p "
        "on r.NodeCode = p.NodeCode and r.ProductCode = p.ProductCode left join KAV_Place l on p.NodeCode = "
        "l.NodeCode and p.PlaceCode = l.PlaceCode";
    if (source != TSaleSource::All) sql += " left join KAV_ORDER_SHOW o on o.OrderCode = r.OrderCode";
    sql +=
        " left join KAV_SaleClass c on r.ProductCode = c.ProductCode and r.SaleClassCode = c.SaleClassCode "
        "where r.NODECODE = " +
        SqlQuote(nodeCode) + " and r.ProductCode in (" + productList + ")";
    return sql + PeriodClause(period) + SourceClause(source, partnerHomePage);
}

std::string PerformPaymentSQL(const std::string& nodeCode, const std::string& productList,
                              const TReportPeriod& period, TSaleSource source,
                              const std::string& partnerHomePage) {
    return "select r.PRODUCTCODE, r.PaymodeCode, r.PriceLevel, min(p.cname) as PayName, sum(r.price) AS "
           "PRICE from "
           "kav_report_show r left join kav_paymode p on r.paymodecode = p.PayModeCode" +
           std::string(source != TSaleSource::All ? " left join KAV_ORDER_SHOW o on o.OrderCode = r.OrderCode"
                                                  : "") +
           "  where r.NODECODE = " + SqlQuote(nodeCode) + " and r.ProductCode in (" + productList + ")" +
           PeriodClause(period) + SourceClause(source, partnerHomePage) +
           " group by r.PRODUCTCODE,r.PaymodeCode,r.PriceLevel";
}

std::string UserSaleSQL(const std::string& nodeCode, const std::string& userList,
                        const std::string& productList, const TReportPeriod& period, TSaleType type,
                        TSaleSide side, const std::string& partnerHomePage) {
    return "select r.AccountUser as UserCode, u.CName as UserName, r.ProductCode, l.CName as PlaceName, "
           "p.CName as "
           "ProductName, p.HappenTime, r.PRICELEVEL, r.DISCOUNT, r.AMOUNT,r.PRICE, r.SaleSort as SortCode, "
           "r.ActionKind, r.SALECLASSCODE,r.ORDERSOURCE,s.CNAME AS SALESORT, c.CName as SaleClass  from "
           "KAV_REPORT_SHOW r inner join KAV_SALE_SORT s on r.NODECODE=s.NODECODE and r.SALESORT=s.SORTCODE "
           "left "
           "join KAV_Product p on r.NodeCode = p.NodeCode and r.ProductCode = p.ProductCode left join "
           "KAV_Place l "
           "on p.PlaceCode = l.PlaceCode  and p.NodeCode=l.NodeCode  left join KAV_User u on r.NodeCode = "
           "u.NodeCode and r.AccountUser = u.UserCode left join KAV_SaleClass c on r.ProductCode = "
           "c.ProductCode "
           "and r.SaleClassCode = c.SaleClassCode  left join KAV_GROUP g  on r.AccountGroup = g.GroupCode  "
           "where "
           "r.NODECODE = " +
           SqlQuote(nodeCode) + " and r.AccountUser in (" + userList + ")" + " and r.ProductCode in (" +
           productList + ")" + PeriodClause(period) + " and r.ISPLACERESERVE = 'N'" + TypeClause(type) +
           SideClause(type, side, partnerHomePage);
}

std::string GroupSaleSQL(const std::string& nodeCode, const std::string& groupList,
                         const std::string& productList, const TReportPeriod& period, TSaleType type,
                         TSaleSide side, const std::string& partnerHomePage) {
    return " select r.ProductCode, g.GroupCode, g.CName as GroupName, p.CName as ProductName, p.HappenTime "
           "as "
           "HappenTime, l.CName as PlaceName, r.PRICELEVEL,r.DISCOUNT, r.AMOUNT,r.PRICE, r.SaleSort as "
           "SortCode, "
           "r.ActionKind, r.SALECLASSCODE,r.ORDERSOURCE,s.CNAME AS SALESORT, c.CName as SaleClass  from "
           "KAV_REPORT_SHOW r inner join KAV_SALE_SORT s on r.NODECODE=s.NODECODE and r.SALESORT=s.SORTCODE "
           "left "
           "join KAV_Group g on r.NodeCode = g.NodeCode and r.AccountGroup = g.GroupCode left join "
           "KAV_Product p "
           "on r.NodeCode = p.NodeCode and r.ProductCode = p.ProductCode left join KAV_Place l on p.NodeCode "
           "= "
           "l.NodeCode and p.PlaceCode = l.PlaceCode left join KAV_SaleClass c on r.ProductCode = "
           "c.ProductCode "
           "and r.SaleClassCode = c.SaleClassCode where r.NODECODE = " +
           SqlQuote(nodeCode) + " and r.ProductCode in (" + productList + ")" + " and r.AccountGroup in (" +
           groupList + ")" + PeriodClause(period) + " and r.ISPLACERESERVE ='N'" + TypeClause(type) +
           SideClause(type, side, partnerHomePage);
}

} // namespace kav::reports
