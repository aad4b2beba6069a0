#include "reports/common/sellercollectreport.h"

#include "platform/core/textcodec.h"
#include "platform/widgets/reportengine.h"

namespace kav::reports {

TSellerCollectReport::TSellerCollectReport(const TSellerReportKind& kind, pelio::TPelioClient& client,
                                           TPriceLevelCall priceLevels)
    : kind_(kind), pipe_(&client), priceLevelCall_(std::move(priceLevels)),
      sales_(std::string(kind.codeField) +
             ";ProductCode;SortCode;SaleClassCode;DisCount;OrderSource;PriceLevel") {}

void TSellerCollectReport::Generate(const TSellerSelection& sellers, const TProductSelection& products,
                                    const TReportCondition& condition, const std::string& order) {
    if (condition.period.Reversed()) throw EReportCondition(kind_.reversedPeriod, kind_.reversedPeriodTitle);
    const std::string sellerList = QuotedCodeList(sellers.sellerCodes);
    if (sellerList.empty()) throw EReportCondition(kind_.noSeller, kind_.noSellerTitle);
    const std::string productList = QuotedCodeList(products.productCodes);
    if (productList.empty()) throw EReportCondition(kind_.noProduct, kind_.noProductTitle);
    period_ = condition.period;
    type_ = sellers.type;
    const std::string& context = Context().GetAsString();

    sales_.Load(
        pipe_
            .GetData(context, kind_.saleSql(Context().NodeCode(), sellerList, productList, period_,
                                            sellers.type, sellers.side, SiteSettings().partnerHomePage))
            .ByteArrayView());
    if (sales_.IsEmpty()) throw EReportCondition(kind_.noRows, "提示信息");
    priceLevels_.SetData(priceLevelCall_(context, productList).ByteArrayView());
    Fill();
    report_.SetIndexFieldNames(order);
    report_.First();
}

void TSellerCollectReport::CreateReportTable() {
    report_.Close();
    report_.FieldDefs().clear();
    const std::string code = AsciiUpper(kind_.codeField), name = AsciiUpper(kind_.nameField);
    AddReportFields(report_, {{code.c_str(), "", TFieldType::ftString, 8},
                              {name.c_str(), kind_.nameLabel, TFieldType::ftString, 64}});
    AddSaleTextFields(report_, "演出地点", TFieldType::ftString, kind_.discountLabel);
    AddLevelFields(report_, {{"PRICE", "票价", TFieldType::ftCurrency, 0},
                             {"AMOUNT", "已售数量", TFieldType::ftInteger, 0},
                             {"MONEY", "已售金额", TFieldType::ftCurrency, 0}});
    report_.CreateDataSet();
}

void TSellerCollectReport::Fill() {
    CreateReportTable();
    const std::string code = AsciiUpper(kind_.codeField), name = AsciiUpper(kind_.nameField);
    const std::map<std::string, TLevelPrices> pricesOf = PricesByProduct(priceLevels_);
    sales_.ForEachGroup([&](TClientDataSet& row, const TLevelSums& sums) {
        const auto found = pricesOf.find(row.FieldByName("ProductCode").AsString());
        const TLevelPrices prices = found == pricesOf.end() ? TLevelPrices{} : found->second;
        report_.Append();
        report_.FieldByName(code).SetAsString(row.FieldByName(kind_.codeField).AsString());
        report_.FieldByName(name).SetAsString(row.FieldByName(kind_.nameField).AsString());
        WriteSaleTexts(report_, row);
        for (std::size_t i = 0; i < kLevelCount; ++i) {
            const std::string level(1, FPriceLevel[i]);
            report_.FieldByName(level + "_PRICE").SetAsCurrency(prices[i]);
            report_.FieldByName(level + "_MONEY").SetAsCurrency(sums.money[i]);
            report_.FieldByName(level + "_AMOUNT").SetAsInteger(sums.amount[i]);
        }
        report_.Post();
    });
}

TReportDocument TSellerCollectReport::BuildReport(const std::string& layoutFile) {
    TReportEngine engine(LoadReportLayout(layoutFile));
    engine.SetDataSet("CDSREPORT", &report_);
    engine.SetParameter("USERPRINTNAME", FieldValue(Context().UserName()));
    engine.SetParameter("BEGINSALETIME", FieldValue(period_.PrintedFrom()));
    engine.SetParameter("ENDSALETIME", FieldValue(period_.PrintedTo()));
    engine.SetParameter("TITLETYPE", FieldValue(type_ == TSaleType::System   ? "(系统)"
                                                : type_ == TSaleType::Online ? "(网上)"
                                                                             : ""));
    return engine.Build();
}

} // namespace kav::reports
