// The report engine: layouts that load or are refused with their place named, and the pages a layout and
// its data give, checked as drawing commands (content and geometry) rather than pixels.

#include "platform/dataset/clientdataset.h"
#include "platform/widgets/reportengine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace kav;
using ::testing::HasSubstr;

namespace {

// One line per sale: product, sort and price per level; grouped by product.
void FillSales(TClientDataSet& ds, int rowsPerProduct) {
    ds.AddFieldDef("PRODUCTCODE", TFieldType::ftString, 8);
    ds.AddFieldDef("PRODUCTNAME", TFieldType::ftString, 64);
    ds.AddFieldDef("SALESORT", TFieldType::ftString, 64);
    for (const char* level : {"A", "B", "C"}) {
        ds.AddFieldDef(std::string(level) + "_PRICE", TFieldType::ftCurrency);
        ds.AddFieldDef(std::string(level) + "_AMOUNT", TFieldType::ftInteger);
    }
    ds.CreateDataSet();
    for (const char* product : {"P1", "P2"})
        for (int i = 0; i < rowsPerProduct; ++i)
            // Level B has no price and no sale anywhere: its column is left out.
            ds.AppendRecord({product, std::string("演出") + product, "售票" + std::to_string(i), 100.0, i + 1,
                             0.0, 0, 80.5, 2});
}

constexpr const char* kLayout = R"({
  "title": "测试报表",
  "page": {"size": "A4", "orientation": "portrait", "margins": 10},
  "font": {"family": "WenQuanYi Micro Hei", "size": 8},
  "dataset": "MAIN",
  "columnSets": {"levels": {"keys": ["A", "B", "C"], "keepWhenNonZero": ["{key}_PRICE", "{key}_AMOUNT"],
                            "x": 60, "width": 120, "cellWidth": 40, "maxCellWidth": 50},
                 "total": {"keys": ["T"], "follows": "levels", "width": 20, "cellWidth": 20}},
  "bands": {
    "title": {"height": 12, "elements": [{"type": "text", "x": 0, "y": 0, "w": 190, "h": 12, "text": "销售 [$PERIOD|全部]"}]},
    "pageHeader": {"height": 6, "elements": [
      {"type": "text", "x": 0, "y": 0, "w": 60, "h": 6, "text": "销售大类"},
      {"type": "columns", "set": "levels", "elements": [
        {"type": "text", "x": 0, "y": 0, "w": 40, "h": 6, "text": "{key}级", "align": "center"}]},
      {"type": "columns", "set": "total", "elements": [{"type": "text", "x": 0, "y": 0, "w": 20, "h": 6, "text": "合计"}]}]},
    "detail": {"height": 10, "elements": [
      {"type": "field", "name": "SALESORT", "x": 0, "y": 0, "w": 60, "h": 5, "align": "left"},
      {"type": "field", "name": "A_AMOUNT", "across": "levels", "x": 0, "y": 5, "w": 60, "h": 5},
      {"type": "columns", "set": "levels", "elements": [
        {"type": "field", "name": "{key}_AMOUNT", "x": 0, "y": 0, "w": 40, "h": 5, "blankZero": true},
        {"type": "field", "name": "{key}_PRICE", "x": 0, "y": 5, "w": 40, "h": 5}]},
      {"type": "columns", "set": "total", "elements": [
        {"type": "field", "name": "{key}_PRICE", "across": "levels", "x": 0, "y": 5, "w": 20, "h": 5}]}]},
    "summary": {"height": 6, "elements": [
      {"type": "sum", "name": "{key}_AMOUNT", "across": "levels", "x": 0, "y": 0, "w": 60, "h": 6},
      {"type": "param", "name": "TOTALMONEY", "format": "money", "x": 60, "y": 0, "w": 40, "h": 6}]},
    "pageFooter": {"height": 8, "elements": [
      {"type": "text", "x": 0, "y": 0, "w": 190, "h": 8, "text": "第 [#PAGE] 页 共 [#PAGES] 页 打印人: [$USER]"}]}
  },
  "groups": [{"fields": ["PRODUCTCODE"], "repeatHeader": true,
    "header": {"height": 6, "elements": [{"type": "field", "name": "PRODUCTNAME", "x": 0, "y": 0, "w": 100, "h": 6, "align": "left"}]},
    "footer": {"height": 6, "elements": [
      {"type": "text", "x": 0, "y": 0, "w": 30, "h": 6, "text": "小计"},
      {"type": "sum", "name": "A_AMOUNT", "x": 30, "y": 0, "w": 30, "h": 6}],
      "nested": [{"dataset": "PAY", "header": {"height": 5, "elements": [{"type": "text", "x": 0, "y": 0, "w": 30, "h": 5, "text": "支付"}]},
                  "detail": {"height": 5, "elements": [{"type": "field", "name": "PAYNAME", "x": 0, "y": 0, "w": 30, "h": 5, "align": "left"},
                                                       {"type": "field", "name": "MONEY", "x": 30, "y": 0, "w": 30, "h": 5}]},
                  "footer": {"height": 5, "elements": [{"type": "sum", "name": "MONEY", "x": 30, "y": 0, "w": 30, "h": 5}]}}]}}]
})";

std::vector<const TDrawCommand*> Texts(const TReportDocument& document) {
    std::vector<const TDrawCommand*> texts;
    for (const TReportPage& page : document.pages)
        for (const TDrawCommand& command : page.commands)
            if (command.kind == TDrawCommand::Kind::Text) texts.push_back(&command);
    return texts;
}

class ReportEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        pay_.AddFieldDef("PRODUCTCODE", TFieldType::ftString, 8);
        pay_.AddFieldDef("PAYNAME", TFieldType::ftString, 20);
        pay_.AddFieldDef("MONEY", TFieldType::ftCurrency);
        pay_.CreateDataSet();
        pay_.AppendRecord({"P1", "现金", 100.25});
        pay_.AppendRecord({"P1", "银行卡", 20.5});
    }

    TReportDocument Build(int rowsPerProduct, const char* layout = kLayout) {
        FillSales(sales_, rowsPerProduct);
        pay_.SetMasterSource(&sales_, "PRODUCTCODE");
        TReportEngine engine(ParseReportLayout(layout, "test.rep"));
        engine.SetDataSet("main", &sales_);
        engine.SetDataSet("PAY", &pay_);
        engine.SetParameter("USER", FieldValue("演示售票员"));
        engine.SetParameter("TOTALMONEY", FieldValue(1234.5));
        engine.SetParameter("PERIOD", FieldValue(""));
        return engine.Build();
    }

    TClientDataSet sales_, pay_;
};

} // namespace

TEST(ReportLayout, RefusesAFileWithItsPlaceNamed) {
    struct Case {
        const char* json;
        const char* place;
    };
    const Case cases[] = {
        {"[1, 2]", "应为一个 JSON 对象"},
        {"{\"dataset\": \"X\", \"bands\": {}", "不是有效的 JSON"},
        {"{\"bands\": {}}", "dataset"},
        {"{\"dataset\": \"X\", \"bands\": {}, \"colour\": 1}", "colour"},
        {"{\"dataset\": \"X\", \"bands\": {\"footer\": {}}}", "bands.footer"},
        {"{\"dataset\": \"X\", \"bands\": {\"detail\": {\"elements\": []}}}", "bands.detail.height"},
        {"{\"dataset\": \"X\", \"bands\": {\"detail\": {\"height\": -1}}}", "bands.detail.height"},
        {"{\"dataset\": \"X\", \"bands\": {\"detail\": {\"height\": 5, \"elements\": [{\"type\": "
         "\"chart\"}]}}}",
         "bands.detail.elements[0].type"},
        {"{\"dataset\": \"X\", \"bands\": {\"detail\": {\"height\": 5, \"elements\": [{\"type\": \"field\", "
         "\"x\": 0, "
         "\"y\": 0, \"w\": 1, \"h\": 1}]}}}",
         "bands.detail.elements[0].name"},
        {"{\"dataset\": \"X\", \"bands\": {\"detail\": {\"height\": 5, \"elements\": [{\"type\": \"field\", "
         "\"name\": "
         "\"A\", \"format\": \"roman\", \"x\": 0, \"y\": 0, \"w\": 1, \"h\": 1}]}}}",
         "bands.detail.elements[0].format"},
        {"{\"dataset\": \"X\", \"bands\": {\"detail\": {\"height\": 5, \"elements\": [{\"type\": "
         "\"columns\", \"set\": "
         "\"levels\"}]}}}",
         "未声明的列组 'levels'"},
        {"{\"dataset\": \"X\", \"page\": {\"size\": \"A9\"}, \"bands\": {}}", "page.size"},
        {"{\"dataset\": \"X\", \"page\": {\"margins\": 200}, \"bands\": {}}", "page.margins"},
        {"{\"dataset\": \"X\", \"bands\": {}, \"groups\": [{\"fields\": []}]}", "groups[0].fields"},
    };
    for (const Case& c : cases) {
        try {
            ParseReportLayout(c.json, "/rep/bad.rep");
            ADD_FAILURE() << "accepted: " << c.json;
        } catch (const EReportLayout& e) {
            EXPECT_THAT(e.what(), HasSubstr("/rep/bad.rep")) << c.json;
            EXPECT_THAT(e.what(), HasSubstr(c.place)) << c.json;
        }
    }
    try {
        LoadReportLayout("/nonexistent/rep/performCollectReport.rep");
        ADD_FAILURE() << "a missing file loaded";
    } catch (const EReportLayout& e) {
        EXPECT_THAT(e.what(), HasSubstr("/nonexistent/rep/performCollectReport.rep"));
    }
}

TEST_F(ReportEngineTest, BandsFlowOverPagesWithGroupsSumsAndNestedRows) {
    const TReportDocument document = Build(20);
    ASSERT_EQ(document.pages.size(), 2u);
    EXPECT_EQ(document.pageWidth, 210);
    EXPECT_EQ(document.pageHeight, 297);

    // The title once, with the parameter's fallback; page header and footer on every page.
    const std::string first = document.PageText(0), second = document.PageText(1);
    EXPECT_THAT(first, HasSubstr("销售 全部\n"));
    EXPECT_THAT(second, ::testing::Not(HasSubstr("销售 全部")));
    EXPECT_THAT(first, HasSubstr("第 1 页 共 2 页 打印人: 演示售票员"));
    EXPECT_THAT(second, HasSubstr("第 2 页 共 2 页 打印人: 演示售票员"));
    for (std::size_t page = 0; page < 2; ++page) {
        ASSERT_EQ(document.FindTexts(page, "销售大类").size(), 1u);
        const auto footer =
            document.FindTexts(page, "第 " + std::to_string(page + 1) + " 页 共 2 页 打印人: 演示售票员");
        ASSERT_EQ(footer.size(), 1u);
        EXPECT_DOUBLE_EQ(footer[0]->rect.top(), 297 - 10 - 8) << "the footer sits on the bottom margin";
    }
    const double headerTop = document.FindTexts(0, "销售大类")[0]->rect.top();
    EXPECT_DOUBLE_EQ(headerTop, 10 + 12) << "page one's header follows the title";
    EXPECT_DOUBLE_EQ(document.FindTexts(1, "销售大类")[0]->rect.top(), 10);

    // Group headers, footers with the group's own sum, the nested pay rows after P1 only.
    EXPECT_EQ(document.FindTexts(0, "演出P1").size(), 1u);
    const auto subtotals = Texts(document);
    std::vector<std::string> sums;
    for (std::size_t i = 0; i + 1 < subtotals.size(); ++i)
        if (subtotals[i]->text == "小计") sums.push_back(subtotals[i + 1]->text);
    EXPECT_EQ(sums, (std::vector<std::string>{"210", "210"})) << "1 + 2 + ... + 20 per product";
    const std::string all = first + second;
    EXPECT_EQ(all.find("现金\n100.25\n银行卡\n20.50\n120.75\n") != std::string::npos, true) << all;
    EXPECT_EQ(all.find("现金"), all.rfind("现金")) << "P2 has no pay rows";
    // The summary: sums across levels and rows, and a money parameter.
    EXPECT_THAT(second, HasSubstr("500\n1234.50\n")) << "(210 + 40) * 2";

    // The group continuing on page two repeats its header under the page header.
    const auto repeated = document.FindTexts(1, "演出P2");
    ASSERT_FALSE(repeated.empty());
    EXPECT_DOUBLE_EQ(repeated[0]->rect.top(), 10 + 6);
    // Nothing is drawn below the page footer's top or above the top margin.
    for (const TReportPage& page : document.pages)
        for (const TDrawCommand& command : page.commands) {
            EXPECT_GE(command.rect.top(), 10 - 1e-9);
            if (command.text.rfind("第 ", 0) != 0) {
                EXPECT_LE(command.rect.bottom(), 297 - 10 - 8 + 1e-9) << command.text;
            }
        }
}

TEST_F(ReportEngineTest, NestedRowsCarriedToANewPageKeepThePageBandsOnTheReport) {
    for (int i = 0; i < 60; ++i)
        pay_.AppendRecord({"P1", "挂账" + std::to_string(i), 1.0});
    const TReportDocument document = Build(2);
    ASSERT_EQ(document.pages.size(), 2u);
    // The repeated group header on page two reads the report's row, not the pay row being printed.
    EXPECT_EQ(document.FindTexts(1, "演出P1").size(), 1u);
    EXPECT_EQ(document.FindTexts(1, "挂账59").size(), 1u);
    EXPECT_THAT(document.PageText(1), HasSubstr("第 2 页 共 2 页"));
}

TEST_F(ReportEngineTest, ColumnSetsKeepTheKeysWithValuesAndShareTheirArea) {
    const TReportDocument document = Build(1);
    ASSERT_EQ(document.pages.size(), 1u);
    // B is left out; A and C share 120 mm, each capped at 50 mm; the 40 mm template scales to 50.
    const auto a = document.FindTexts(0, "A级"), b = document.FindTexts(0, "B级"),
               c = document.FindTexts(0, "C级");
    ASSERT_EQ(a.size(), 1u);
    EXPECT_TRUE(b.empty());
    ASSERT_EQ(c.size(), 1u);
    EXPECT_DOUBLE_EQ(a[0]->rect.left(), 10 + 60);
    EXPECT_DOUBLE_EQ(a[0]->rect.width(), 50);
    EXPECT_DOUBLE_EQ(c[0]->rect.left(), 10 + 60 + 50);
    EXPECT_EQ(a[0]->align, TReportAlign::Center);
    // Detail cells under their level: the amount, and the price below it; a zero amount is blank.
    const auto prices = document.FindTexts(0, "80.50");
    ASSERT_EQ(prices.size(), 2u);
    EXPECT_DOUBLE_EQ(prices[0]->rect.left(), c[0]->rect.left());
    // The row's amounts added across levels (B's empty value included): 1 + 0 + 2.
    EXPECT_EQ(document.FindTexts(0, "3").size(), 2u);
    // The totals column follows the last kept level, and adds up the levels' own values, not its key's.
    const auto total = document.FindTexts(0, "合计");
    ASSERT_EQ(total.size(), 1u);
    EXPECT_DOUBLE_EQ(total[0]->rect.left(), 10 + 60 + 50 + 50);
    EXPECT_EQ(document.FindTexts(0, "180.50").size(), 2u) << "100 + 0 + 80.50 in each row's totals cell";
    EXPECT_THROW(ParseReportLayout(R"({"dataset": "M", "bands": {}, "columnSets": {
        "a": {"keys": ["A"], "x": 0, "width": 10, "cellWidth": 10, "follows": "b"},
        "b": {"keys": ["B"], "width": 10, "cellWidth": 10, "follows": "a"}}})",
                                   "loop.rep"),
                 EReportLayout);
}

TEST_F(ReportEngineTest, UnknownDataIsAnErrorNamingTheLayout) {
    std::string badField = kLayout;
    badField.replace(badField.find("\"SALESORT\""), 10, "\"SALESORTX\"");
    EXPECT_THROW(
        {
            try {
                Build(1, badField.c_str());
            } catch (const EReportLayout& e) {
                EXPECT_THAT(e.what(), HasSubstr("test.rep"));
                EXPECT_THAT(e.what(), HasSubstr("SALESORTX"));
                throw;
            }
        },
        EReportLayout);

    TReportEngine engine(ParseReportLayout(kLayout, "test.rep"));
    engine.SetDataSet("MAIN", &sales_);
    engine.SetParameter("USER", FieldValue("x"));
    EXPECT_THROW(engine.Build(), EReportLayout) << "no alias PAY and no parameters";
}

TEST(ReportValues, FormatsFollowTheFieldOrTheLayout) {
    struct Case {
        FieldValue value;
        TValueFormat format;
        bool blankZero;
        const char* text;
    };
    const Case cases[] = {
        {FieldValue(12), TValueFormat::Auto, false, "12"},
        {FieldValue(12.005), TValueFormat::Auto, false, "12.01"},
        {FieldValue(-0.001), TValueFormat::Money, false, "0.00"},
        {FieldValue(0.0), TValueFormat::Money, true, ""},
        {FieldValue(0), TValueFormat::Integer, true, ""},
        {FieldValue(7.6), TValueFormat::Integer, false, "8"},
        {FieldValue(46363.8125), TValueFormat::Minutes, false, "2026-12-07 19:30"},
        {FieldValue(46363.8125), TValueFormat::Date, false, "2026-12-07"},
        {FieldValue("2026-12-07 19:30"), TValueFormat::Minutes, false, "2026-12-07 19:30"},
        {FieldValue(true), TValueFormat::Auto, false, "是"},
        {FieldValue(), TValueFormat::Money, false, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatReportValue(c.value, c.format, c.blankZero), c.text);
}
