#pragma once
// What the three collect report data modules share: the twelve price level columns, the prices of a
// performance by level, the texts of a report row's sale sort and sale class, the sale rows grouped with
// their sums per level, the report table's fields and order, and the refusals a window shows as prompts.

#include "platform/dataset/clientdataset.h"
#include "services/collectreport/tpcollectreport_int.h"

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kav::reports {

// The price level letters the reports have columns for, in column order (no I and no L).
inline constexpr std::string_view FPriceLevel = kReportPriceLevels;
inline constexpr std::size_t kLevelCount = FPriceLevel.size();

// A generate run that cannot go on, with the prompt a window shows (message and title); the command line
// prints the message.
class EReportCondition : public std::runtime_error {
public:
    EReportCondition(const std::string& message, std::string title)
        : std::runtime_error(message), title_(std::move(title)) {}
    const std::string& Title() const noexcept { return title_; }

private:
    std::string title_;
};

// A level letter's column (0 to 11), or none for a letter the reports have no column for.
std::optional<std::size_t> LevelSlot(std::string_view letter);

using TLevelPrices = std::array<double, kLevelCount>;
// The prices of each performance by level, from price level rows (PRODUCTCODE, PRICELEVEL, PRICE): each
// price in its own level's slot, never by row order; rows of unknown letters are skipped.
std::map<std::string, TLevelPrices> PricesByProduct(TClientDataSet& priceLevels);

struct TSaleTexts {
    std::string sortCode;      // "01" for a row without sale class that is neither collection nor gift
    std::string saleSort;      // 销售大类
    std::string saleClass;     // 销售政策 with the discount: "正价票(100%)"
    std::string saleClassName; // the policy alone, for sorting
};
// The texts of a report row from its sale row: with a sale class (blanks trimmed) its sort name and the
// class; without, "提票" for sort 05, "赠票" for 08, else "售票" (sort 01), the class being the sort's name
// ("售票" shown as "普通票").
TSaleTexts SaleTextsOf(const std::string& sortCode, const std::string& sortName,
                       const std::string& saleClassCode, const std::string& saleClassName,
                       const std::string& discount);

// "YYYY-MM-DD HH:MM" of a performance time read from a sale row (a date-time, or text in that form).
std::string HappenTimeText(const TField& happenTime);

// The order source as the box office names it: "呼叫中心" (2), "网上" (3), "柜台" (any other).
std::string OrderSourceName(const std::string& orderSource);

// Writes a sale row's performance (PRODUCTCODE, PRODUCTNAME, PLACENAME, HAPPENTIME), its texts (SORTCODE,
// SALESORT, SALECLASSCODE, SALECLASS, SALECLASSNAME), DISCOUNT, ORDERSOURCE and ORDERSOURCENAME into the
// report row being appended.
void WriteSaleTexts(TClientDataSet& report, TClientDataSet& saleRow);

// Sold tickets and money of one report row, by level.
struct TLevelSums {
    std::array<std::int64_t, kLevelCount> amount{};
    std::array<double, kLevelCount> money{};
};

// The sale rows of a report, ordered by the index MyIndex on `indexFields` (the last being PriceLevel).
class TSaleRows {
public:
    explicit TSaleRows(std::string indexFields);
    TSaleRows(const TSaleRows&) = delete;
    TSaleRows& operator=(const TSaleRows&) = delete;

    void Load(std::string_view packet);
    TClientDataSet& Rows() { return rows_; }
    bool IsEmpty() const { return rows_.IsEmpty(); }

    // Calls `row` once per group of the index's fields but the level, in index order, with the rows
    // positioned on the group's first row and the group's tickets (Amount) and money (Price, added up in
    // cents) per level; a level without rows has 0, a level outside the twelve is not counted.
    void ForEachGroup(const std::function<void(TClientDataSet& rows, const TLevelSums& sums)>& row);

private:
    std::string indexFields_;
    TClientDataSet rows_;
};

struct TReportLabel {
    const char* name;
    const char* label; // empty: the field is hidden
    TFieldType type;
    int size;
};
// Adds the fields to a report table's definitions, hidden where they have no label.
void AddReportFields(TClientDataSet& report, std::initializer_list<TReportLabel> fields);
// Adds the fields WriteSaleTexts writes, with their labels: the venue labelled `placeLabel`, the time a
// date-time or a text of 20, the discount hidden unless it has a label.
void AddSaleTextFields(TClientDataSet& report, const char* placeLabel, TFieldType happenTimeType,
                       const char* discountLabel);
// Adds per level, for each suffix, the field LEVEL_SUFFIX labelled "L级＿label".
void AddLevelFields(TClientDataSet& report, std::initializer_list<TReportLabel> suffixes);

// The report's order for the condition box's sort option ("PlaceName", "ProductName", else by time),
// after `leading` ("UserName;" or empty).
std::string ReportOrder(const std::string& sortOption, const std::string& leading);

} // namespace kav::reports
