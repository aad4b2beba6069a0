#include "reports/perform/cdperformcollectreport.h"

#include "host/cacollectreport.h"
#include "host/orb.h"
#include "platform/widgets/reportengine.h"
#include "reports/common/reportsql.h"

#include <future>

namespace kav::reports {

namespace {

constexpr const char* kNoRecord = "＜无记录＞";

std::string Level(std::size_t slot, const char* suffix) {
    return std::string(1, FPriceLevel[slot]) + suffix;
}

std::string JoinLines(const std::vector<std::string>& codes) {
    std::string lines;
    for (const std::string& code : codes)
        lines += code + "\n";
    return lines;
}

// What the side connection asks, copied so that the worker shares nothing with the module.
struct TSideQuery {
    std::string host;
    int port = 0;
    std::string context, productList, productLines, mapCodes, fromTime, toTime, paymentSql;
    bool byPeriod = true;
};

struct TSideAnswers {
    Variant priceLevels, seatAmounts, payments;
};

TSideAnswers FetchSideAnswers(const TSideQuery& query) {
    pelio::TPelioClient client;
    client.SetHost(query.host);
    client.SetPort(query.port);
    TCAPerformCollectReport service(client);
    TTPDBPipe pipe(&client);
    TSideAnswers answers;
    answers.priceLevels = service.GetPriceLevel(query.context, query.productList);
    answers.seatAmounts = service.GetSeatAmount(query.context, query.mapCodes, query.productLines,
                                                query.fromTime, query.toTime, query.byPeriod, false);
    answers.payments = pipe.GetData(query.context, query.paymentSql);
    return answers;
}

} // namespace

TCDPerformCollectReport::TCDPerformCollectReport() : TCDPerformCollectReport(ORB()) {}

TCDPerformCollectReport::TCDPerformCollectReport(pelio::TPelioClient& client) : pipe_(&client) {}

void TCDPerformCollectReport::Generate(const TProductSelection& products, const TReportCondition& condition) {
    if (condition.period.Reversed()) throw EReportCondition("起始时间不可以晚于结束时间！", "提示信息");
    const std::string productList = QuotedCodeList(products.productCodes);
    if (productList.empty()) throw EReportCondition("请选择演出！", "提示信息");
    period_ = condition.period;
    const std::string& context = Context().GetAsString();
    const auto source = static_cast<TSaleSource>(SaleSource == "1" ? 1 : SaleSource == "2" ? 2 : 0);
    const std::string& partner = SiteSettings().partnerHomePage;
    const std::string saleSql = PerformSaleSQL(Context().NodeCode(), productList, period_, source, partner);

    // The price levels, seat counts and payments come over a connection of their own while the ledger
    // rows come over this one: the server answers both at once and the run waits for the slower only.
    TSideQuery side;
    side.host = pipe_.Client().GetHost();
    side.port = pipe_.Client().GetPort();
    side.context = context;
    side.productList = productList;
    side.mapCodes = products.mapCodes;
    side.productLines = JoinLines(products.productCodes);
    side.fromTime = period_.FromText();
    side.toTime = period_.ToText();
    side.byPeriod = StatisticByPeriod;
    side.paymentSql = PerformPaymentSQL(Context().NodeCode(), productList, period_, source, partner);
    std::future<TSideAnswers> answers = std::async(std::launch::async, FetchSideAnswers, std::move(side));

    sales_.Load(pipe_.GetData(context, saleSql).ByteArrayView());
    const TSideAnswers fetched = answers.get();
    priceLevels_.SetData(fetched.priceLevels.ByteArrayView());
    seatAmounts_.SetData(fetched.seatAmounts.ByteArrayView());

    FillReport(products);
    FillRemainingTotals();
    FillPayments(fetched.payments);
    report_.SetIndexFieldNames(ReportOrder(condition.sortOption, ""));
    report_.First();
    if (report_.IsEmpty()) throw EReportCondition("无记录！", "操作提示");
}

void TCDPerformCollectReport::CreateReportTable() {
    report_.Close();
    report_.FieldDefs().clear();
    AddSaleTextFields(report_, "演出地址", TFieldType::ftDateTime, "");
    AddLevelFields(report_, {{"PRICE", "票价", TFieldType::ftCurrency, 0},
                             {"AMOUNT", "已售数量", TFieldType::ftInteger, 0},
                             {"MONEY", "已售金额", TFieldType::ftCurrency, 0},
                             {"TOTALAMOUNT", "总票数", TFieldType::ftInteger, 0},
                             {"TOTALMONEY", "总票房", TFieldType::ftCurrency, 0},
                             {"HOLDAMOUNT", "剩余票数", TFieldType::ftInteger, 0},
                             {"HOLDMONEY", "剩余票房", TFieldType::ftCurrency, 0}});
    report_.CreateDataSet();
    for (std::size_t i = 0; i < kLevelCount; ++i)
        levelFields_[i] = {
            &report_.FieldByName(Level(i, "_PRICE")),      &report_.FieldByName(Level(i, "_AMOUNT")),
            &report_.FieldByName(Level(i, "_MONEY")),      &report_.FieldByName(Level(i, "_TOTALAMOUNT")),
            &report_.FieldByName(Level(i, "_TOTALMONEY")), &report_.FieldByName(Level(i, "_HOLDAMOUNT")),
            &report_.FieldByName(Level(i, "_HOLDMONEY"))};
}

void TCDPerformCollectReport::FillReport(const TProductSelection& products) {
    if (pay_.Active()) pay_.SetMasterSource(nullptr, {});
    CreateReportTable();
    prices_ = PricesByProduct(priceLevels_);
    std::vector<std::string> withoutSales = products.productCodes;
    TClientDataSet& brief = *products.brief;

    sales_.ForEachGroup([&](TClientDataSet& row, const TLevelSums& sums) {
        const std::string product = row.FieldByName("ProductCode").AsString();
        std::erase(withoutSales, product);
        report_.Append();
        WriteSaleTexts(report_, row);
        const std::string map =
            brief.Locate("ProductCode", {product}) ? brief.FieldByName("MapCode").AsString() : std::string();
        FillLevels(product, map, sums);
        report_.Post();
    });

    for (const std::string& product : withoutSales) {
        if (!brief.Locate("ProductCode", {product})) continue;
        report_.Append();
        report_.FieldByName("PRODUCTCODE").SetAsString(product);
        report_.FieldByName("PRODUCTNAME").SetAsString(brief.FieldByName("ProductName").AsString());
        report_.FieldByName("PLACENAME").SetAsString(brief.FieldByName("PlaceName").AsString());
        report_.FieldByName("HAPPENTIME").SetAsString(HappenTimeText(brief.FieldByName("HappenTime")));
        report_.FieldByName("SORTCODE").SetAsString("");
        report_.FieldByName("SALESORT").SetAsString("售票");
        report_.FieldByName("SALECLASSCODE").SetAsString("");
        report_.FieldByName("SALECLASS").SetAsString(kNoRecord);
        report_.FieldByName("SALECLASSNAME").SetAsString("");
        FillLevels(product, brief.FieldByName("MapCode").AsString(), TLevelSums{});
        report_.Post();
    }
}

void TCDPerformCollectReport::FillLevels(const std::string& productCode, const std::string& mapCode,
                                         const TLevelSums& sums) {
    const auto found = prices_.find(productCode);
    const TLevelPrices prices = found == prices_.end() ? TLevelPrices{} : found->second;
    // Seat counts are per map and performance: two performances on one map keep their own.
    const bool seats = seatAmounts_.Locate("MapCode;PRODUCTCODE", {mapCode, productCode});
    for (std::size_t i = 0; i < kLevelCount; ++i) {
        const std::int64_t total =
            seats ? seatAmounts_.FieldByName(Level(i, "_TotalAmount")).AsLargeInt() : 0;
        const std::int64_t hold = seats ? seatAmounts_.FieldByName(Level(i, "_HoldAmount")).AsLargeInt() : 0;
        const TLevelFields& f = levelFields_[i];
        f.price->SetAsCurrency(prices[i]);
        f.money->SetAsCurrency(sums.money[i]);
        f.amount->SetAsInteger(sums.amount[i]);
        f.totalAmount->SetAsInteger(total);
        f.totalMoney->SetAsCurrency(static_cast<double>(total) * prices[i]);
        f.holdAmount->SetAsInteger(hold);
        f.holdMoney->SetAsCurrency(static_cast<double>(hold) * prices[i]);
    }
}

void TCDPerformCollectReport::FillRemainingTotals() {
    holdAmount_ = {};
    holdMoney_ = {};
    std::string previous;
    // Each performance's seats count once, however many rows it has (they follow each other here).
    for (report_.First(); !report_.Eof(); report_.Next()) {
        const std::string product = report_.FieldByName("PRODUCTCODE").AsString();
        if (report_.RecNo() > 1 && product == previous) continue;
        previous = product;
        for (std::size_t i = 0; i < kLevelCount; ++i) {
            holdAmount_[i] += report_.FieldByName(Level(i, "_HOLDAMOUNT")).AsLargeInt();
            holdMoney_[i] += report_.FieldByName(Level(i, "_HOLDMONEY")).AsCurrency();
        }
    }
}

void TCDPerformCollectReport::CreatePayTable() {
    pay_.Close();
    pay_.FieldDefs().clear();
    pay_.AddFieldDef("PRODUCTCODE", TFieldType::ftString, 8);
    pay_.AddFieldDef("PAYNAME", TFieldType::ftString, 20);
    pay_.AddFieldDef("PAYMODECODE", TFieldType::ftString, 1);
    for (std::size_t i = 0; i < kLevelCount; ++i)
        pay_.AddFieldDef(Level(i, "_PAY"), TFieldType::ftCurrency);
    pay_.AddFieldDef("PAYLABEL", TFieldType::ftString, 10);
    pay_.AddFieldDef("PAYTOTAL", TFieldType::ftCurrency).kind = TFieldKind::fkCalculated;
    pay_.SetOnCalcFields([](TClientDataSet& row) {
        double total = 0;
        for (std::size_t i = 0; i < kLevelCount; ++i)
            total += row.FieldByName(Level(i, "_PAY")).AsCurrency();
        row.FieldByName("PAYTOTAL").SetAsCurrency(total);
    });
    pay_.CreateDataSet();
}

void TCDPerformCollectReport::FillPayments(const Variant& payments) {
    CreatePayTable();
    TClientDataSet rows;
    rows.SetData(payments.ByteArrayView());
    for (rows.First(); !rows.Eof(); rows.Next()) {
        const auto slot = LevelSlot(rows.FieldByName("PriceLevel").AsString());
        if (!slot) continue;
        const std::string product = rows.FieldByName("PRODUCTCODE").AsString();
        const std::string payMode = rows.FieldByName("PaymodeCode").AsString();
        if (pay_.Locate("PRODUCTCODE;PAYMODECODE", {product, payMode})) {
            pay_.Edit();
        } else {
            pay_.Append();
            pay_.FieldByName("PRODUCTCODE").SetAsString(product);
            pay_.FieldByName("PAYMODECODE").SetAsString(payMode);
            pay_.FieldByName("PAYNAME").SetAsString(rows.FieldByName("PayName").AsString());
            pay_.FieldByName("PAYLABEL").SetAsString("支付");
        }
        pay_.FieldByName(Level(*slot, "_PAY")).SetAsCurrency(rows.FieldByName("PRICE").AsFloat());
        pay_.Post();
    }
    pay_.SetIndexFieldNames("PRODUCTCODE;PAYMODECODE");
    pay_.SetMasterSource(&report_, "PRODUCTCODE");
}

TReportDocument TCDPerformCollectReport::BuildReport(const std::string& layoutFile) {
    TReportEngine engine(LoadReportLayout(layoutFile.empty() ? ReportLayoutFile(kLayoutFile) : layoutFile));
    engine.SetDataSet("CDSREPORT", &report_);
    engine.SetDataSet("SEATAMOUNT", nullptr);
    engine.SetDataSet("CDSPAY", &pay_);
    for (std::size_t i = 0; i < kLevelCount; ++i) {
        const std::string level(1, FPriceLevel[i]);
        engine.SetParameter("T_" + level + "_HOLDAMOUNT", FieldValue(holdAmount_[i]));
        engine.SetParameter("T_" + level + "_HOLDMONEY", FieldValue(holdMoney_[i]));
    }
    engine.SetParameter("USERPRINTNAME", FieldValue(Context().UserName()));
    engine.SetParameter("BeginSaleTime", FieldValue(period_.PrintedFrom()));
    engine.SetParameter("EndSaleTime", FieldValue(period_.PrintedTo()));
    return engine.Build();
}

} // namespace kav::reports
