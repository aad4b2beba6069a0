#pragma once
// What the report boxes and the command line look up through the data pipe, for the node of a context:
// performances with their venue, kind, organiser and seat map; sale class names per performance; venues;
// kinds of performance; sales groups; users; and the site's report settings. Each reads one statement
// (server/schema/statements.sql) and raises what the pipe raises.

#include "host/kavcontext.h"
#include "platform/dataset/clientdataset.h"
#include "services/dbpipe/tpdbpipe_int.h"

#include <optional>
#include <string>
#include <vector>

namespace kav::reports {

// The statements, for the node.
enum class TReportLookup { Products, SaleClassNames, Places, ProductClasses, Groups, Users, SiteSettings };
std::string ReportLookupSQL(TReportLookup lookup, const std::string& nodeCode);
// The performances lookup narrowed to the named ones (at least one code), for a caller that knows which
// it wants: a node keeps every performance it ever had.
std::string NamedProductsSQL(const std::string& nodeCode, const std::vector<std::string>& productCodes);

// Fields ProductCode, ProductName, PlaceName, HappenTime, MapCode, PlaceCode, ProductClassCode,
// OwnerGroup, OwnerName; latest performance first.
void LoadProducts(ITPDBPipe& pipe, const TKavContext& context, TClientDataSet& products);
// The same fields and order, for the named performances only.
void LoadProducts(ITPDBPipe& pipe, const TKavContext& context, const std::vector<std::string>& productCodes,
                  TClientDataSet& products);
// Fields PRODUCTCODE, CNAME: the sale classes of every performance.
void LoadSaleClassNames(ITPDBPipe& pipe, const TKavContext& context, TClientDataSet& saleClasses);

struct TCodeName {
    std::string code, name;
};
std::vector<TCodeName> LoadPlaces(ITPDBPipe& pipe, const TKavContext& context);
std::vector<TCodeName> LoadProductClasses(ITPDBPipe& pipe, const TKavContext& context);

struct TReportGroup {
    std::string code, name, type, owner;
};
struct TReportUser {
    std::string code, name, group;
    bool valid = true;
};
std::vector<TReportGroup> LoadGroups(ITPDBPipe& pipe, const TKavContext& context);
std::vector<TReportUser> LoadUsers(ITPDBPipe& pipe, const TKavContext& context);

// Site settings of the reports (rows of KAV_SYSINFO_SHOW): the partner's web address, by which its
// sales groups are known (REPORTPARTNERHOMEPAGE), and the name under which the site's own sales are
// offered (REPORTVENUENAME; the context's site name when not set).
struct TReportSiteSettings {
    std::string partnerHomePage;
    std::string venueName;
};
TReportSiteSettings LoadReportSiteSettings(ITPDBPipe& pipe, const TKavContext& context);

// A report data module's session: its context, and the site settings read for it at their first use. The
// pipe must outlive the object.
class TReportSession final {
public:
    explicit TReportSession(ITPDBPipe& pipe) : pipe_(pipe) {}

    // Raises ContextTextError for a text that is not a context; the session keeps its context then.
    void SetContext(const std::string& text);
    const TKavContext& Context() const noexcept { return context_; }
    const TReportSiteSettings& SiteSettings();

private:
    ITPDBPipe& pipe_;
    TKavContext context_;
    std::optional<TReportSiteSettings> settings_;
};

} // namespace kav::reports
