// The order handler's own dialogs: the settings and what they refuse, and the product search on the
// hosted server's performances.
#include "orderhandler/odrhpackage.h"
#include "orderhandler/odrhsettings.h"
#include "orderhandler/uiorderhandlersearchproduct.h"
#include "orderhandler/uiorderhandlersetting.h"
#include "orderwindowfixture.h"
#include "platform/core/inifile.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QHeaderView>
#include <QPushButton>
#include <QTimeEdit>
#include <QTreeWidget>

using namespace kav;
using namespace kav::orderhandler;
using namespace kav::orderhandler::test;
namespace fs = std::filesystem;

namespace {

class SettingDialogTest : public ::testing::Test {
protected:
    fs::path File() const { return fs::path(dir_.path().toStdString()) / "CONFIGURE.CONF"; }
    std::string Stored(const char* key) const {
        return IniFile(File()).ReadString("OrderTimePeriodInOrderHandler", key, "(none)");
    }
    QTemporaryDir dir_;
    ScriptedDialogResponder dialogs_;
};

void SetBound(TUIOrderHandlerSetting& dialog, const char* name, int kind, QTime time) {
    Find<QComboBox>(dialog, (std::string("cmb") + name + "Kind").c_str()).setCurrentIndex(kind);
    Find<QTimeEdit>(dialog, (std::string("dtp") + name + "Time").c_str()).setTime(time);
}

} // namespace

TEST_F(SettingDialogTest, RefusesAnEmptyRangeAndAMissingPrinter) {
    TUIOrderHandlerSetting dialog({"配送单打印机", "PDF"}, File());
    EXPECT_EQ(Find<QComboBox>(dialog, "cmbOrderTimeSort").currentText(), QStringLiteral("自定义"));
    EXPECT_EQ(Find<QComboBox>(dialog, "cmbPrinters").count(), 3);
    EXPECT_FALSE(Find<QComboBox>(dialog, "cmbBeginDays").isHidden()); // 提前: days and time
    EXPECT_TRUE(Find<QComboBox>(dialog, "cmbEndDays").isHidden());     // 当天: the time only

    SetBound(dialog, "Begin", 1, QTime(18, 0)); // 当天 18:00
    SetBound(dialog, "End", 1, QTime(9, 0));    // 当天 09:00
    Find<QComboBox>(dialog, "cmbPrinters").setCurrentIndex(1);
    dialogs_.Push(1);
    dialog.AcceptSettings();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialogs_.Log().back().text, "订单创建时间段设置不正确，可能是起始时间大于或等于截止时间引起的！");
    EXPECT_EQ(Stored("BeginOrderTimeKind"), "(none)"); // nothing saved

    // An open end under a limited start would leave the search without a range.
    SetBound(dialog, "End", 2, QTime(0, 0));
    dialogs_.Push(1);
    dialog.AcceptSettings();
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    SetBound(dialog, "End", 1, QTime(23, 0));
    Find<QComboBox>(dialog, "cmbPrinters").setCurrentIndex(0);
    dialogs_.Push(1);
    dialog.AcceptSettings();
    EXPECT_EQ(dialogs_.Log().back().text, "请设置配送单打印机名称！");
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Stored("BeginOrderTime"), "18:00:00"); // the range was saved before the printer was missed

    Find<QComboBox>(dialog, "cmbPrinters").setCurrentIndex(2);
    dialog.AcceptSettings();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(LoadPrinterNameFromConfigFile(File()), "PDF");
    EXPECT_EQ(dialogs_.PendingAnswers(), 0u);
}

TEST_F(SettingDialogTest, UnlimitedWritesNoDefine) {
    TUIOrderHandlerSetting dialog({"PDF"}, File());
    auto& sort = Find<QComboBox>(dialog, "cmbOrderTimeSort");
    sort.setCurrentIndex(1);
    EXPECT_FALSE(Find<QComboBox>(dialog, "cmbBeginKind").isEnabled());
    EXPECT_TRUE(Find<QTimeEdit>(dialog, "dtpBeginTime").isHidden());
    Find<QComboBox>(dialog, "cmbPrinters").setCurrentIndex(1);
    dialog.AcceptSettings();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Stored("BeginOrderTimeKind"), "NoDefine");
    EXPECT_EQ(Stored("BeginOrderDates"), "");

    // Shown again it starts from what was saved; back to "自定义" proposes 提前 1 天 to 当天.
    TUIOrderHandlerSetting again({"PDF"}, File());
    EXPECT_EQ(Find<QComboBox>(again, "cmbOrderTimeSort").currentText(), QStringLiteral("无限制"));
    Find<QComboBox>(again, "cmbOrderTimeSort").setCurrentIndex(0);
    EXPECT_EQ(Find<QComboBox>(again, "cmbBeginKind").currentText(), QStringLiteral("提前"));
    EXPECT_EQ(Find<QComboBox>(again, "cmbBeginDays").currentText(), QStringLiteral("1天"));
    EXPECT_EQ(Find<QComboBox>(again, "cmbEndKind").currentText(), QStringLiteral("当天"));
}

TEST_P(OrderWindowTest, ProductSearchHandsBackTheTickedPerformances) {
    OpenWindow();
    TUIOrderHandlerSearchProduct dialog(odrHDataProvider());
    dialog.Prepare();
    auto& list = Find<QTreeWidget>(dialog, "lstProducts");
    ASSERT_GE(list.topLevelItemCount(), 2);
    auto& ok = Find<QPushButton>(dialog, "btnOK");
    EXPECT_FALSE(ok.isEnabled());

    // Sorted by name, descending on the second click.
    QHeaderView& header = *list.header();
    emit header.sectionClicked(1);
    emit header.sectionClicked(1);
    for (int row = 1; row < list.topLevelItemCount(); ++row)
        EXPECT_GE(list.topLevelItem(row - 1)->text(1).compare(list.topLevelItem(row)->text(1), Qt::CaseInsensitive), 0);

    list.topLevelItem(0)->setCheckState(0, Qt::Checked);
    list.topLevelItem(1)->setCheckState(0, Qt::Checked);
    EXPECT_TRUE(ok.isEnabled());
    const TSelectedProducts selected = dialog.GetSelectedProducts();
    EXPECT_EQ(std::count(selected[0].begin(), selected[0].end(), '\''), 4);
    EXPECT_EQ(std::count(selected[0].begin(), selected[0].end(), ','), 1);
    EXPECT_EQ(selected[1], (list.topLevelItem(0)->text(1) + ";" + list.topLevelItem(1)->text(1) + ";").toStdString());
    dialog.CheckAll(false);
    EXPECT_FALSE(ok.isEnabled());
    EXPECT_EQ(dialog.GetSelectedProducts(), (TSelectedProducts{}));

    // Chosen from the window, the products narrow its detail search.
    TUIOrderHandler& window = *window_;
    Find<QComboBox>(window, "cbSearchProductName").setCurrentIndex(0);
    {
        ModalAnswers answers([](QDialog& products) {
            Find<QTreeWidget>(products, "lstProducts").topLevelItem(0)->setCheckState(0, Qt::Checked);
            return int(QDialog::Accepted);
        });
        window.UpdateActions();
        Find<QAction>(window, "act_SearchProduct").trigger();
    }
    EXPECT_FALSE(Find<QLineEdit>(window, "etProductName").text().isEmpty());
    window.SearchOrderByDetail();
    EXPECT_NE(LastSql().find(" and o.PRODUCTCODE in ('"), std::string::npos) << LastSql();

    // Back to "无限制": the products no longer narrow the search unseen.
    Find<QComboBox>(window, "cbSearchProductName").setCurrentIndex(1);
    EXPECT_TRUE(Find<QLineEdit>(window, "etProductName").text().isEmpty());
    window.SearchOrderByDetail();
    EXPECT_EQ(LastSql().find("o.PRODUCTCODE in"), std::string::npos);
}
