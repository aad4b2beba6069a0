#pragma once
// TSellerCollectReport: what the user and the group collect reports share. For chosen sellers (users or
// sales groups) and performances it reads the sale rows through the data pipe and the price levels through
// the report's service, and builds the report table: one row per seller, performance, sale sort, sale
// class, discount and order source with the price, tickets and money sold of each price level.
// Performances that no chosen seller sold give no row.
//
// Generate raises EReportCondition for the prompts (with the report's own texts) and what the pipe and the
// service raise. Threading: that of its connection.

#include "host/kavcontext.h"
#include "platform/widgets/reportdocument.h"
#include "reports/common/collectreportcore.h"
#include "reports/common/reportinput.h"
#include "reports/common/reportlookups.h"
#include "reports/common/reportsql.h"
#include "services/dbpipe/tpdbpipe.h"

#include <functional>
#include <optional>

namespace kav::reports {

struct TSellerReportKind {
    const char* codeField;     // "UserCode" / "GroupCode" in the sale rows and, upper case, in the report
    const char* nameField;     // "UserName" / "GroupName"
    const char* nameLabel;     // "售票员" / "销售点"
    const char* discountLabel; // empty: the discount is hidden
    // Prompts: period reversed (and its title), no seller, no performance, no rows.
    const char* reversedPeriod;
    const char* reversedPeriodTitle;
    const char* noSeller;
    const char* noSellerTitle;
    const char* noProduct;
    const char* noProductTitle;
    const char* noRows;
    // The sale rows' statement.
    std::string (*saleSql)(const std::string& nodeCode, const std::string& sellerList,
                           const std::string& productList, const TReportPeriod& period, TSaleType type,
                           TSaleSide side, const std::string& partnerHomePage);
};

struct TSellerSelection {
    std::vector<std::string> sellerCodes;
    TSaleType type = TSaleType::All; // "类型:"
    TSaleSide side = TSaleSide::All; // "分组:"
};

class TSellerCollectReport final {
public:
    using TPriceLevelCall =
        std::function<pelio::Variant(const std::string& context, const std::string& productList)>;

    TSellerCollectReport(const TSellerReportKind& kind, pelio::TPelioClient& client,
                         TPriceLevelCall priceLevels);
    TSellerCollectReport(const TSellerCollectReport&) = delete;
    TSellerCollectReport& operator=(const TSellerCollectReport&) = delete;

    void SetContext(const std::string& text) { session_.SetContext(text); }
    const TKavContext& Context() const noexcept { return session_.Context(); }
    const TReportSiteSettings& SiteSettings() { return session_.SiteSettings(); }
    ITPDBPipe& Pipe() noexcept { return pipe_; }

    // Fills the report table, ordered by `order` (ReportOrder and the like).
    void Generate(const TSellerSelection& sellers, const TProductSelection& products,
                  const TReportCondition& condition, const std::string& order);

    TClientDataSet& cdsReport() { return report_; }
    TClientDataSet& cdsSaleReport() { return sales_.Rows(); }
    TClientDataSet& cdsPriceLevel() { return priceLevels_; }
    const TReportPeriod& Period() const noexcept { return period_; }
    TSaleType Type() const noexcept { return type_; }

    // The report of the last run laid out by `layoutFile`, with the alias CDSREPORT and the parameters
    // USERPRINTNAME, BEGINSALETIME, ENDSALETIME and TITLETYPE. Raises EReportLayout naming the file.
    TReportDocument BuildReport(const std::string& layoutFile);

private:
    void CreateReportTable();
    void Fill();

    const TSellerReportKind& kind_;
    TTPDBPipe pipe_;
    TPriceLevelCall priceLevelCall_;
    TReportSession session_{pipe_};
    TReportPeriod period_;
    TSaleType type_ = TSaleType::All;
    TClientDataSet report_, priceLevels_;
    TSaleRows sales_;
};

} // namespace kav::reports
