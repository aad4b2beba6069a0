// Taking payment and printing as a seller does it, against a hosted kav-server (SQLite, and PostgreSQL
// when KAV_TEST_PG is set) with the real sale core and a folder printer: the whole sale from the
// collection password to the printed tickets; amounts that add up and amounts that do not; a member card
// whose balance is too small, then enough; the connection cut after the money was taken; a printer that
// fails at the third ticket, then "继续打印"; a paid online order collected without a second payment; and
// two paid orders collected at once while another seller handled one of them.
#include "../shell/cuttableproxy.h"
#include "host/orb.h"
#include "orderhandler/odrhordermodel.h"
#include "orderhandler/odrhpackage.h"
#include "orderhandler/odrhprintprogress.h"
#include "orderhandler/odrhpropwindows.h"
#include "orderhandler/uiorderhandlermanyprop.h"
#include "orderhandler/uiorderhandlerprop.h"
#include "orderhandler/uireconcileprint.h"
#include "orderwindowfixture.h"
#include "platform/core/textcodec.h"
#include "printouts.h"
#include "rpc/pelioclient.h"
#include "salecore/usaleticketcoreimpl.h"
#include "server/db/testdatabase.h"
#include "services/login/tplogin.h"
#include "services/ticketoffice/tpticketoffice.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>
#include <fstream>
#include <map>
#include <sstream>

using namespace kav;
using namespace kav::orderhandler;
using namespace kav::orderhandler::test;

namespace {

constexpr const char* kProduct = "P0001"; // not counted against the box office's ceiling
constexpr const char* kStalls = "S0101";

std::int64_t Integer(const server::SqlValue& value) {
    if (const auto* i = std::get_if<std::int64_t>(&value)) return *i;
    if (const auto* d = std::get_if<double>(&value)) return static_cast<std::int64_t>(*d);
    return std::stoll(std::get<std::string>(value));
}

double Number(const server::SqlValue& value) {
    if (const auto* d = std::get_if<double>(&value)) return *d;
    if (const auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
    return std::stod(std::get<std::string>(value));
}

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// What the test does in each of our dialogs, by the dialog's object name; the dialog is shown first,
// as the user sees it. A dialog without a step fails the test and is closed.
class Steps final {
public:
    using TStep = std::function<void(QDialog&)>;
    std::map<std::string, std::vector<TStep>> steps; // in the order the dialogs open
    std::vector<std::string> opened;

    Steps()
        : answers_([this](QDialog& dialog) {
              const std::string name = dialog.objectName().toStdString();
              opened.push_back(name);
              auto& queue = steps[name];
              if (queue.empty()) {
                  ADD_FAILURE() << "no step for the dialog " << name;
                  return int(QDialog::Rejected);
              }
              TStep step = std::move(queue.front());
              queue.erase(queue.begin());
              // As exec() would: modal, shown and active.
              dialog.setWindowModality(Qt::ApplicationModal);
              dialog.show();
              EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog)) << name;
              dialog.activateWindow();
              EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog)) << name;
              step(dialog);
              if (dialog.isVisible()) dialog.reject();
              return dialog.result();
          }) {}
    void On(const std::string& dialog, TStep step) { steps[dialog].push_back(std::move(step)); }

private:
    ModalAnswers answers_;
};

void Press(QWidget& dialog, const char* button) {
    auto& pushButton = Find<QPushButton>(dialog, button);
    ASSERT_TRUE(pushButton.isEnabled()) << button << ": " << pushButton.toolTip().toStdString();
    QTest::mouseClick(&pushButton, Qt::LeftButton);
}

// Chooses the pay mode, types the amount and presses Enter, as the seller adds a payment line.
void Pay(TUIOrderHandlerProp& window, const char* payMode, const char* amount) {
    auto& combo = Find<QComboBox>(window, "cbPayMode");
    const int index = combo.findData(QString::fromLatin1(payMode));
    ASSERT_GE(index, 0) << payMode;
    combo.setCurrentIndex(index);
    emit combo.activated(index);
    auto& edit = Find<QLineEdit>(window, "edtRealPrice");
    edit.setFocus();
    edit.selectAll();
    QTest::keyClicks(&edit, amount);
    QTest::keyClick(&edit, Qt::Key_Return);
}

void Settle(QDialog& dialog) {
    if (auto* prop = qobject_cast<TUIOrderHandlerProp*>(&dialog)) prop->UpdateActions();
    if (auto* many = qobject_cast<TUIOrderHandlerManyProp*>(&dialog)) many->UpdateActions();
    Press(dialog, "btn_act_Print");
}

class PaymentTest : public OrderWindowTest {
protected:
    void SetUp() override {
        OrderWindowTest::SetUp();
        FreeOrderHandlerPackage();
        core_.emplace(ORB());
        UseOrderHandlerSaleCore(&*core_);
        SetOrderWindows(OrderPropertiesWindows());
        pt_SeatInfoList().Clear();
        // The member receipt and the sale core's copy of a collected order go to the working folder.
        workingFolder_ = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(Folder().string()));
    }
    void TearDown() override {
        QDir::setCurrent(workingFolder_);
        OrderWindowTest::TearDown();
        core_.reset();
    }

    std::string Context(const std::string& user = "demo") {
        auto& context = contexts_[user];
        if (context.empty()) context = LoginAs(user, QString::fromStdString(user).toLower().toStdString());
        return context;
    }

    // Books `seats` seats as demo and gives the booking the collection password, source and receivable.
    std::string Book(int seats, const std::string& password, const std::string& from = "2",
                     std::optional<double> receivable = 100.0) {
        TTPTicketOffice office(&ORB());
        TClientDataSet rows;
        rows.SetData(office.CreateOrderAndBooking(true, Context(), kProduct, kStalls, seats, Variant::ByteArray({}))
                         .ByteArrayView());
        const std::string order = rows.FieldByName("ORDERCODE").AsString();
        Db().Execute("update KAV_ORDER_SHOW set ORDERPASSWORD = ?1, ORDERFROM = ?2 where ORDERCODE = ?3",
                     {password, from, order});
        if (receivable) Db().Execute("update KAV_ORDER_SHOW set RECEIVABLES = ?1 where ORDERCODE = ?2", {*receivable, order});
        Db().Execute("update KAV_ORDER_CLIENT_SHOW set CNAME = '测试顾客', CELLPHONE = '13800001111' where ORDERCODE = ?1",
                     {order});
        return order;
    }

    // Pays a booked order as another seller would have (cash), leaving its tickets unprinted.
    void PayElsewhere(const std::string& order, const std::string& payMode = "X") {
        TSaleTicketCoreImpl other(ORB());
        TSaleAccountCondition condition;
        condition.OrderCode = order;
        condition.PayModeCode = payMode;
        condition.CreateGroup = "OWN1";
        condition.ProductCode = kProduct;
        condition.UserRegType = "N";
        condition.Amount = Number(Db().Select("select RECEIVABLES from KAV_ORDER_SHOW where ORDERCODE = ?1", {order})[0][0]);
        TPaymentLines lines;
        lines.Add({payMode, payMode}, AmountText(ReceivableCents(condition.Amount)), "");
        ASSERT_EQ(other.SaleAccount_BL(Context("U001"), condition, "OWN1", {}, lines.Packet()), R_SA_OK)
            << _GetLastSaleCoreErrorMsg();
    }

    std::int64_t Count(const std::string& sql, const std::string& order) {
        return Integer(Db().Select(sql, {order})[0][0]);
    }
    std::int64_t Tickets(const std::string& order) {
        return Count("select count(*) from KAV_TICKET_SHOW where ORDERCODE = ?1", order);
    }
    std::string Status(const std::string& order) {
        return Text("select ORDERSTATUS from KAV_ORDER_SHOW where ORDERCODE = '" + order + "'");
    }

    // The window with the orders of that collection password, the first selected.
    TUIOrderHandler& SearchByPassword(const std::string& password) {
        TUIOrderHandler& window = OpenWindow();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        auto& field = Find<QLineEdit>(window, "etOrderPassWord");
        field.setFocus();
        QTest::keyClicks(&field, QString::fromStdString(password));
        QTest::keyClick(&field, Qt::Key_Return);
        // Down from the search fields moves into the results.
        QTest::keyClick(&field, Qt::Key_Down);
        window.UpdateActions();
        return window;
    }
    void OpenOrder(TUIOrderHandler& window) {
        if (!window.GridView().hasFocus()) { // back from a window: the seller clicks the row again
            window.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
            window.GridView().setFocus();
        }
        window.UpdateActions();
        EXPECT_TRUE(Find<QAction>(window, "act_OrderHandler").isEnabled())
            << Find<QAction>(window, "act_OrderHandler").toolTip().toStdString();
        EXPECT_TRUE(window.GridView().hasFocus());
        QTest::keyClick(&window.GridView(), Qt::Key_Return);
    }

    // Every ticket of the order is a PDF in the print folder that shows its bar code.
    void ExpectPrinted(const std::string& order, std::int64_t seats) {
        const auto barcodes = Db().Select("select BARCODE from KAV_TICKET_SHOW where ORDERCODE = ?1", {order});
        EXPECT_EQ(static_cast<std::int64_t>(barcodes.size()), seats);
        for (const auto& row : barcodes) {
            const std::string barcode = std::get<std::string>(row[0]);
            const auto pdf = PrintFolder() / ("ticket-" + barcode + ".pdf");
            ASSERT_TRUE(std::filesystem::exists(pdf)) << pdf;
            EXPECT_NE(kav::test::PdfText(pdf).find(barcode), std::string::npos) << pdf;
        }
    }

    std::optional<TSaleTicketCoreImpl> core_;
    std::map<std::string, std::string> contexts_;
    QString workingFolder_;
};

INSTANTIATE_TEST_SUITE_P(Backends, PaymentTest, ::testing::ValuesIn(server::test::TestBackends()),
                         [](const auto& info) { return server::test::BackendName(info.param); });

TEST_P(PaymentTest, WholeSaleWithTwoPayModes) {
    const std::string order = Book(3, "700001");
    TUIOrderHandler& window = SearchByPassword("700001");
    ASSERT_EQ(window.Grid().OrderCount(), 1);

    Steps steps;
    steps.On("TUIOrderHandlerProp", [&](QDialog& dialog) {
        auto& prop = static_cast<TUIOrderHandlerProp&>(dialog);
        EXPECT_EQ(Find<QLineEdit>(prop, "edtRealPrice").text(), QStringLiteral("100.00"));
        EXPECT_TRUE(Find<QLineEdit>(prop, "edtRealPrice").hasFocus()); // the seller types the amount at once
        EXPECT_EQ(Find<QTreeWidget>(prop, "vstSeatInfo").topLevelItemCount(), 3);
        Pay(prop, "X", "60");
        // The next pay mode proposes what is still to pay.
        auto& combo = Find<QComboBox>(prop, "cbPayMode");
        combo.setCurrentIndex(combo.findData(QStringLiteral("H")));
        emit combo.activated(combo.currentIndex());
        auto& amount = Find<QLineEdit>(prop, "edtRealPrice");
        EXPECT_EQ(amount.text(), QStringLiteral("40.00"));
        EXPECT_TRUE(amount.hasFocus());
        QTest::keyClick(&amount, Qt::Key_Return);
        EXPECT_EQ(prop.Payments().TotalCents(), 10000);
        EXPECT_TRUE(Find<QPushButton>(prop, "btn_act_Print").hasFocus()); // all paid: Enter settles next
        dialogs_->Push(1); // "打印完毕!"
        Settle(prop);
        EXPECT_EQ(prop.Progress().Position(), 3);
        EXPECT_EQ(prop.Progress().Prompt(), QStringLiteral("打印完毕!"));
    });
    OpenOrder(window);
    EXPECT_EQ(steps.opened, std::vector<std::string>{"TUIOrderHandlerProp"});
    ASSERT_EQ(dialogs_->Log().size(), 1u);
    EXPECT_EQ(dialogs_->Log()[0].text, "打印完毕!");

    // One payment per line, one account row, one ticket per seat, the ledger, the order collected.
    const auto payments =
        Db().Select("select PAYMODECODE, AMOUNT from KAV_PAYMODEMONEY_SHOW where ORDERCODE = ?1 order by PAYMODECODE",
                    {order});
    ASSERT_EQ(payments.size(), 2u);
    EXPECT_EQ(std::get<std::string>(payments[0][0]), "H");
    EXPECT_DOUBLE_EQ(Number(payments[0][1]), 40);
    EXPECT_DOUBLE_EQ(Number(payments[1][1]), 60);
    EXPECT_EQ(Count("select count(*) from KAV_ACCOUNT_SHOW where ORDERCODE = ?1", order), 1);
    EXPECT_EQ(Text("select PAYMODECODE from KAV_ORDER_SHOW where ORDERCODE = '" + order + "'"), "X");
    EXPECT_GE(Count("select count(*) from KAV_REPORT_SHOW where ORDERCODE = ?1", order), 1);
    EXPECT_EQ(Status(order), "A");
    EXPECT_EQ(Text("select ISPRINT from KAV_ORDER_SHOW where ORDERCODE = '" + order + "'"), "Y");
    ExpectPrinted(order, 3);

    // The next customer's code can be typed at once: the code field takes the keys when the window does.
    EXPECT_EQ(window.focusWidget(), &Find<QLineEdit>(window, "etCode"));

    // The list shows the order collected and no longer offers it.
    const TodrHOrderInfoRecord& shown = *window.Grid().Order(0);
    EXPECT_EQ(shown.orderStatus.code, "A");
    EXPECT_EQ(shown.orderStatus.name, "已提票");
    window.UpdateActions();
    EXPECT_FALSE(Find<QAction>(window, "act_OrderHandler").isEnabled());
}

TEST_P(PaymentTest, PaymentsMustAddUpToTheCent) {
    const std::string order = Book(2, "700002");
    TUIOrderHandler& window = SearchByPassword("700002");
    Steps steps;
    steps.On("TUIOrderHandlerProp", [&](QDialog& dialog) {
        auto& prop = static_cast<TUIOrderHandlerProp&>(dialog);
        // Amounts that are not amounts, and a pay mode twice.
        dialogs_->Push(1).Push(1).Push(1);
        Pay(prop, "X", "abc");
        Pay(prop, "X", "1e2");
        Pay(prop, "X", "60");
        Pay(prop, "X", "40");
        ASSERT_EQ(dialogs_->Log().size(), 3u);
        EXPECT_EQ(dialogs_->Log()[1].text, "请输入正确金额！");
        EXPECT_EQ(dialogs_->Log()[2].text, "现金 支付重复，若要修改该支付金额请先删除！");

        // 60 + 39.99 is a cent short: refused before anything is charged.
        Pay(prop, "H", "39.99");
        dialogs_->Push(1);
        Settle(prop);
        EXPECT_EQ(dialogs_->Log().back().text, "支付金额与应收金额不符，请检查！");
        EXPECT_TRUE(prop.isVisible());
        EXPECT_EQ(Count("select count(*) from KAV_ACCOUNT_SHOW where ORDERCODE = ?1", order), 0);

        // Three thirds: 33.33 + 33.33 + 33.34.
        auto& lines = Find<QWidget>(prop, "dbgPayModeMoney");
        lines.setFocus();
        QTest::keyClick(&lines, Qt::Key_Delete);
        QTest::keyClick(&lines, Qt::Key_Delete);
        EXPECT_TRUE(prop.Payments().Empty());
        Pay(prop, "X", "33.33");
        Pay(prop, "H", "33.33");
        Pay(prop, "F", "33.34");
        dialogs_->Push(1); // "打印完毕!"
        Settle(prop);
    });
    OpenOrder(window);
    const auto payments =
        Db().Select("select PAYMODECODE, AMOUNT from KAV_PAYMODEMONEY_SHOW where ORDERCODE = ?1 order by PAYMODECODE",
                    {order});
    ASSERT_EQ(payments.size(), 3u);
    double total = 0;
    for (const auto& row : payments)
        total += Number(row[1]);
    EXPECT_NEAR(total, 100, 1e-9);
    EXPECT_EQ(Status(order), "A");
}

TEST_P(PaymentTest, MemberCardWithTooLittleBalanceThenEnough) {
    // A stored-value member with a swiped card of 50 yuan (card password 8888, as every demo card).
    const std::string hash = Text("select CARDPASSWORDHASH from KAV_MEMBER order by MEMBERID limit 1");
    Db().Execute("insert into KAV_MEMBER (NODECODE, MEMBERID, CARDNO, CNAME, CARDPASSWORDHASH, BALANCE, POINTS, "
                 "CLASSNAME, ISFEEMEMBER, ISSWIPE, ISVALID) values ('01', 9900001, '9900001', '测试会员', ?1, 50, 120, "
                 "'金卡', 'Y', 'Y', 'Y')",
                 {hash});
    const std::string order = Book(2, "700003", "1");
    Db().Execute("update KAV_ORDER_SHOW set MEMBERID = 9900001, MEMBERCARDNO = '9900001', ISFEEMEMBER = 'Y', "
                 "CLIENTTYPE = '1' where ORDERCODE = ?1",
                 {order});
    Db().Execute("update KAV_SYSINFO_SHOW set ISVALID = 'Y' where CUSTOMMODULE = 'POSTMEMBERPURCHAINFO'");
    struct Restore {
        server::Connection& db;
        ~Restore() { db.Execute("update KAV_SYSINFO_SHOW set ISVALID = 'N' where CUSTOMMODULE = 'POSTMEMBERPURCHAINFO'"); }
    } restore{Db()};

    const auto swipe = [](const char* card, const char* password) {
        return [card, password](QDialog& dialog) {
            QTest::keyClicks(&Find<QLineEdit>(dialog, "etCardNo"), card);
            QTest::keyClicks(&Find<QLineEdit>(dialog, "etPassword"), password);
            Press(dialog, "btnOK");
        };
    };
    TUIOrderHandler& window = SearchByPassword("700003");
    Steps steps;
    steps.On("TUIOrderHandlerProp", [&](QDialog& dialog) {
        auto& prop = static_cast<TUIOrderHandlerProp&>(dialog);
        // A stored-value member's order opens on the member card.
        EXPECT_EQ(Find<QComboBox>(prop, "cbPayMode").currentData().toString(), QStringLiteral("M"));
        Pay(prop, "M", "100");
        dialogs_->Push(1);
        Settle(prop); // wrong password: told, nothing charged, the window stays
        EXPECT_EQ(dialogs_->Log().back().text, "密码不正确");
        EXPECT_TRUE(prop.isVisible());
        dialogs_->Push(1);
        Settle(prop); // the card's balance is too small
    });
    steps.On("TUIMemberCardCheck", swipe("9900001", "0000"));
    steps.On("TUIMemberCardCheck", swipe("9900001", "8888"));
    OpenOrder(window);
    EXPECT_EQ(dialogs_->Log().back().text, "错误，原因如下：会员卡里的余额不足！");
    EXPECT_EQ(Status(order), "B");
    EXPECT_EQ(Count("select count(*) from KAV_ACCOUNT_SHOW where ORDERCODE = ?1", order), 0);
    EXPECT_DOUBLE_EQ(Number(Db().Select("select BALANCE from KAV_MEMBER where MEMBERID = 9900001")[0][0]), 50);

    // Topped up: the card pays, the receipt prints in GBK and is kept for "重打小票", the purchase is posted.
    Db().Execute("update KAV_MEMBER set BALANCE = 500 where MEMBERID = 9900001");
    steps.On("TUIOrderHandlerProp", [&](QDialog& dialog) {
        auto& prop = static_cast<TUIOrderHandlerProp&>(dialog);
        Pay(prop, "M", "100");
        dialogs_->Push(1); // "打印完毕!"
        Settle(prop);
    });
    steps.On("TUIMemberCardCheck", swipe("9900001", "8888"));
    OpenOrder(window);
    EXPECT_EQ(Status(order), "A");
    EXPECT_DOUBLE_EQ(Number(Db().Select("select BALANCE from KAV_MEMBER where MEMBERID = 9900001")[0][0]), 400);
    EXPECT_EQ(Count("select count(*) from KAV_MEMBER_PURCHASE where ORDERCODE = ?1", order), 1);
    const std::string receipt = ReadBytes(PrintFolder() / "Test Doc.prn");
    EXPECT_NE(receipt.find(Utf8ToAnsi("会员卡号: 9900001")), std::string::npos);
    EXPECT_NE(receipt.find(Utf8ToAnsi("本次消费后卡内余额:400.00(元)")), std::string::npos);
    EXPECT_EQ(receipt.find("会员"), std::string::npos); // no UTF-8 reaches the printer
    const std::string kept = ReadBytes(Folder() / "MemberOrderInfo.txt");
    EXPECT_TRUE(kept.starts_with("   欢迎购票\r\n")) << kept;
    EXPECT_NE(kept.find("会员类别: 金卡"), std::string::npos);
}

TEST_P(PaymentTest, ConnectionCutAfterAccountingThenContinuePrinting) {
    TCuttableProxy network(ORB().GetPort());
    ORB().SetActive(false);
    ORB().SetPort(network.Port());
    const std::string order = Book(4, "700004");
    TUIOrderHandler& window = SearchByPassword("700004");

    Steps steps;
    steps.On("TUIOrderHandlerProp", [&](QDialog& dialog) {
        auto& prop = static_cast<TUIOrderHandlerProp&>(dialog);
        // The money is taken and the first ticket is out when the connection goes.
        QObject::connect(&Find<QProgressBar>(prop, "pbPrint"), &QProgressBar::valueChanged, &prop,
                         [&network](int printed) {
                             if (printed == 1) network.Cut();
                         });
        Pay(prop, "X", "100");
        Settle(prop);
    });
    steps.On("TUIReconcilePrint", [&](QDialog& dialog) {
        auto& reconcile = static_cast<TUIReconcilePrint&>(dialog);
        EXPECT_EQ(reconcile.ListedSeats().size(), 3u);
        EXPECT_TRUE(reconcile.Message().contains(QStringLiteral("断开连接"))) << reconcile.Message().toStdString();
        EXPECT_EQ(Status(order), "R"); // paid, one ticket out
        dialogs_->Push(1); // "打印完毕!"
        Press(reconcile, "btn_act_PrintSucceed");
    });
    OpenOrder(window);
    EXPECT_EQ(steps.opened, (std::vector<std::string>{"TUIOrderHandlerProp", "TUIReconcilePrint"}));
    EXPECT_EQ(Count("select count(*) from KAV_ACCOUNT_SHOW where ORDERCODE = ?1", order), 1);
    ExpectPrinted(order, 4);
    EXPECT_EQ(Status(order), "A");
    EXPECT_EQ(window.Grid().Order(0)->orderStatus.code, "A");
}

TEST_P(PaymentTest, PrinterFailsAtTheThirdTicketThenContinuePrinting) {
    const std::string order = Book(5, "700005");
    TUIOrderHandler& window = SearchByPassword("700005");
    const std::filesystem::path printouts = PrintFolder(), away = Folder() / "printouts-away";
    std::filesystem::create_directories(printouts);
    // The printer goes away: the folder becomes a file, which even root cannot write into.
    const auto breakPrinter = [&] {
        std::filesystem::rename(printouts, away);
        std::ofstream(printouts) << "not a folder";
    };
    const auto mendPrinter = [&] {
        std::filesystem::remove(printouts);
        std::filesystem::rename(away, printouts);
    };

    Steps steps;
    steps.On("TUIOrderHandlerProp", [&](QDialog& dialog) {
        auto& prop = static_cast<TUIOrderHandlerProp&>(dialog);
        QObject::connect(&Find<QProgressBar>(prop, "pbPrint"), &QProgressBar::valueChanged, &prop,
                         [&](int printed) {
                             if (printed == 2) breakPrinter();
                         });
        Pay(prop, "X", "100");
        Settle(prop);
    });
    steps.On("TUIReconcilePrint", [&](QDialog& dialog) {
        auto& reconcile = static_cast<TUIReconcilePrint&>(dialog);
        EXPECT_EQ(reconcile.ListedSeats().size(), 3u);
        // Still no printer: told, and the window stays with the same seats.
        dialogs_->Push(1);
        Press(reconcile, "btn_act_PrintSucceed");
        EXPECT_TRUE(reconcile.isVisible());
        EXPECT_EQ(dialogs_->Log().back().caption, "错误信息");
        EXPECT_EQ(reconcile.ListedSeats().size(), 3u);
        mendPrinter();
        dialogs_->Push(1); // "打印完毕!"
        Press(reconcile, "btn_act_PrintSucceed");
        EXPECT_FALSE(reconcile.isVisible());
    });
    OpenOrder(window);
    EXPECT_EQ(steps.opened, (std::vector<std::string>{"TUIOrderHandlerProp", "TUIReconcilePrint"}));
    // Every seat has exactly one ticket, the third one too, though its first print failed.
    ExpectPrinted(order, 5);
    EXPECT_EQ(Status(order), "A");
}

TEST_P(PaymentTest, PaidOnlineOrderIsCollectedWithoutASecondPayment) {
    const std::string order = Book(2, "700006", "3");
    PayElsewhere(order, "W");
    TUIOrderHandler& window = SearchByPassword("700006");
    ASSERT_EQ(window.Grid().Order(0)->orderStatus.code, "R");

    Steps steps;
    steps.On("TUIOrderHandlerProp", [&](QDialog& dialog) {
        auto& prop = static_cast<TUIOrderHandlerProp&>(dialog);
        // The payment stands as it was made and cannot be changed.
        EXPECT_TRUE(prop.OrderWasPaid());
        ASSERT_EQ(prop.Payments().Count(), 1);
        EXPECT_EQ(prop.Payments().PayModeCode(), "W");
        EXPECT_FALSE(Find<QComboBox>(prop, "cbPayMode").isEnabled());
        EXPECT_FALSE(Find<QLineEdit>(prop, "edtRealPrice").isEnabled());
        dialogs_->Push(1); // "打印完毕!"
        Settle(prop);
    });
    OpenOrder(window);
    EXPECT_EQ(Count("select count(*) from KAV_ACCOUNT_SHOW where ORDERCODE = ?1", order), 1);
    EXPECT_EQ(Count("select count(*) from KAV_PAYMODEMONEY_SHOW where ORDERCODE = ?1", order), 1);
    ExpectPrinted(order, 2);
    EXPECT_EQ(Status(order), "A");
}

TEST_P(PaymentTest, SeveralOrdersAtOnceWhileAnotherSellerCollectsOne) {
    const std::string first = Book(2, "700007"), second = Book(3, "700007"), booked = Book(1, "700007");
    PayElsewhere(first);
    PayElsewhere(second);
    TUIOrderHandler& window = SearchByPassword("700007");
    ASSERT_EQ(window.Grid().OrderCount(), 3);

    Steps steps;
    steps.On("TUIOrderHandlerManyProp", [&](QDialog& dialog) {
        auto& many = static_cast<TUIOrderHandlerManyProp&>(dialog);
        EXPECT_EQ(Find<QTreeWidget>(many, "vstOrder").topLevelItemCount(), 3);
        // Meanwhile another seller collects the first order at another counter.
        pelio::TPelioClient counter;
        counter.SetHost("127.0.0.1");
        counter.SetPort(ORB().GetPort());
        const std::string context = TTPLogin(&counter).Login("U001", "u001");
        TTPTicketOffice office(&counter);
        for (const auto& row : Db().Select("select SEATCODE from KAV_SEAT_SHOW where ORDERCODE = ?1", {first}))
            office.OutputTicket(context, std::to_string(Integer(row[0])), "", "N", "", kProduct);
        ASSERT_EQ(Status(first), "A");

        dialogs_->Push(1).Push(1); // the first order refused; the final prompt
        Settle(many);
    });
    OpenOrder(window);
    EXPECT_EQ(steps.opened, std::vector<std::string>{"TUIOrderHandlerManyProp"});
    ASSERT_EQ(dialogs_->Log().size(), 2u);
    EXPECT_NE(dialogs_->Log()[0].text.find(first), std::string::npos) << dialogs_->Log()[0].text;
    EXPECT_EQ(dialogs_->Log()[1].text, "打印完毕!");

    EXPECT_EQ(Tickets(first), 2); // the other seller's, none more
    EXPECT_EQ(Count("select count(*) from KAV_ACCOUNT_SHOW where ORDERCODE = ?1", first), 1);
    ExpectPrinted(second, 3);
    EXPECT_EQ(Status(second), "A");
    EXPECT_EQ(Status(booked), "B"); // not paid: left alone
    EXPECT_EQ(Tickets(booked), 0);
    EXPECT_EQ(window.Grid().OrderCount(), 0);
}

} // namespace
