// The performance collect report's data module against the report cases: the rows, levels, seat counts,
// payments and totals a manager reads, for each source option, period and the by-period flag.

#include "platform/widgets/reportengine.h"
#include "reports/perform/cdperformcollectreport.h"
#include "reportserver.h"
#include "rpc/exceptions.h"

#include <gmock/gmock.h>

using namespace kav;
using namespace kav::reports;
using kav::reports::test::ReportServerTest;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

TDateTime At(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
    return EncodeDateTime({y, m, d, hh, mm, ss, 0});
}

class PerformReport : public ReportServerTest {
protected:
    void SetUp() override {
        ReportServerTest::SetUp();
        module_.emplace(*client_);
        module_->SetContext(LoginAs("U001", "u001"));
    }

    void Generate(const std::vector<std::string>& codes, TReportCondition condition = {}) {
        TTPDBPipe pipe(client_.get());
        LoadProducts(pipe, module_->Context(), products_);
        selection_ = SelectProducts(products_, codes, brief_);
        module_->Generate(selection_, condition);
    }

    // One line per report row: "product|sort|class|A:amount/money C:... " for levels with a value.
    std::vector<std::string> Rows(const char* suffixA = "_AMOUNT", const char* suffixB = "_MONEY") {
        TClientDataSet& report = module_->cdsReport();
        std::vector<std::string> rows;
        for (report.First(); !report.Eof(); report.Next()) {
            std::string line = report.FieldByName("PRODUCTCODE").AsString() + "|" +
                               report.FieldByName("SALESORT").AsString() + "|" +
                               report.FieldByName("SALECLASS").AsString() + "|";
            for (char level : FPriceLevel) {
                const std::string l(1, level);
                const FieldValue a = report.FieldByName(l + suffixA).Value(),
                                 b = report.FieldByName(l + suffixB).Value();
                if (report.FieldByName(l + suffixA).AsFloat() != 0 ||
                    report.FieldByName(l + suffixB).AsFloat() != 0)
                    line += " " + l + ":" + FormatReportValue(a, TValueFormat::Auto, false) + "/" +
                            FormatReportValue(b, TValueFormat::Auto, false);
            }
            rows.push_back(line);
        }
        return rows;
    }

    std::optional<TCDPerformCollectReport> module_;
    TClientDataSet products_, brief_;
    TProductSelection selection_;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, PerformReport, ::testing::ValuesIn(server::test::TestBackends()),
                         kav::reports::test::BackendTestName);

TEST_P(PerformReport, EveryPriceInItsLevelsColumnAndEveryPerformanceItsOwnSeats) {
    Generate({"T'01", "T02", "T03"});
    // In time order, then by sort, class and discount. A, C and D of T'01 in their own columns, B empty;
    // sales without sale class are ordinary tickets; the ticked performance without sales has its
    // "＜无记录＞" row.
    EXPECT_THAT(Rows(), ElementsAre("T'01|售票|大麦网售(100%)| A:1/380.00",          //
                                    "T'01|售票|普通票(100%)| D:1/80.00",             //
                                    "T'01|售票|正价票(80%)| C:1/144.00",             //
                                    "T'01|售票|正价票(100%)| A:2/760.00 C:1/180.00", //
                                    "T'01|退票|正价票(100%)| A:-1/-380.00",          //
                                    "T02|售票|普通票(100%)| A:1/300.00",             //
                                    "T02|售票|正价票(100%)| B:1/200.00",             //
                                    "T03|售票|＜无记录＞|"));
    EXPECT_THAT(Rows("_PRICE", "_PRICE"),
                ElementsAre("T'01|售票|大麦网售(100%)| A:380.00/380.00 C:180.00/180.00 D:80.00/80.00",
                            ::testing::_, ::testing::_, ::testing::_, ::testing::_,
                            "T02|售票|普通票(100%)| A:300.00/300.00 B:200.00/200.00", ::testing::_,
                            "T03|售票|＜无记录＞| A:100.00/100.00"));
    // T'01 and T02 share the map TM01 and keep their own seats; totals count each performance once.
    EXPECT_THAT(Rows("_TOTALAMOUNT", "_HOLDAMOUNT"),
                ElementsAre("T'01|售票|大麦网售(100%)| A:4/2 C:3/2 D:2/2", ::testing::_, ::testing::_,
                            ::testing::_, "T'01|退票|正价票(100%)| A:4/2 C:3/2 D:2/2",
                            "T02|售票|普通票(100%)| A:5/5 B:2/1", "T02|售票|正价票(100%)| A:5/5 B:2/1",
                            "T03|售票|＜无记录＞| A:3/3"));
    EXPECT_THAT(Rows("_TOTALMONEY", "_HOLDMONEY").back(), "T03|售票|＜无记录＞| A:300.00/300.00");
    EXPECT_EQ(module_->HoldAmountTotals()[0], 2 + 5 + 3);
    EXPECT_EQ(module_->HoldAmountTotals()[1], 1);
    EXPECT_EQ(module_->HoldAmountTotals()[2], 2);
    EXPECT_DOUBLE_EQ(module_->HoldMoneyTotals()[0], 2 * 380 + 5 * 300 + 3 * 100);

    // Payments per performance and pay mode, by level; they add up to the money sold.
    TClientDataSet& pay = module_->cdsPay();
    pay.SetMasterSource(nullptr, {});
    std::vector<std::string> payments;
    for (pay.First(); !pay.Eof(); pay.Next())
        payments.push_back(
            pay.FieldByName("PRODUCTCODE").AsString() + " " + pay.FieldByName("PAYNAME").AsString() + " " +
            pay.FieldByName("PAYLABEL").AsString() + " " +
            FormatReportValue(pay.FieldByName("PAYTOTAL").Value(), TValueFormat::Money, false));
    EXPECT_THAT(payments,
                ElementsAre("T'01 银行卡 支付 144.00", "T'01 网上支付 支付 380.00", "T'01 现金 支付 640.00",
                            "T02 网上支付 支付 200.00", "T02 现金 支付 300.00"));
}

TEST_P(PerformReport, APerformanceWithoutSeatsHasZeroSeatCounts) {
    Generate({"T04", "T03"});
    EXPECT_THAT(Rows("_PRICE", "_TOTALAMOUNT"),
                ElementsAre("T03|售票|＜无记录＞| A:100.00/3", "T04|售票|＜无记录＞| A:50.00/0"));
    EXPECT_THAT(Rows("_HOLDAMOUNT", "_HOLDMONEY"),
                ElementsAre("T03|售票|＜无记录＞| A:3/300.00", "T04|售票|＜无记录＞|"));
    EXPECT_EQ(module_->HoldAmountTotals()[0], 3);
}

TEST_P(PerformReport, SourceOptionsSplitTheSalesWithoutLosingAny) {
    module_->SaleSource = "1";
    Generate({"T'01"});
    // The sale without order and sale class is the site's own; the partner group's sales are not.
    EXPECT_THAT(Rows(),
                ElementsAre("T'01|售票|普通票(100%)| D:1/80.00", "T'01|售票|正价票(80%)| C:1/144.00",
                            "T'01|售票|正价票(100%)| A:2/760.00", "T'01|退票|正价票(100%)| A:-1/-380.00"));
    module_->SaleSource = "2";
    Generate({"T'01"});
    // Accounted by the partner's group even though another user made the order, and the partner's own sale.
    EXPECT_THAT(Rows(),
                ElementsAre("T'01|售票|大麦网售(100%)| A:1/380.00", "T'01|售票|正价票(100%)| C:1/180.00"));
    TClientDataSet& pay = module_->cdsPay();
    pay.SetMasterSource(nullptr, {});
    EXPECT_EQ(pay.RecordCount(), 2) << "the payments follow the same sales";
}

TEST_P(PerformReport, ThePeriodAppliesOnlyWithBothBoundsAndIsPrintedAsApplied) {
    TReportCondition june20;
    june20.period.from = At(2025, 6, 20);
    june20.period.to = At(2025, 6, 30, 23, 59, 59);
    Generate({"T'01"}, june20);
    EXPECT_THAT(Rows(),
                ElementsAre("T'01|售票|普通票(100%)| D:1/80.00", "T'01|售票|正价票(80%)| C:1/144.00"));
    EXPECT_EQ(module_->Period().PrintedFrom(), "2025-06-20");

    TReportCondition fromOnly;
    fromOnly.period.from = At(2025, 6, 20);
    Generate({"T'01"}, fromOnly);
    EXPECT_EQ(Rows().size(), 5u) << "one bound restricts nothing";
    EXPECT_EQ(module_->Period().PrintedFrom(), "");
    TClientDataSet& pay = module_->cdsPay();
    pay.SetMasterSource(nullptr, {});
    EXPECT_EQ(pay.RecordCount(), 3) << "nor the payments";

    // The seats not sold by the period's end, or now.
    TReportCondition june13;
    june13.period.from = At(2025, 6, 1);
    june13.period.to = At(2025, 6, 13);
    Generate({"T'01"}, june13);
    EXPECT_THAT(Rows("_TOTALAMOUNT", "_HOLDAMOUNT").front(), HasSubstr("A:4/2 C:3/3 D:2/2"));
    module_->StatisticByPeriod = false;
    Generate({"T'01"}, june13);
    EXPECT_THAT(Rows("_TOTALAMOUNT", "_HOLDAMOUNT").front(), HasSubstr("A:4/2 C:3/2 D:2/2"));
}

TEST_P(PerformReport, PromptsStopTheRun) {
    TReportCondition reversed;
    reversed.period.from = At(2025, 6, 2);
    reversed.period.to = At(2025, 6, 1);
    const auto prompt = [&](const std::vector<std::string>& codes, const TReportCondition& condition) {
        try {
            Generate(codes, condition);
        } catch (const EReportCondition& e) {
            return std::string(e.what()) + "/" + e.Title();
        }
        return std::string("no prompt");
    };
    EXPECT_EQ(prompt({"T03"}, reversed), "起始时间不可以晚于结束时间！/提示信息");
    EXPECT_EQ(prompt({}, {}), "请选择演出！/提示信息");
    EXPECT_EQ(prompt({"NONE"}, {}), "请选择演出！/提示信息") << "a code no performance has is not ticked";
}

TEST_P(PerformReport, OrderFollowsTheSortOption) {
    TReportCondition byPlace;
    byPlace.sortOption = "PlaceName";
    Generate({"T02", "T03"}, byPlace);
    EXPECT_THAT(Rows(), ElementsAre(HasSubstr("T03|"), HasSubstr("T02|"), HasSubstr("T02|")))
        << "岚桥小剧场 before 岚桥音乐厅";
    TReportCondition byName;
    byName.sortOption = "ProductName";
    Generate({"T02", "T03"}, byName);
    EXPECT_THAT(Rows(), ElementsAre(HasSubstr("T03|"), HasSubstr("T02|"), HasSubstr("T02|")))
        << "测试丙场 before 测试乙场";
    Generate({"T03", "T02"});
    EXPECT_THAT(Rows(), ElementsAre(HasSubstr("T02|"), HasSubstr("T02|"), HasSubstr("T03|")))
        << "by time: 2 July before 3 July";
}

TEST_P(PerformReport, PrintedLevelsKeepTheirColumns) {
    Generate({"T'01", "T03"});
    const TReportDocument document = module_->BuildReport();
    ASSERT_FALSE(document.pages.empty());
    EXPECT_TRUE(document.landscape);
    const std::string text = document.PageText(0);
    EXPECT_THAT(text, HasSubstr("＜无记录＞"));
    EXPECT_THAT(text, HasSubstr("打印人: 王售票"));
    EXPECT_THAT(text, HasSubstr("统计期间: 不限 至 不限"));
    const auto a = document.FindTexts(0, "A级"), b = document.FindTexts(0, "B级"),
               c = document.FindTexts(0, "C级"), d = document.FindTexts(0, "D级");
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(c.size(), 1u);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_TRUE(b.empty()) << "no price or sale of B anywhere: no column";
    // The 80% C sale sits in the C column, the D sale in D.
    const auto money144 = document.FindTexts(0, "144.00");
    ASSERT_FALSE(money144.empty());
    EXPECT_DOUBLE_EQ(money144[0]->rect.left(), c[0]->rect.left());
    const auto price80 = document.FindTexts(0, "80.00");
    ASSERT_FALSE(price80.empty());
    EXPECT_DOUBLE_EQ(price80[0]->rect.left(), d[0]->rect.left());

    EXPECT_THROW(module_->BuildReport("/nonexistent/performCollectReport.rep"), EReportLayout);
}

TEST_P(PerformReport, ARefusalOfTheSeatCountsReachesTheCallerAndTheNextRunWorks) {
    // The seat counts are asked for beside the ledger rows; their refusal must not be lost there.
    TTPDBPipe pipe(client_.get());
    LoadProducts(pipe, module_->Context(), products_);
    TProductSelection tooMany = SelectProducts(products_, {"T03"}, brief_);
    for (int i = 0; i <= 1000; ++i)
        tooMany.mapCodes += "M" + std::to_string(i) + "\n";
    try {
        module_->Generate(tooMany, {});
        FAIL() << "a refused seat count made a report";
    } catch (const pelio::EosRemoteException& e) {
        EXPECT_THAT(e.what(), HasSubstr("座位图列表过多"));
    }
    Generate({"T03"});
    EXPECT_FALSE(Rows().empty());
}
