// The Excel export, read back cell by cell from the .xlsx it writes.

#include "platform/core/datetime.h"
#include "platform/dataset/clientdataset.h"
#include "platform/widgets/excelexport.h"
#include "xlsxcells.h"

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace kav;
using kav::test::ReadXlsxCells;
using kav::test::XlsxCell;

namespace {

class ExcelExportTest : public ::testing::Test {
protected:
    std::filesystem::path File(const char* name) const { return (dir_.path() + "/" + name).toStdString(); }
    static QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }
    // Files in the folder other than `kept`: no temporary may stay behind.
    int StrayFiles(const std::filesystem::path& kept) const {
        int stray = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path().toStdString()))
            stray += entry.path() != kept;
        return stray;
    }
    QTemporaryDir dir_;
};

} // namespace

TEST_F(ExcelExportTest, DataSetCellsKeepTheirKindsUnderDisplayLabels) {
    TClientDataSet ds;
    ds.AddFieldDef("PRODUCTNAME", TFieldType::ftString, 64).displayLabel = "演出名称";
    ds.AddFieldDef("AMOUNT", TFieldType::ftInteger).displayLabel = "已售数量";
    ds.AddFieldDef("MONEY", TFieldType::ftCurrency).displayLabel = "已售金额";
    ds.AddFieldDef("RATE", TFieldType::ftFloat);
    ds.AddFieldDef("HAPPENTIME", TFieldType::ftDateTime).displayLabel = "演出时间";
    ds.AddFieldDef("PAID", TFieldType::ftBoolean);
    ds.AddFieldDef("PRODUCTCODE", TFieldType::ftString, 8).visible = false;
    ds.CreateDataSet();
    const TDateTime evening = EncodeDateTime({2026, 12, 7, 19, 30, 0, 0});
    ds.AppendRecord({"新年音乐会", 12, 1880.5, 0.25, evening, true, "P0001"});
    ds.AppendRecord({"O'Brien 专场", 3, 300.0, FieldValue(), FieldValue(), false, "P0002"});
    ds.AppendRecord({"不导出", 1, 1.0, 1.0, evening, true, "P0003"});
    ds.SetFilter("PRODUCTCODE <> 'P0003'");
    ds.SetFiltered(true);
    ds.SetIndexFieldNames("AMOUNT");
    ds.Last();

    const auto file = File("report.xlsx");
    TExcelExport excel;
    excel.ExportDataSet(ds, file);
    EXPECT_EQ(ds.FieldByName("PRODUCTCODE").AsString(), "P0001") << "the cursor stays where it was";

    const auto cells = ReadXlsxCells(Q(file));
    // Titles: display labels (the name where there is none), bold; the hidden field is left out.
    const QStringList titles{"演出名称", "已售数量", "已售金额", "RATE", "演出时间", "PAID"};
    for (int c = 0; c < titles.size(); ++c) {
        EXPECT_EQ(cells.at({0, c}).text, titles[c]);
        EXPECT_TRUE(cells.at({0, c}).bold);
    }
    EXPECT_FALSE(cells.count({0, 6}));
    // Rows in the view's order (by AMOUNT): the filtered row is not there.
    EXPECT_EQ(cells.at({1, 0}).text, "O'Brien 专场");
    EXPECT_EQ(cells.at({2, 0}).text, "新年音乐会");
    EXPECT_FALSE(cells.count({3, 0}));

    const XlsxCell& amount = cells.at({2, 1});
    EXPECT_TRUE(amount.number);
    EXPECT_EQ(amount.text, "12");
    const XlsxCell& money = cells.at({2, 2});
    EXPECT_TRUE(money.number);
    EXPECT_DOUBLE_EQ(money.text.toDouble(), 1880.5);
    EXPECT_EQ(money.format, "0.00");
    const XlsxCell& rate = cells.at({2, 3});
    EXPECT_TRUE(rate.number);
    EXPECT_EQ(rate.format, "");
    const XlsxCell& time = cells.at({2, 4});
    EXPECT_TRUE(time.number) << "a date is a number with a date format";
    EXPECT_DOUBLE_EQ(time.text.toDouble(), evening);
    EXPECT_EQ(time.format, "yyyy-mm-dd hh:mm:ss");
    EXPECT_TRUE(cells.at({2, 5}).boolean);
    EXPECT_EQ(cells.at({2, 5}).text, "1");
    // Nulls are empty cells.
    EXPECT_FALSE(cells.count({1, 3}));
    EXPECT_FALSE(cells.count({1, 4}));
    EXPECT_EQ(kav::test::ReadXlsxSheetName(Q(file)), "Sheet1");
    EXPECT_EQ(StrayFiles(file), 0);
}

TEST_F(ExcelExportTest, ValuesAreConvertedToTheirColumnsKind) {
    TExcelTable table;
    table.columns = {{"代码", TExcelKind::Text},
                     {"金额", TExcelKind::Money},
                     {"数量", TExcelKind::Integer},
                     {"日期", TExcelKind::Date},
                     {"备注", TExcelKind::Number}};
    table.rows = {
        {FieldValue(42), FieldValue("12.5"), FieldValue(7.0), FieldValue(EncodeDate(2026, 1, 2)),
         FieldValue("无")},
        {FieldValue(1.5), FieldValue("不是数字"), FieldValue(), FieldValue(EncodeDate(1899, 12, 30)),
         FieldValue(true)},
        {FieldValue("短行")},
    };
    const auto file = File("table.xlsx");
    TExcelExport excel;
    excel.SheetName = "项目汇总[2026/12]:全部*?";
    excel.ExportTable(table, file);
    const auto cells = ReadXlsxCells(Q(file));

    EXPECT_FALSE(cells.at({1, 0}).number) << "a number in a text column is its text";
    EXPECT_EQ(cells.at({1, 0}).text, "42");
    EXPECT_EQ(cells.at({2, 0}).text, "1.5");
    EXPECT_TRUE(cells.at({1, 1}).number) << "a text spelling a number is a number in a money column";
    EXPECT_EQ(cells.at({1, 1}).text, "12.5");
    EXPECT_EQ(cells.at({1, 1}).format, "0.00");
    EXPECT_FALSE(cells.at({2, 1}).number) << "a text spelling none stays text";
    EXPECT_EQ(cells.at({2, 1}).text, "不是数字");
    EXPECT_EQ(cells.at({1, 2}).format, "0");
    EXPECT_EQ(cells.at({1, 3}).format, "yyyy-mm-dd");
    EXPECT_FALSE(cells.at({2, 3}).number) << "Excel cannot show days before March 1900";
    EXPECT_EQ(cells.at({2, 3}).text, "1899-12-30");
    EXPECT_EQ(cells.at({1, 4}).text, "无");
    EXPECT_TRUE(cells.at({2, 4}).number);
    EXPECT_EQ(cells.at({2, 4}).text, "1");
    EXPECT_EQ(cells.at({3, 0}).text, "短行");
    EXPECT_FALSE(cells.count({3, 1}));
    EXPECT_EQ(kav::test::ReadXlsxSheetName(Q(file)), "项目汇总_2026_12__全部__");
}

TEST_F(ExcelExportTest, AFailedExportNamesTheFileAndKeepsTheOldOne) {
    const auto file = File("kept.xlsx");
    std::ofstream(file) << "earlier export";
    TExcelExport excel;

    TExcelTable tooLong{{{"备注", TExcelKind::Text}}, {{FieldValue(std::string(32768, 'x'))}}};
    try {
        excel.ExportTable(tooLong, file);
        ADD_FAILURE() << "a text longer than a cell holds was written";
    } catch (const EExcelExport& e) {
        EXPECT_NE(std::string(e.what()).find("kept.xlsx"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("32767"), std::string::npos) << e.what();
    }
    std::string content;
    std::getline(std::ifstream(file), content);
    EXPECT_EQ(content, "earlier export");
    EXPECT_EQ(StrayFiles(file), 0);

    TExcelTable wide;
    wide.columns.resize(16385, {"列", TExcelKind::Text});
    EXPECT_THROW(excel.ExportTable(wide, file), EExcelExport);
    TExcelTable ragged{{{"一", TExcelKind::Text}}, {{FieldValue(1), FieldValue(2)}}};
    EXPECT_THROW(excel.ExportTable(ragged, file), EExcelExport);

    const std::filesystem::path nowhere = File("missing-folder") / "report.xlsx";
    try {
        excel.ExportTable({{{"一", TExcelKind::Text}}, {}}, nowhere);
        ADD_FAILURE() << "a file in a missing folder was written";
    } catch (const EExcelExport& e) {
        EXPECT_NE(std::string(e.what()).find(nowhere.string()), std::string::npos) << e.what();
    }
}
