// The workstation settings in CONFIGURE.CONF and the column layout in OptionsSet.xml: defaults, what a
// damaged file reads as, round trips, and what writing keeps.
#include "orderhandler/odrhcolumns.h"
#include "orderhandler/odrhoptionsset.h"
#include "orderhandler/odrhsettings.h"
#include "platform/core/inifile.h"

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

using namespace kav;
using namespace kav::orderhandler;
namespace fs = std::filesystem;

namespace {

class SettingsFilesTest : public ::testing::Test {
protected:
    fs::path File(const char* name) const { return fs::path(dir_.path().toStdString()) / name; }
    void Write(const fs::path& file, const std::string& text) const { std::ofstream(file, std::ios::binary) << text; }
    std::string Read(const fs::path& file) const {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    int FilesInFolder() const {
        return static_cast<int>(std::distance(fs::directory_iterator(dir_.path().toStdString()), fs::directory_iterator()));
    }
    QTemporaryDir dir_;
};

TDateTime Time(int hour, int minute, int second = 0) {
    return (hour * 3600 + minute * 60 + second) / 86400.0;
}

std::vector<std::string> FieldOrder(const TOrderTitleInfoList& titles, bool shownOnly) {
    std::vector<std::string> names;
    for (const auto& title : titles)
        if (!shownOnly || title->shown) names.push_back(title->fieldName);
    return names;
}

} // namespace

TEST_F(SettingsFilesTest, AFreshInstallationSearchesFromYesterdayToToday) {
    const TOrderTimePeriodSetting setting = LoadOrderTimeSettingFromConfigFile(File("CONFIGURE.CONF"));
    EXPECT_EQ(setting, TOrderTimePeriodSetting{});
    EXPECT_EQ(setting.beginKind, TOrderTimeKind::otkTodayBefore);
    EXPECT_EQ(setting.beginDays, 1);
    EXPECT_EQ(setting.endKind, TOrderTimeKind::otkToday);
    TDateTime begin = 0, end = 0;
    const TDateTime now = EncodeDateTime({2024, 3, 1, 15, 30});
    ASSERT_TRUE(ExtractOrderTimeSetting(setting, begin, end, now));
    EXPECT_EQ(FormatDateTimeIso(begin), "2024-02-29 00:00:00");
    EXPECT_EQ(FormatDateTimeIso(end), "2024-03-01 00:00:00");
    EXPECT_EQ(LoadPrinterNameFromConfigFile(File("CONFIGURE.CONF")), "");
    EXPECT_EQ(LoadShippingListPage(File("CONFIGURE.CONF")), TShippingListPage{});
}

TEST_F(SettingsFilesTest, SavedSettingsReadBackAndKeepTheRestOfTheFile) {
    const fs::path file = File("CONFIGURE.CONF");
    Write(file, "; workstation 7\n[Other]\nKey=kept\n");
    TOrderTimePeriodSetting setting;
    setting.beginKind = TOrderTimeKind::otkTodayBefore;
    setting.beginDays = 7;
    setting.beginTime = Time(8, 30);
    setting.endKind = TOrderTimeKind::otkToday;
    setting.endTime = Time(23, 59, 59);
    SaveOrderTimeSettingToConfigFile(setting, file);
    SavePrinterNameToConfigFile("配送单打印机", file);
    SaveShippingListPage({"A4", false}, file);

    EXPECT_EQ(LoadOrderTimeSettingFromConfigFile(file), setting);
    EXPECT_EQ(LoadPrinterNameFromConfigFile(file), "配送单打印机");
    EXPECT_EQ(LoadShippingListPage(file), (TShippingListPage{"A4", false}));
    const IniFile ini(file);
    EXPECT_EQ(ini.ReadString("Other", "Key", ""), "kept");
    EXPECT_EQ(ini.ReadString("OrderTimePeriodInOrderHandler", "BeginOrderTime", ""), "08:30:00");
    EXPECT_EQ(ini.ReadString("OrderTimePeriodInOrderHandler", "EndOrderTime", ""), "23:59:59");
    EXPECT_EQ(FilesInFolder(), 1); // written atomically, no temporary left
}

TEST_F(SettingsFilesTest, NoLimitIsWrittenWithEmptyDaysAndTime) {
    const fs::path file = File("CONFIGURE.CONF");
    TOrderTimePeriodSetting setting;
    setting.beginKind = setting.endKind = TOrderTimeKind::otkNoDefine;
    setting.beginDays = 5;
    SaveOrderTimeSettingToConfigFile(setting, file);
    const IniFile ini(file);
    EXPECT_EQ(ini.ReadString("OrderTimePeriodInOrderHandler", "BeginOrderTimeKind", ""), "NoDefine");
    EXPECT_EQ(ini.TryReadString("OrderTimePeriodInOrderHandler", "BeginOrderDates"), "");
    EXPECT_EQ(ini.TryReadString("OrderTimePeriodInOrderHandler", "BeginOrderTime"), "");
    const TOrderTimePeriodSetting read = LoadOrderTimeSettingFromConfigFile(file);
    EXPECT_EQ(read.beginKind, TOrderTimeKind::otkNoDefine);
    EXPECT_EQ(read.beginDays, 0);
    TDateTime begin = 1, end = 2;
    EXPECT_FALSE(ExtractOrderTimeSetting(read, begin, end));
    EXPECT_EQ(begin, 1); // left alone
}

// Values a hand-edited or damaged file may hold read as the defaults, one key at a time.
TEST_F(SettingsFilesTest, UnusableValuesReadAsDefaults) {
    struct Case {
        const char* lines;
        TOrderTimePeriodSetting expected;
    };
    TOrderTimePeriodSetting sevenDays;
    sevenDays.beginDays = 7;
    TOrderTimePeriodSetting nineFifteen;
    nineFifteen.beginTime = Time(9, 15);
    const std::vector<Case> cases{
        {"BeginOrderTimeKind=Yesterday\nEndOrderTimeKind=\n", {}},
        {"BeginOrderDates=31\n", {}},
        {"BeginOrderDates=0\n", {}},
        {"BeginOrderDates=-3\n", {}},
        {"BeginOrderDates=seven\n", {}},
        {"BeginOrderDates=7\nBeginOrderTime=25:00:00\n", sevenDays},
        {"BeginOrderTime=9:15\n", nineFifteen},
        {"BeginOrderTime=09:15:00 pm\n", {}},
        {"EndOrderDates=99\n", {}},
    };
    for (const Case& c : cases) {
        const fs::path file = File("CONFIGURE.CONF");
        Write(file, std::string("[OrderTimePeriodInOrderHandler]\n") + c.lines);
        EXPECT_EQ(LoadOrderTimeSettingFromConfigFile(file), c.expected) << c.lines;
    }
    // A file that cannot be read at all gives every default.
    fs::create_directory(File("unreadable"));
    EXPECT_EQ(LoadOrderTimeSettingFromConfigFile(File("unreadable")), TOrderTimePeriodSetting{});
}

TEST(OrderTimeSetting, CompareLooksPastTheKindOnlyWhenItLimits) {
    TOrderTimePeriodSetting a, b;
    b.endTime = Time(12, 0);
    EXPECT_FALSE(CompareOrderTimeSetting(a, b));
    a.beginKind = b.beginKind = TOrderTimeKind::otkNoDefine;
    EXPECT_TRUE(CompareOrderTimeSetting(a, b));
    b.beginKind = TOrderTimeKind::otkToday;
    EXPECT_FALSE(CompareOrderTimeSetting(a, b));

    TOrderTimePeriodSetting evening;
    evening.beginKind = evening.endKind = TOrderTimeKind::otkToday;
    evening.beginTime = Time(18, 0);
    evening.endTime = Time(9, 0);
    TDateTime begin = 0, end = 0;
    ASSERT_TRUE(ExtractOrderTimeSetting(evening, begin, end, EncodeDateTime({2024, 5, 2, 10, 0})));
    EXPECT_GE(begin, end); // the settings dialog refuses such a range
}

TEST_F(SettingsFilesTest, ColumnsWithoutAFileAreTheTableInOrderAllShown) {
    const TOrderTitleInfoList titles = LoadOrderTitles(File("OptionsSet.xml"));
    ASSERT_EQ(titles.Count(), kOrderColumnCount);
    for (int i = 0; i < kOrderColumnCount; ++i) {
        EXPECT_EQ(titles.Items(i).index, i);
        EXPECT_EQ(titles.Items(i).columnIndex, i);
        EXPECT_TRUE(titles.Items(i).shown);
    }
    EXPECT_EQ(titles.Items(8).title, "应收金额");
    EXPECT_EQ(titles.Items(8).width, 100);
}

TEST_F(SettingsFilesTest, ThreeShownFieldsAppearInTheSortPositions) {
    const fs::path file = File("OptionsSet.xml");
    Write(file, R"(<?xml version="1.0" encoding="UTF-8"?>
<OptionsSet>
  <OrderHandler_OrderTitlesShowSet>
    <OrderTitlesSortItem Sort_1="4" Sort_2="0" Sort_3="8"/>
    <OrderTitlesShowItem TitlesShow_1="OrderCode" TitlesShow_2="Receivables" TitlesShow_3="CustomerName"/>
  </OrderHandler_OrderTitlesShowSet>
</OptionsSet>)");
    const TOrderTitleInfoList titles = LoadOrderTitles(file);
    EXPECT_EQ(FieldOrder(titles, true), (std::vector<std::string>{"CustomerName", "OrderCode", "Receivables"}));
    EXPECT_EQ(titles.Find("CustomerName")->columnIndex, 0);
    EXPECT_EQ(titles.Find("Receivables")->columnIndex, 2);
    EXPECT_EQ(titles.Find("EMail")->columnIndex, -1);
    EXPECT_EQ(titles.GetOrderTitleInfoRecord(1)->fieldName, "OrderCode");
    EXPECT_EQ(titles.GetOrderTitleInfoRecord(3), nullptr);
}

// Whatever the file says, the list is each of the 26 columns exactly once.
TEST_F(SettingsFilesTest, BadRepeatedAndOutOfRangeSortEntriesAreIgnored) {
    const fs::path file = File("OptionsSet.xml");
    Write(file, R"(<OptionsSet><OrderHandler_OrderTitlesShowSet>
<OrderTitlesSortItem Sort_1="3" Sort_2="3" Sort_3="26" Sort_4="-1" Sort_5="x" Sort_6="2" Sort_40="1"/>
<OrderTitlesShowItem TitlesShow_1="NoSuchField" TitlesShow_2="OrderCode" TitlesShow_3="OrderCode"/>
</OrderHandler_OrderTitlesShowSet></OptionsSet>)");
    const TOrderTitleInfoList titles = LoadOrderTitles(file);
    ASSERT_EQ(titles.Count(), kOrderColumnCount);
    std::set<int> indexes;
    for (const auto& title : titles)
        indexes.insert(title->index);
    EXPECT_EQ(indexes.size(), static_cast<std::size_t>(kOrderColumnCount));
    EXPECT_EQ(titles.Items(0).index, 3);
    EXPECT_EQ(titles.Items(5).index, 2);
    EXPECT_EQ(titles.Items(1).index, 1); // its own index was free
    EXPECT_EQ(FieldOrder(titles, true), (std::vector<std::string>{"OrderCode"}));

    // Show entries that name no column at all leave every column shown rather than an empty grid.
    Write(file, R"(<OptionsSet><OrderHandler_OrderTitlesShowSet><OrderTitlesSortItem/>
<OrderTitlesShowItem TitlesShow_1="Gone"/></OrderHandler_OrderTitlesShowSet></OptionsSet>)");
    EXPECT_EQ(FieldOrder(LoadOrderTitles(file), true).size(), static_cast<std::size_t>(kOrderColumnCount));
    // Not XML at all: the defaults.
    Write(file, "<OptionsSet><unclosed>");
    EXPECT_EQ(LoadOrderTitles(file).Items(25).fieldName, "ShippingComment");
}

TEST_F(SettingsFilesTest, SavingReplacesOnlyTheColumnElement) {
    const fs::path file = File("OptionsSet.xml");
    Write(file, R"(<?xml version="1.0" encoding="UTF-8"?>
<OptionsSet><ReportSet Font="宋体"/><OrderHandler_OrderTitlesShowSet><Old/></OrderHandler_OrderTitlesShowSet></OptionsSet>)");
    TOrderTitleInfoList titles = DefaultOrderTitles();
    titles.Items(0).shown = false;
    auto last = titles.GetCloneItems(25);
    titles.Delete(25);
    titles.Insert(0, std::move(last));
    NumberOrderTitles(titles);
    SaveOrderTitles(titles, file);

    const std::string text = Read(file);
    EXPECT_NE(text.find("<ReportSet Font=\"宋体\"/>"), std::string::npos) << text;
    EXPECT_EQ(text.find("<Old"), std::string::npos);
    EXPECT_EQ(FilesInFolder(), 1);
    const TOrderTitleInfoList read = LoadOrderTitles(file);
    EXPECT_EQ(FieldOrder(read, false), FieldOrder(titles, false));
    EXPECT_EQ(FieldOrder(read, true), FieldOrder(titles, true));
    EXPECT_FALSE(read.Find("OrderCode")->shown);
    EXPECT_EQ(read.Find("ShippingComment")->columnIndex, 0);

    // Without a file a new document is started.
    SaveOrderTitles(titles, File("new.xml"));
    EXPECT_EQ(FieldOrder(LoadOrderTitles(File("new.xml")), true), FieldOrder(titles, true));
}
