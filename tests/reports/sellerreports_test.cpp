// The user and group collect reports' data modules against the report cases: which sales each type and
// side keeps, the rows per seller, the prompts and their order, and the layouts they print with.

#include "reports/group/cdgroupcollectreport.h"
#include "reports/user/cdusercollectreport.h"
#include "reportserver.h"

#include <gmock/gmock.h>

using namespace kav;
using namespace kav::reports;
using kav::reports::test::ReportServerTest;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// "seller|product|class| A:amount/money ..." per report row.
std::vector<std::string> Rows(TClientDataSet& report, const char* seller) {
    std::vector<std::string> rows;
    for (report.First(); !report.Eof(); report.Next()) {
        std::string line = report.FieldByName(seller).AsString() + "|" +
                           report.FieldByName("PRODUCTCODE").AsString() + "|" +
                           report.FieldByName("SALECLASS").AsString() + "|";
        for (char level : FPriceLevel) {
            const std::string l(1, level);
            if (report.FieldByName(l + "_AMOUNT").AsInteger() != 0)
                line += " " + l + ":" + report.FieldByName(l + "_AMOUNT").AsString() + "/" +
                        std::to_string(report.FieldByName(l + "_MONEY").AsInteger());
        }
        rows.push_back(line);
    }
    return rows;
}

std::string PromptOf(const std::function<void()>& run) {
    try {
        run();
    } catch (const EReportCondition& e) {
        return std::string(e.what()) + "/" + e.Title();
    }
    return "no prompt";
}

class SellerReports : public ReportServerTest {
protected:
    void SetUp() override {
        ReportServerTest::SetUp();
        context_ = LoginAs("U001", "u001");
        user_.emplace(*client_);
        user_->SetContext(context_);
        group_.emplace(*client_);
        group_->SetContext(context_);
        TTPDBPipe pipe(client_.get());
        LoadProducts(pipe, user_->Context(), products_);
        selection_ = SelectProducts(products_, {"T'01", "T02"}, brief_);
    }

    std::vector<std::string> UserRows(TSaleType type, TSaleSide side) {
        user_->Generate({{"U001", "demo", "DMDZP", "U002", "WEB01"}, type, side}, selection_, {});
        return Rows(user_->cdsReport(), "USERCODE");
    }

    std::string context_;
    std::optional<TCDUserCollectReport> user_;
    std::optional<TCDGroupCollectReport> group_;
    TClientDataSet products_, brief_;
    TProductSelection selection_;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, SellerReports, ::testing::ValuesIn(server::test::TestBackends()),
                         kav::reports::test::BackendTestName);

TEST_P(SellerReports, TypesAndSidesKeepTheirSalesAndLoseNone) {
    // By user name (大麦电子票, 官网订票, 李呼叫, 演示售票员, 王售票), then time, sort and class.
    EXPECT_THAT(UserRows(TSaleType::All, TSaleSide::All),
                ElementsAre("DMDZP|T'01|大麦网售(100%)| A:1/380", "WEB01|T02|正价票(100%)| B:1/200",
                            "U002|T'01|正价票(100%)| C:1/180", "demo|T'01|正价票(80%)| C:1/144",
                            "U001|T'01|普通票(100%)| D:1/80", "U001|T'01|正价票(100%)| A:2/760",
                            "U001|T'01|正价票(100%)| A:-1/-380", "U001|T02|普通票(100%)| A:1/300"));
    // The theatre's sales: every row but the partner group's, the counter sale without class and order
    // source included.
    const std::vector<std::string> theatreSystem{
        "demo|T'01|正价票(80%)| C:1/144", "U001|T'01|普通票(100%)| D:1/80", "U001|T'01|正价票(100%)| A:2/760",
        "U001|T'01|正价票(100%)| A:-1/-380", "U001|T02|普通票(100%)| A:1/300"};
    EXPECT_EQ(UserRows(TSaleType::System, TSaleSide::Theatre), theatreSystem);
    std::vector<std::string> theatre = theatreSystem;
    theatre.insert(theatre.begin(), "WEB01|T02|正价票(100%)| B:1/200");
    EXPECT_EQ(UserRows(TSaleType::All, TSaleSide::Theatre), theatre);
    // Online sales of the theatre: those whose sale class is not the partner's WEBDM.
    EXPECT_THAT(UserRows(TSaleType::Online, TSaleSide::Theatre),
                ElementsAre("WEB01|T02|正价票(100%)| B:1/200"));
    EXPECT_THAT(UserRows(TSaleType::Online, TSaleSide::Partner),
                ElementsAre("DMDZP|T'01|大麦网售(100%)| A:1/380"));
    EXPECT_THAT(UserRows(TSaleType::System, TSaleSide::Partner),
                ElementsAre("U002|T'01|正价票(100%)| C:1/180"));
    EXPECT_THAT(UserRows(TSaleType::All, TSaleSide::Partner),
                ElementsAre("DMDZP|T'01|大麦网售(100%)| A:1/380", "U002|T'01|正价票(100%)| C:1/180"));
}

TEST_P(SellerReports, UserPromptsComeInOrder) {
    TReportCondition reversed;
    reversed.period.from = EncodeDate(2025, 6, 2);
    reversed.period.to = EncodeDate(2025, 6, 1);
    EXPECT_EQ(PromptOf([&] { user_->Generate({{"U001"}}, selection_, reversed); }),
              "起始时间不可以晚于结束时间!/操作提示");
    EXPECT_EQ(PromptOf([&] { user_->Generate({}, {}, {}); }), "请先选择销售员！/操作提示")
        << "the users are looked at before the performances";
    EXPECT_EQ(PromptOf([&] { user_->Generate({{"U001"}}, {}, {}); }), "请先选择演出！/操作提示");
    // A performance the chosen user never sold gives no row; nothing at all gives the prompt.
    TClientDataSet brief;
    const TProductSelection t03 = SelectProducts(products_, {"T03"}, brief);
    EXPECT_EQ(PromptOf([&] { user_->Generate({{"U001"}}, t03, {}); }),
              "无记录,请重新选择查询条件！/提示信息");
    user_->Generate({{"demo"}}, selection_, {});
    EXPECT_THAT(Rows(user_->cdsReport(), "USERCODE"), ElementsAre("demo|T'01|正价票(80%)| C:1/144"));
}

TEST_P(SellerReports, UserReportPrintsPerSeller) {
    user_->Generate({{"U001", "demo"}, TSaleType::System, TSaleSide::All}, selection_, {});
    const TReportDocument document = user_->BuildReport();
    const std::string text = document.PageText(0);
    EXPECT_THAT(text, HasSubstr("售票员销售报表(系统)"));
    EXPECT_THAT(text, HasSubstr("售票员:\n王售票"));
    EXPECT_THAT(text, HasSubstr("售票员:\n演示售票员"));
    EXPECT_THAT(text, HasSubstr("测试甲场"));
    EXPECT_TRUE(document.FindTexts(0, "B级").size() == 1) << "T02's B is priced";
}

TEST_P(SellerReports, GroupsByGroupOrByPerformance) {
    const TSellerSelection groups{{"G001", "DM01", "WEB1"}, TSaleType::All, TSaleSide::All};
    group_->Generate(groups, selection_, {});
    // By sales point (大麦网, 官方网站, 音乐厅售票处), then time.
    EXPECT_THAT(Rows(group_->cdsReport(), "GROUPCODE"),
                ElementsAre("DM01|T'01|大麦网售(100%)| A:1/380", "DM01|T'01|正价票(100%)| C:1/180",
                            "WEB1|T02|正价票(100%)| B:1/200", "G001|T'01|普通票(100%)| D:1/80",
                            "G001|T'01|正价票(80%)| C:1/144", "G001|T'01|正价票(100%)| A:2/760",
                            "G001|T'01|正价票(100%)| A:-1/-380", "G001|T02|普通票(100%)| A:1/300"));
    EXPECT_EQ(group_->cdsReport().FieldByName("DISCOUNT").DisplayLabel(), "折扣");
    EXPECT_THAT(group_->BuildReport().PageText(0), HasSubstr("销售点:\n大麦网"));

    group_->GroupBy = kGroupByProduct;
    group_->Generate(groups, selection_, {});
    EXPECT_THAT(Rows(group_->cdsReport(), "GROUPCODE"),
                ElementsAre("DM01|T'01|大麦网售(100%)| A:1/380", "DM01|T'01|正价票(100%)| C:1/180",
                            "G001|T'01|普通票(100%)| D:1/80", "G001|T'01|正价票(80%)| C:1/144",
                            "G001|T'01|正价票(100%)| A:2/760", "G001|T'01|正价票(100%)| A:-1/-380",
                            "WEB1|T02|正价票(100%)| B:1/200", "G001|T02|普通票(100%)| A:1/300"));
    const TReportDocument byProduct = group_->BuildReport();
    const std::string text = byProduct.PageText(0);
    EXPECT_LT(text.find("测试甲场"), text.find("销售点:\n大麦网")) << "the performance heads its groups";
    EXPECT_EQ(GroupReportLayout(kGroupByProduct), std::string("GroupCollectReportByProduct.rep"));
    EXPECT_EQ(GroupReportOrder("销售点", "PlaceName"),
              "GroupName;PlaceName;HappenTime;ProductName;SortCode;SaleClassName;DisCount;OrderSource");
    EXPECT_EQ(GroupReportOrder("演出", "ProductName"),
              "ProductName;HappenTime;PlaceName;GroupName;SortCode;SaleClassName;DisCount;OrderSource");

    EXPECT_EQ(PromptOf([&] { group_->Generate({}, {}, {}); }), "请选择销售点！/提示信息");
    EXPECT_EQ(PromptOf([&] { group_->Generate({{"G001"}}, {}, {}); }), "请选择演出！/提示信息");
    EXPECT_EQ(PromptOf([&] { group_->Generate({{"G002"}}, selection_, {}); }),
              "无记录,请重新选择查询条件！ /提示信息");
}
