#include "reports/common/collectreportcore.h"

#include "platform/core/datetime.h"

#include <algorithm>
#include <cmath>

namespace kav::reports {

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> FieldNames(const std::string& fields) {
    return SplitFieldNames(fields);
}

} // namespace

std::optional<std::size_t> LevelSlot(std::string_view letter) {
    if (letter.size() != 1) return std::nullopt;
    const std::size_t slot = FPriceLevel.find(letter[0]);
    if (slot == std::string_view::npos) return std::nullopt;
    return slot;
}

std::map<std::string, TLevelPrices> PricesByProduct(TClientDataSet& priceLevels) {
    std::map<std::string, TLevelPrices> prices;
    TField& product = priceLevels.FieldByName("PRODUCTCODE");
    TField& level = priceLevels.FieldByName("PRICELEVEL");
    TField& price = priceLevels.FieldByName("PRICE");
    for (priceLevels.First(); !priceLevels.Eof(); priceLevels.Next())
        if (const auto slot = LevelSlot(level.AsString()))
            prices[product.AsString()][*slot] = price.AsFloat();
    return prices;
}

TSaleTexts SaleTextsOf(const std::string& sortCode, const std::string& sortName,
                       const std::string& saleClassCode, const std::string& saleClassName,
                       const std::string& discount) {
    TSaleTexts texts;
    texts.sortCode = sortCode;
    if (!Trimmed(saleClassCode).empty()) {
        texts.saleSort = sortName;
        texts.saleClassName = saleClassName;
    } else {
        if (sortCode == "05") {
            texts.saleSort = "提票";
        } else if (sortCode == "08") {
            texts.saleSort = "赠票";
        } else {
            texts.saleSort = "售票";
            texts.sortCode = "01";
        }
        texts.saleClassName = sortName == "售票" ? "普通票" : sortName;
    }
    texts.saleClass = texts.saleClassName + "(" + discount + "%)";
    return texts;
}

std::string HappenTimeText(const TField& happenTime) {
    if (happenTime.IsNull()) return {};
    if (happenTime.DataType() == TFieldType::ftString) return happenTime.AsString().substr(0, 16);
    return FormatDateTimeIso(happenTime.AsDateTime()).substr(0, 16);
}

std::string OrderSourceName(const std::string& orderSource) {
    if (orderSource == "2") return "呼叫中心";
    if (orderSource == "3") return "网上";
    return "柜台";
}

void WriteSaleTexts(TClientDataSet& report, TClientDataSet& saleRow) {
    const TSaleTexts texts =
        SaleTextsOf(saleRow.FieldByName("SortCode").AsString(), saleRow.FieldByName("SALESORT").AsString(),
                    saleRow.FieldByName("SALECLASSCODE").AsString(),
                    saleRow.FieldByName("SaleClass").AsString(), saleRow.FieldByName("DISCOUNT").AsString());
    report.FieldByName("PRODUCTCODE").SetAsString(saleRow.FieldByName("ProductCode").AsString());
    report.FieldByName("PRODUCTNAME").SetAsString(saleRow.FieldByName("ProductName").AsString());
    report.FieldByName("PLACENAME").SetAsString(saleRow.FieldByName("PlaceName").AsString());
    report.FieldByName("HAPPENTIME").SetAsString(HappenTimeText(saleRow.FieldByName("HappenTime")));
    report.FieldByName("SORTCODE").SetAsString(texts.sortCode);
    report.FieldByName("SALESORT").SetAsString(texts.saleSort);
    report.FieldByName("SALECLASSCODE").SetAsString(saleRow.FieldByName("SALECLASSCODE").AsString());
    report.FieldByName("SALECLASS").SetAsString(texts.saleClass);
    report.FieldByName("SALECLASSNAME").SetAsString(texts.saleClassName);
    report.FieldByName("DISCOUNT").SetValue(saleRow.FieldByName("DISCOUNT").Value());
    report.FieldByName("ORDERSOURCE").SetAsString(saleRow.FieldByName("ORDERSOURCE").AsString());
    report.FieldByName("ORDERSOURCENAME")
        .SetAsString(OrderSourceName(saleRow.FieldByName("ORDERSOURCE").AsString()));
}

TSaleRows::TSaleRows(std::string indexFields) : indexFields_(std::move(indexFields)) {}

void TSaleRows::Load(std::string_view packet) {
    rows_.SetData(packet);
    rows_.AddIndex("MyIndex", indexFields_);
    rows_.SetIndexName("MyIndex");
}

void TSaleRows::ForEachGroup(const std::function<void(TClientDataSet& rows, const TLevelSums& sums)>& row) {
    const std::vector<std::string> names = FieldNames(indexFields_);
    std::vector<int> keys; // the group's fields: all of the index's but the level
    for (std::size_t i = 0; i + 1 < names.size(); ++i)
        keys.push_back(rows_.FieldByName(names[i]).Index());
    const int level = rows_.FieldByName(names.back()).Index();
    const int amount = rows_.FieldByName("Amount").Index();
    const int price = rows_.FieldByName("Price").Index();
    const int count = rows_.RecordCount();

    // The rows of a group follow each other in index order: one pass adds them up.
    for (int first = 0; first < count;) {
        TLevelSums sums;
        std::array<std::int64_t, kLevelCount> cents{};
        int next = first;
        for (; next < count; ++next) {
            if (next > first && !std::all_of(keys.begin(), keys.end(), [&](int field) {
                    return rows_.ValueAt(next, field) == rows_.ValueAt(first, field);
                }))
                break;
            const FieldValue letter = rows_.ValueAt(next, level);
            const auto slot =
                letter.GetKind() == FieldValue::Kind::String ? LevelSlot(letter.String()) : std::nullopt;
            if (!slot) continue;
            const FieldValue a = rows_.ValueAt(next, amount), m = rows_.ValueAt(next, price);
            sums.amount[*slot] += a.GetKind() == FieldValue::Kind::Integer ? a.Integer()
                                  : a.GetKind() == FieldValue::Kind::Float ? std::llround(a.Float())
                                                                           : 0;
            cents[*slot] += m.GetKind() == FieldValue::Kind::Float     ? std::llround(m.Float() * 100)
                            : m.GetKind() == FieldValue::Kind::Integer ? m.Integer() * 100
                                                                       : 0;
        }
        for (std::size_t i = 0; i < kLevelCount; ++i)
            sums.money[i] = static_cast<double>(cents[i]) / 100;
        rows_.SetRecNo(first + 1);
        row(rows_, sums);
        first = next;
    }
}

void AddReportFields(TClientDataSet& report, std::initializer_list<TReportLabel> fields) {
    for (const TReportLabel& f : fields) {
        TFieldDef& def = report.AddFieldDef(f.name, f.type, f.size);
        if (*f.label)
            def.displayLabel = f.label;
        else
            def.visible = false;
    }
}

void AddSaleTextFields(TClientDataSet& report, const char* placeLabel, TFieldType happenTimeType,
                       const char* discountLabel) {
    AddReportFields(
        report, {{"PRODUCTCODE", "", TFieldType::ftString, 8},
                 {"PRODUCTNAME", "演出名称", TFieldType::ftString, 64},
                 {"PLACENAME", placeLabel, TFieldType::ftString, 64},
                 {"HAPPENTIME", "演出时间", happenTimeType, happenTimeType == TFieldType::ftString ? 20 : 0},
                 {"SORTCODE", "", TFieldType::ftString, 2},
                 {"SALESORT", "销售大类", TFieldType::ftString, 64},
                 {"SALECLASSCODE", "", TFieldType::ftString, 8},
                 {"SALECLASS", "销售政策", TFieldType::ftString, 80},
                 {"SALECLASSNAME", "", TFieldType::ftString, 100},
                 {"DISCOUNT", discountLabel, TFieldType::ftSmallint, 0},
                 {"ORDERSOURCE", "", TFieldType::ftString, 1},
                 // Rows differ by order source too; the name tells them apart on paper.
                 {"ORDERSOURCENAME", "订单来源", TFieldType::ftString, 20}});
}

void AddLevelFields(TClientDataSet& report, std::initializer_list<TReportLabel> suffixes) {
    for (char level : FPriceLevel)
        for (const TReportLabel& f : suffixes) {
            TFieldDef& def = report.AddFieldDef(std::string(1, level) + "_" + f.name, f.type, f.size);
            def.displayLabel = std::string(1, level) + "级＿" + f.label;
        }
}

std::string ReportOrder(const std::string& sortOption, const std::string& leading) {
    if (sortOption == "PlaceName")
        return leading + "PlaceName;HappenTime;ProductName;SortCode;SaleClassName;DisCount;OrderSource";
    if (sortOption == "ProductName")
        return leading + "ProductName;HappenTime;PlaceName;SortCode;SaleClassName;DisCount;OrderSource";
    return leading + "HappenTime;ProductName;PlaceName;SortCode;SaleClassName;DisCount;OrderSource";
}

} // namespace kav::reports
