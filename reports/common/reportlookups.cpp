#include "reports/common/reportlookups.h"

#include "host/sqltext.h"
#include "reports/common/reportsql.h"

namespace kav::reports {

namespace {

void Load(ITPDBPipe& pipe, const TKavContext& context, TClientDataSet& into, TReportLookup lookup) {
    into.SetData(
        pipe.GetData(context.GetAsString(), ReportLookupSQL(lookup, context.NodeCode())).ByteArrayView());
}

template <class Row, class Read>
std::vector<Row> Rows(ITPDBPipe& pipe, const TKavContext& context, TReportLookup lookup, Read read) {
    TClientDataSet rows;
    Load(pipe, context, rows, lookup);
    std::vector<Row> result;
    for (rows.First(); !rows.Eof(); rows.Next())
        result.push_back(read(rows));
    return result;
}

std::string Text(TClientDataSet& rows, const char* field) {
    return rows.FieldByName(field).AsString();
}

std::string ProductsOfNode(const std::string& quotedNode) {
    return "select p.PRODUCTCODE as ProductCode, p.CNAME as ProductName, l.CNAME as PlaceName, "
           "p.HAPPENTIME as "
           "HappenTime, p.MAPCODE as MapCode, p.PLACECODE as PlaceCode, p.PRODUCTCLASSCODE as "
           "ProductClassCode, "
           "p.PRODUCTOWNERGROUP as OwnerGroup, g.CNAME as OwnerName from KAV_PRODUCT p left join "
           "KAV_PLACE l on "
           "p.NODECODE = l.NODECODE and p.PLACECODE = l.PLACECODE left join KAV_GROUP g on g.GROUPCODE = "
           "p.PRODUCTOWNERGROUP where p.NODECODE = " +
           quotedNode;
}

constexpr const char* kProductOrder = " order by p.HAPPENTIME desc, p.PRODUCTCODE";

} // namespace

std::string NamedProductsSQL(const std::string& nodeCode, const std::vector<std::string>& productCodes) {
    return ProductsOfNode(SqlQuote(nodeCode)) + " and p.PRODUCTCODE in (" + QuotedCodeList(productCodes) +
           ")" + kProductOrder;
}

std::string ReportLookupSQL(TReportLookup lookup, const std::string& nodeCode) {
    const std::string node = SqlQuote(nodeCode);
    switch (lookup) {
    case TReportLookup::Products:
        return ProductsOfNode(node) + kProductOrder;
    case TReportLookup::SaleClassNames:
        return "select PRODUCTCODE, CNAME from KAV_SALECLASS where NODECODE = " + node +
               " order by PRODUCTCODE, SALECLASSCODE";
    case TReportLookup::Places:
        return "select PLACECODE, CNAME from KAV_PLACE where NODECODE = " + node + " order by PLACECODE";
    case TReportLookup::ProductClasses:
        return "select PRODUCTCLASSCODE, CNAME from KAV_PRODUCTCLASS where NODECODE = " + node +
               " order by PRODUCTCLASSCODE";
    case TReportLookup::Groups:
        return "select GROUPCODE, CNAME, GROUPTYPE, OWNERCODE from KAV_GROUP where NODECODE = " + node +
               " order by GROUPCODE";
    case TReportLookup::Users:
        return "select USERCODE, CNAME, GROUPCODE, ISVALID from KAV_USER where NODECODE = " + node +
               " order by GROUPCODE, USERCODE";
    case TReportLookup::SiteSettings:
        return "select CUSTOMMODULE, CNAME from KAV_SYSINFO_SHOW where CUSTOMMODULE in "
               "('REPORTPARTNERHOMEPAGE', "
               "'REPORTVENUENAME') and ISVALID = 'Y'";
    }
    return {};
}

void LoadProducts(ITPDBPipe& pipe, const TKavContext& context, TClientDataSet& products) {
    Load(pipe, context, products, TReportLookup::Products);
}

void LoadProducts(ITPDBPipe& pipe, const TKavContext& context, const std::vector<std::string>& productCodes,
                  TClientDataSet& products) {
    products.SetData(pipe.GetData(context.GetAsString(), NamedProductsSQL(context.NodeCode(), productCodes))
                         .ByteArrayView());
}

void LoadSaleClassNames(ITPDBPipe& pipe, const TKavContext& context, TClientDataSet& saleClasses) {
    Load(pipe, context, saleClasses, TReportLookup::SaleClassNames);
}

std::vector<TCodeName> LoadPlaces(ITPDBPipe& pipe, const TKavContext& context) {
    return Rows<TCodeName>(pipe, context, TReportLookup::Places, [](TClientDataSet& r) {
        return TCodeName{Text(r, "PLACECODE"), Text(r, "CNAME")};
    });
}

std::vector<TCodeName> LoadProductClasses(ITPDBPipe& pipe, const TKavContext& context) {
    return Rows<TCodeName>(pipe, context, TReportLookup::ProductClasses, [](TClientDataSet& r) {
        return TCodeName{Text(r, "PRODUCTCLASSCODE"), Text(r, "CNAME")};
    });
}

std::vector<TReportGroup> LoadGroups(ITPDBPipe& pipe, const TKavContext& context) {
    return Rows<TReportGroup>(pipe, context, TReportLookup::Groups, [](TClientDataSet& r) {
        return TReportGroup{Text(r, "GROUPCODE"), Text(r, "CNAME"), Text(r, "GROUPTYPE"),
                            Text(r, "OWNERCODE")};
    });
}

std::vector<TReportUser> LoadUsers(ITPDBPipe& pipe, const TKavContext& context) {
    return Rows<TReportUser>(pipe, context, TReportLookup::Users, [](TClientDataSet& r) {
        return TReportUser{Text(r, "USERCODE"), Text(r, "CNAME"), Text(r, "GROUPCODE"),
                           Text(r, "ISVALID") != "N"};
    });
}

TReportSiteSettings LoadReportSiteSettings(ITPDBPipe& pipe, const TKavContext& context) {
    TReportSiteSettings settings;
    settings.venueName = context.SiteName();
    TClientDataSet rows;
    Load(pipe, context, rows, TReportLookup::SiteSettings);
    for (rows.First(); !rows.Eof(); rows.Next()) {
        const std::string value = Text(rows, "CNAME");
        if (Text(rows, "CUSTOMMODULE") == "REPORTPARTNERHOMEPAGE") settings.partnerHomePage = value;
        if (Text(rows, "CUSTOMMODULE") == "REPORTVENUENAME" && !value.empty()) settings.venueName = value;
    }
    return settings;
}

void TReportSession::SetContext(const std::string& text) {
    context_.SetAsString(text);
    settings_.reset();
}

const TReportSiteSettings& TReportSession::SiteSettings() {
    if (!settings_) settings_ = LoadReportSiteSettings(pipe_, context_);
    return *settings_;
}

} // namespace kav::reports
