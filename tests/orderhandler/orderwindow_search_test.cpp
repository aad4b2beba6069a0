// The order window's searches against a hosted kav-server: exact and detail searches with the clauses
// they send (a refused search sends none), the result caption and totals, sorting, the keyboard path
// from an order code to "订单取票", and which window "订单取票" opens.
#include "orderhandler/odrhgridtext.h"
#include "orderhandler/odrhordermodel.h"
#include "orderhandler/odrhsql.h"
#include "orderhandler/uiorderhandlersearchpanel.h"
#include "orderwindowfixture.h"
#include "server/db/testdatabase.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>
#include <QtTest>

using namespace kav;
using namespace kav::orderhandler;
using namespace kav::orderhandler::test;

namespace {

QAction& Action(QWidget& window, const char* name) {
    return Find<QAction>(window, name);
}

void ChooseData(QComboBox& combo, const char* code) {
    const int index = combo.findData(QString::fromLatin1(code));
    ASSERT_GE(index, 0) << code;
    combo.setCurrentIndex(index);
}

// Any create time and status: every order the user may see.
void SearchEverything(TUIOrderHandler& window) {
    Find<QComboBox>(window, "cbSeachTimeDefine").setCurrentIndex(1);
    ChooseData(Find<QComboBox>(window, "cbOrderStatus"), "ALL");
    window.SearchOrderByDetail();
}

std::vector<std::string> Codes(const TOrderGridModel& grid) {
    std::vector<std::string> codes;
    for (int row = 0; row < grid.OrderCount(); ++row)
        codes.push_back(grid.Order(row)->orderCode.str());
    return codes;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, OrderWindowTest, ::testing::ValuesIn(server::test::TestBackends()),
                         [](const auto& info) { return server::test::BackendName(info.param); });

TEST_P(OrderWindowTest, ExactSearchByCodeOrPasswordButNeverBoth) {
    TUIOrderHandler& window = OpenWindow();
    auto& code = Find<QLineEdit>(window, "etCode");
    auto& password = Find<QLineEdit>(window, "etOrderPassWord");
    window.UpdateActions();
    EXPECT_FALSE(Action(window, "act_SearchOrderByPrecision").isEnabled());

    code.setText("D0000001");
    window.SearchOrderByPrecision();
    ASSERT_EQ(window.Grid().OrderCount(), 1);
    EXPECT_EQ(LastSql(), GetOrderInfoSQL("01", "D0000001"));
    EXPECT_EQ(window.Grid().Order(0)->customerName, "张三");
    EXPECT_EQ(window.ExactSearchResult().Count(), 1);
    EXPECT_TRUE(window.ResultCaption().startsWith(QStringLiteral("查询结果：共找到1条订单记录！")));
    EXPECT_EQ(code.selectedText(), QStringLiteral("D0000001"));

    code.clear();
    password.setText("123456");
    window.SearchOrderByPrecision();
    EXPECT_EQ(Codes(window.Grid()), std::vector<std::string>{"D0000001"});

    // Both at once: a warning, the fields selected, and no request.
    code.setText("D0000001");
    const std::size_t calls = PipeCalls();
    dialogs_->Push(1);
    window.SearchOrderByPrecision();
    EXPECT_EQ(PipeCalls(), calls);
    ASSERT_EQ(dialogs_->Log().size(), 1u);
    EXPECT_EQ(dialogs_->Log()[0].caption, "警告");
    EXPECT_EQ(dialogs_->Log()[0].text, "订单精确查询时,订单号和订单密码不能同时输入!");
    EXPECT_EQ(window.Grid().OrderCount(), 0);
    EXPECT_EQ(password.selectedText(), QStringLiteral("123456"));

    password.clear();
    code.setText("NOSUCH");
    window.SearchOrderByPrecision();
    EXPECT_EQ(window.ResultCaption(), QStringLiteral("查询结果：未找到订单记录，请确认查询条件是否正确！"));
    EXPECT_TRUE(Find<QLabel>(window, "lblResult").styleSheet().contains(QStringLiteral("blue")));
}

// "全部" searches only the sources the user may view; the other clauses follow the panel.
TEST_P(OrderWindowTest, DetailSearchSendsTheChosenClauses) {
    TUIOrderHandler& window = OpenWindow(); // demo may view call-centre orders only
    auto& from = Find<QComboBox>(window, "cbOrderFrom");
    ASSERT_EQ(from.count(), 2);
    EXPECT_EQ(from.itemText(0), QStringLiteral("呼叫中心订单"));
    from.setCurrentIndex(1);
    EXPECT_EQ(from.currentText(), QStringLiteral("全部"));
    ChooseData(Find<QComboBox>(window, "cbOrderStatus"), "B");
    Find<QComboBox>(window, "cbSeachTimeDefine").setCurrentIndex(1);
    Find<QLineEdit>(window, "etCustomerName").setText(QStringLiteral("张三"));
    window.SearchOrderByDetail();
    const std::string sql = LastSql();
    EXPECT_TRUE(Contains(sql, " and ORDERSTATUS = 'B'")) << sql;
    EXPECT_TRUE(Contains(sql, " and o.ORDERFROM <> '3'")) << sql;
    EXPECT_TRUE(Contains(sql, " and c.CNAME = '张三'")) << sql;
    EXPECT_TRUE(Contains(sql, " and o.CREATEGROUP = 'G001'")) << sql;
    EXPECT_FALSE(Contains(sql, "CREATETIME >=")) << sql;
    EXPECT_EQ(Codes(window.Grid()), std::vector<std::string>{"D0000001"});
    SearchEverything(window);
    const int ownGroupOrders = window.Grid().OrderCount();

    // Both sources and every group: "全部" and "全部" send neither a source nor a status clause.
    TUIOrderHandler& admin = OpenWindow("ADMIN", "admin");
    ASSERT_EQ(Find<QComboBox>(admin, "cbOrderFrom").count(), 3);
    Find<QComboBox>(admin, "cbOrderFrom").setCurrentIndex(2);
    SearchEverything(admin);
    EXPECT_FALSE(Contains(LastSql(), "and o.ORDERFROM"));
    EXPECT_FALSE(Contains(LastSql(), "and ORDERSTATUS"));
    EXPECT_FALSE(Contains(LastSql(), "o.CREATEGROUP = '")) << LastSql();
    EXPECT_FALSE(Contains(LastSql(), "g.OWNERCODE = '"));
    EXPECT_GT(admin.Grid().OrderCount(), ownGroupOrders);

    // The partner may view online orders only: "全部" with "未处理" asks for online orders in status N.
    TUIOrderHandler& partner = OpenWindow("DMDZP", "dmdzp");
    Find<QComboBox>(partner, "cbOrderFrom").setCurrentIndex(1);
    ChooseData(Find<QComboBox>(partner, "cbOrderStatus"), "B");
    Find<QComboBox>(partner, "cbSeachTimeDefine").setCurrentIndex(1);
    partner.SearchOrderByDetail();
    EXPECT_TRUE(Contains(LastSql(), " and ORDERSTATUS = 'N'")) << LastSql();
    EXPECT_TRUE(Contains(LastSql(), " and o.ORDERFROM = '3'")) << LastSql();
    const auto codes = Codes(partner.Grid());
    EXPECT_NE(std::find(codes.begin(), codes.end(), "D0000003"), codes.end());
}

TEST_P(OrderWindowTest, RefusedSearchSendsNothing) {
    TUIOrderHandler& callCentre = OpenWindow("U002", "u002"); // must give a phone
    std::size_t calls = PipeCalls();
    try {
        callCentre.SearchOrderByDetail();
        ADD_FAILURE() << "searched without a phone";
    } catch (const EodrSearchCondition& e) {
        EXPECT_EQ(e.Type(), EodrSearchConditionType::EPhoneOrCellPhoneRequired);
        EXPECT_STREQ(e.what(), "订单详细查询检索条件必须包含顾客电话或手机！");
    }
    EXPECT_EQ(PipeCalls(), calls);
    Find<QComboBox>(callCentre, "cbSearchProductName").setCurrentIndex(0); // "自定义" without a product
    Find<QLineEdit>(callCentre, "etCellPhoneNumber").setText(QStringLiteral("13901234567"));
    EXPECT_THROW(callCentre.SearchOrderByDetail(), EodrSearchCondition);
    EXPECT_EQ(PipeCalls(), calls);

    // The web shop's account has no order-handler rights: no source, not even "全部".
    TUIOrderHandler& web = OpenWindow("WEB01", "web01");
    EXPECT_EQ(Find<QComboBox>(web, "cbOrderFrom").count(), 0);
    calls = PipeCalls();
    try {
        web.SearchOrderByDetail();
        ADD_FAILURE() << "searched without a source";
    } catch (const EodrSearchCondition& e) {
        EXPECT_EQ(e.Type(), EodrSearchConditionType::EOrderFromRequired);
    }
    EXPECT_EQ(PipeCalls(), calls);
}

TEST_P(OrderWindowTest, TotalsBelongToTheLastSearchAndColumnsSort) {
    TUIOrderHandler& window = OpenWindow();
    SearchEverything(window);
    const int count = window.Grid().OrderCount();
    ASSERT_GT(count, 5);
    long long seats = 0;
    double money = 0;
    for (int row = 0; row < count; ++row) {
        seats += window.Grid().Order(row)->seatCount;
        money += window.Grid().Order(row)->receivables;
    }
    EXPECT_EQ(window.ResultCaption().toStdString(), SearchResultCaption(count, seats, money));

    // Sorting by seat count: ascending, then descending, then ascending again.
    QHeaderView& header = *window.GridView().header();
    const int section = window.Columns().Find("SeatCount")->columnIndex;
    const auto click = [&] {
        QTest::mouseClick(header.viewport(), Qt::LeftButton, {},
                          QPoint(header.sectionViewportPosition(section) + 5, header.height() / 2));
    };
    const auto sorted = [&](bool ascending) {
        for (int row = 1; row < count; ++row) {
            const int a = window.Grid().Order(row - 1)->seatCount, b = window.Grid().Order(row)->seatCount;
            if (ascending ? a > b : a < b) return false;
        }
        return true;
    };
    click();
    EXPECT_TRUE(sorted(true));
    EXPECT_EQ(header.sortIndicatorOrder(), Qt::AscendingOrder);
    click();
    EXPECT_TRUE(sorted(false));
    click();
    EXPECT_TRUE(sorted(true));
    window.SelectRow(0);
    EXPECT_TRUE(window.ResultCaption().startsWith(QStringLiteral("演出：")));

    // A second search starts its totals afresh.
    Find<QLineEdit>(window, "etCode").setText("D0000001");
    window.SearchOrderByPrecision();
    EXPECT_EQ(window.ResultCaption().toStdString(), SearchResultCaption(1, 3, window.Grid().Order(0)->receivables));
}

TEST_P(OrderWindowTest, KeyboardFromOrderCodeToTheOrderWindow) {
    std::vector<std::string> opened;
    TOrderWindows windows;
    windows.openOrder = [&](QWidget*, TodrHOrderInfoRecord& order, const TOrderWindowSession&) {
        opened.push_back(order.orderCode.str());
        return false;
    };
    SetOrderWindows(windows);
    TUIOrderHandler& window = OpenWindow();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto& code = Find<QLineEdit>(window, "etCode");
    ASSERT_TRUE(code.hasFocus());
    QTest::keyClicks(&code, "D0000001");
    QTest::keyClick(&code, Qt::Key_Return);
    ASSERT_EQ(window.Grid().OrderCount(), 1);
    QTest::keyClick(&code, Qt::Key_Down);
    ASSERT_TRUE(window.GridView().hasFocus());
    EXPECT_EQ(window.SelectedOrder(), window.Grid().Order(0));
    window.UpdateActions();
    EXPECT_EQ(Action(window, "act_OrderHandler").toolTip(), QStringLiteral("订单取票 (Return)"));
    QTest::keyClick(&window.GridView(), Qt::Key_Return);
    EXPECT_EQ(opened, std::vector<std::string>{"D0000001"});

    // F3 searches in detail from anywhere in the window, Esc clears the fields and returns to the code.
    QTest::keyClick(&window.GridView(), Qt::Key_Escape);
    EXPECT_TRUE(code.text().isEmpty());
    EXPECT_TRUE(code.hasFocus());
    std::size_t calls = PipeCalls();
    QTest::keyClick(&code, Qt::Key_F3);
    EXPECT_GT(PipeCalls(), calls);
    auto& name = Find<QLineEdit>(window, "etCustomerName");
    name.setFocus();
    calls = PipeCalls();
    QTest::keyClick(&name, Qt::Key_Return);
    EXPECT_GT(PipeCalls(), calls);

    // The status list steps only with the arrows: letters, paging keys and the pop-up do nothing.
    auto& status = Find<QComboBox>(window, "cbOrderStatus");
    status.setFocus();
    const int index = status.currentIndex();
    for (const Qt::Key key : {Qt::Key_A, Qt::Key_End, Qt::Key_PageDown, Qt::Key_Space})
        QTest::keyClick(&status, key);
    EXPECT_EQ(status.currentIndex(), index);
    QTest::keyClick(&status, Qt::Key_Up);
    EXPECT_EQ(status.currentIndex(), index - 1);
}

// With CONTROLOUTPRINTKIND on, the orders of an exact search are settled together, but only while the
// grid shows that search and the chosen order is one of them.
TEST_P(OrderWindowTest, SeveralOrdersOnlyFromTheExactSearchOnScreen) {
    const std::string first = OrderWhere("o.CREATEGROUP = 'G001' and o.ORDERSTATUS = 'B' and o.ORDERFROM = '2' and "
                                         "o.ORDERCODE > 'D0000010'");
    const std::string second =
        OrderWhere("o.CREATEGROUP = 'G001' and o.ORDERSTATUS = 'B' and o.ORDERFROM = '2' and o.ORDERCODE > '" + first + "'");
    Db().Execute("update KAV_ORDER_SHOW set ORDERPASSWORD = '998877' where ORDERCODE in ('" + first + "', '" + second +
                 "')");
    std::vector<std::string> single;
    std::vector<std::vector<std::string>> several;
    int seatTotal = 0;
    TOrderWindows windows;
    windows.openOrder = [&](QWidget*, TodrHOrderInfoRecord& order, const TOrderWindowSession&) {
        single.push_back(order.orderCode.str());
        return true;
    };
    windows.openOrders = [&](QWidget*, TodrHOrderInfoRecord&, TodrHOrderInfoList& orders, int seats, double,
                             const TOrderWindowSession&) {
        std::vector<std::string> codes;
        for (const auto& order : orders)
            codes.push_back(order->orderCode.str());
        std::sort(codes.begin(), codes.end());
        several.push_back(codes);
        seatTotal = seats;
        return false;
    };
    SetOrderWindows(windows);
    TUIOrderHandler& window = OpenWindow();
    Find<QLineEdit>(window, "etOrderPassWord").setText("998877");
    window.SearchOrderByPrecision();
    ASSERT_EQ(window.Grid().OrderCount(), 2);
    window.SelectRow(1);
    window.OrderHandler();
    ASSERT_EQ(several.size(), 1u);
    EXPECT_EQ(several[0], (std::vector<std::string>{first, second}));
    EXPECT_EQ(seatTotal, window.Grid().Order(0)->seatCount + window.Grid().Order(1)->seatCount);
    EXPECT_TRUE(single.empty());

    // A detail search showing one of them: that order alone.
    Find<QLineEdit>(window, "etOrderPassWord").clear();
    SearchEverything(window);
    const auto codes = Codes(window.Grid());
    const auto row = std::find(codes.begin(), codes.end(), first) - codes.begin();
    ASSERT_LT(row, static_cast<long>(codes.size()));
    window.SelectRow(static_cast<int>(row));
    window.OrderHandler();
    EXPECT_EQ(single, std::vector<std::string>{first});
    EXPECT_EQ(several.size(), 1u);
}
