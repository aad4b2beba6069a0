// The report windows as a user works them, offscreen against the hosted server: the shell's package
// registers them, the boxes list what the node has, generate previews the report or prompts, the options
// dialog opens at the options in force, and the product list exports to Excel.

#include "dialogs/dialogresponder.h"
#include "dialogs/modaldriver.h"
#include "host/snapin/snapinregistry.h"
#include "platform/widgets/filedialog.h"
#include "platform/widgets/reportoutput.h"
#include "reports/common/createreportbox.h"
#include "reports/common/kavvtree.h"
#include "reports/common/searchproductbox.h"
#include "reports/group/uigroupcollectreport.h"
#include "reports/perform/uiperformcollectreport.h"
#include "reports/user/uiusercollectreport.h"
#include "reportserver.h"
#include "shell/packageloader.h"
#include "xlsxcells.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gmock/gmock.h>

using namespace kav;
using namespace kav::reports;
using kav::reports::test::ReportServerTest;
using ::testing::HasSubstr;

namespace {

class ReportWindows : public ReportServerTest {
protected:
    void SetUp() override {
        ReportServerTest::SetUp();
        previousPreview_ =
            SetReportPreviewHook([this](const TReportDocument& document) { previewed_.push_back(document); });
    }
    void TearDown() override {
        SetReportPreviewHook(previousPreview_);
        ReportServerTest::TearDown();
    }

    // Shows the window and hands it the login's context, as its snap-in does.
    template <class Window>
    void Open(Window& window, const char* user = "U001", const char* password = "u001") {
        window.show();
        window.template findChild<TKavCSnapIn*>()->SetContext(LoginAs(user, password));
        QCoreApplication::processEvents();
    }

    std::vector<TReportDocument> previewed_;
    TReportPreviewHook previousPreview_;
};

std::vector<std::string> Captions(const ScriptedDialogResponder& dialogs) {
    std::vector<std::string> captions;
    for (const DialogRecord& record : dialogs.Log())
        captions.push_back(record.text);
    return captions;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, ReportWindows, ::testing::ValuesIn(server::test::TestBackends()),
                         kav::reports::test::BackendTestName);

TEST_P(ReportWindows, ThePackageRegistersTheReportsInTheShell) {
    TPackageLoader packages;
    const auto plugins =
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "plugins";
    ASSERT_TRUE(packages.LoadFolder(plugins).empty());
    std::vector<std::string> names;
    for (const TClientSnapInEntry& entry : RegisteredClientSnapIns())
        names.push_back(entry.Name + " " + entry.Caption);
    EXPECT_THAT(names, ::testing::IsSupersetOf(
                           {"CIPerformCollectReport 项目汇总报表", "CIUserCollectReport 售票员销售报表",
                            "CIGroupCollectReport 销售点销售报表", "CIShiftCloseReport 交班报表"}));
    packages.UnloadAll();
}

TEST_P(ReportWindows, PerformReportPreviewsOrPrompts) {
    TUIPerformCollectReport window(*client_);
    Open(window);
    EXPECT_EQ(window.windowTitle(), "项目汇总报表");
    ASSERT_TRUE(window.actGetReport->isEnabled());
    EXPECT_TRUE(window.findChild<QPushButton*>("btn_actGetReport")) << "the condition box holds the buttons";
    EXPECT_TRUE(window.findChild<QPushButton*>("btn_actStatisticOption"));
    EXPECT_FALSE(window.findChild<QPushButton*>("btnExportReport")->isVisible());

    ScriptedDialogResponder dialogs;
    dialogs.Push(1);
    window.actGetReport->trigger();
    EXPECT_EQ(Captions(dialogs), std::vector<std::string>{"请选择演出！"});
    EXPECT_TRUE(previewed_.empty());

    ASSERT_TRUE(window.ProductBox().SetChecked("T'01", true));
    ASSERT_TRUE(window.ProductBox().SetChecked("T03", true));
    window.findChild<QPushButton*>("btn_actGetReport")->click();
    ASSERT_EQ(previewed_.size(), 1u);
    EXPECT_THAT(previewed_[0].PageText(0), HasSubstr("＜无记录＞"));
    EXPECT_THAT(previewed_[0].PageText(0), HasSubstr("测试甲场"));
    EXPECT_EQ(dialogs.Log().size(), 1u) << "no prompt for a report that shows";
}

TEST_P(ReportWindows, StatisticOptionsOpenAtTheOptionsInForce) {
    TUIPerformCollectReport window(*client_);
    Open(window);
    window.DataModule().SaleSource = "2";
    window.DataModule().StatisticByPeriod = false;
    std::vector<QString> items;
    int openedAt = -1;
    bool openedChecked = true;
    WhenModalShown([&](QWidget* dialog) {
        auto* source = dialog->findChild<QComboBox*>("cbSaleSource");
        for (int i = 0; i < source->count(); ++i)
            items.push_back(source->itemText(i));
        openedAt = source->currentIndex();
        openedChecked = dialog->findChild<QCheckBox*>("chkByPeriod")->isChecked();
        source->setCurrentIndex(1);
        dialog->findChild<QCheckBox*>("chkByPeriod")->setChecked(true);
        dialog->findChild<QPushButton*>("btnOK")->click();
    });
    window.actStatisticOption->trigger();
    EXPECT_EQ(items, (std::vector<QString>{"全部", "岚桥演艺中心", "大麦"}));
    EXPECT_EQ(openedAt, 2);
    EXPECT_FALSE(openedChecked);
    EXPECT_EQ(window.DataModule().SaleSource, "1");
    EXPECT_TRUE(window.DataModule().StatisticByPeriod);

    WhenModalShown([](QWidget* dialog) {
        dialog->findChild<QComboBox*>("cbSaleSource")->setCurrentIndex(0);
        dialog->findChild<QCheckBox*>("chkByPeriod")->setChecked(false);
        dialog->findChild<QPushButton*>("btnCancel")->click();
    });
    window.actStatisticOption->trigger();
    EXPECT_EQ(window.DataModule().SaleSource, "1") << "取消 changes nothing";
    EXPECT_TRUE(window.DataModule().StatisticByPeriod);
}

TEST_P(ReportWindows, ProductListExportsToExcel) {
    TUIPerformCollectReport window(*client_);
    Open(window);
    QTemporaryDir dir;
    const std::filesystem::path file = (dir.path() + "/演出信息.xlsx").toStdString();
    std::string asked;
    const TSaveFileNameHook previous =
        SetSaveFileNameHook([&](const QString& caption, const std::filesystem::path& name) {
            asked = caption.toStdString() + "|" + name.string();
            return std::optional<std::filesystem::path>(file);
        });
    window.findChild<QComboBox*>("cbPlace")->setCurrentIndex(
        window.findChild<QComboBox*>("cbPlace")->findText("岚桥小剧场"));
    window.findChild<QPushButton*>("btnExportProduct")->click();
    SetSaveFileNameHook(previous);
    EXPECT_EQ(asked, "导出演出信息|演出信息.xlsx");

    const auto cells = kav::test::ReadXlsxCells(QString::fromStdString(file.string()));
    EXPECT_EQ(cells.at({0, 0}).text, "演出名称");
    EXPECT_EQ(cells.at({0, 1}).text, "场馆名称");
    EXPECT_EQ(cells.at({0, 2}).text, "演出时间");
    std::vector<QString> listed;
    for (int row = 1; cells.count({row, 0}); ++row) {
        EXPECT_EQ(cells.at({row, 1}).text, "岚桥小剧场") << "only the listed performances";
        EXPECT_TRUE(cells.at({row, 2}).number);
        listed.push_back(cells.at({row, 0}).text);
    }
    EXPECT_THAT(listed, ::testing::Contains(QString("测试丙场")));
}

TEST_P(ReportWindows, UserReportChoosesUsersFromTheTree) {
    TUIUserCollectReport window(*client_);
    Open(window);
    EXPECT_EQ(window.windowTitle(), "售票员销售报表");
    QTreeWidget& tree = window.UserTree();
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), "岚桥演艺中心(总中心)");
    EXPECT_TRUE(window.findChild<QComboBox*>("cbtype"));
    EXPECT_FALSE(window.findChild<QComboBox*>("cbProductClass")->isVisibleTo(&window)) << "venue filter only";

    ScriptedDialogResponder dialogs;
    dialogs.Push(1).Push(1);
    window.ProductBox().SetChecked("T'01", true);
    window.actGetReport->trigger();
    window.findChild<QPushButton*>("btnSelectAllUsers")->click();
    window.ProductBox().SelectNone();
    window.actGetReport->trigger();
    EXPECT_EQ(Captions(dialogs), (std::vector<std::string>{"请先选择销售员！", "请先选择演出！"}));

    window.ProductBox().SetChecked("T'01", true);
    window.findChild<QComboBox*>("cbtype")->setCurrentIndex(2);
    window.actGetReport->trigger();
    ASSERT_EQ(previewed_.size(), 1u);
    EXPECT_THAT(previewed_[0].PageText(0), HasSubstr("售票员销售报表(网上)"));
    EXPECT_THAT(previewed_[0].PageText(0), HasSubstr("大麦电子票"));
}

TEST_P(ReportWindows, GroupReportGroupsByPointOrPerformance) {
    TUIGroupCollectReport window(*client_);
    Open(window);
    auto* groupBy = window.findChild<QComboBox*>("cbGroupBy");
    ASSERT_EQ(groupBy->count(), 2);
    EXPECT_EQ(groupBy->currentText(), "销售点");
    window.GroupTree().SetChecked("G001", true);
    window.GroupTree().SetChecked("DM01", true);
    window.ProductBox().SetChecked("T'01", true);
    window.actGetReport->trigger();
    groupBy->setCurrentIndex(1);
    window.actGetReport->trigger();
    ASSERT_EQ(previewed_.size(), 2u);
    const std::string byGroup = previewed_[0].PageText(0), byProduct = previewed_[1].PageText(0);
    EXPECT_LT(byGroup.find("销售点:"), byGroup.find("测试甲场"));
    EXPECT_LT(byProduct.find("测试甲场"), byProduct.find("销售点:"));
}
