// The order window's actions on a selected order against a hosted kav-server: their rules, cancelling
// through the sale core, the customer details, the column dialog and file, the Excel export read back,
// the text message against a local HTTP service, the receipts through a recording printer (the print
// folder) and the shipping list; and the snap-in loaded through the shell's package loader.
#include "host/snapin/snapinregistry.h"
#include "orderhandler/odrhfiles.h"
#include "orderhandler/odrhoptionsset.h"
#include "orderhandler/odrhordermodel.h"
#include "orderhandler/odrhpackage.h"
#include "orderhandler/odrhreceipt.h"
#include "orderhandler/odrhsettings.h"
#include "orderhandler/odrhtextmessage.h"
#include "orderwindowfixture.h"
#include "platform/core/inifile.h"
#include "platform/core/textcodec.h"
#include "platform/widgets/filedialog.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/printerchoice.h"
#include "server/http/httpendpoint.h"
#include "shell/packageloader.h"
#include "xlsxcells.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTreeView>
#include <QUrlQuery>
#include <fstream>
#include <sstream>

using namespace kav;
using namespace kav::orderhandler;
using namespace kav::orderhandler::test;
namespace fs = std::filesystem;

namespace {

QAction& Action(QWidget& window, const char* name) {
    return Find<QAction>(window, name);
}

TUIOrderHandler& ExactSearch(TUIOrderHandler& window, const std::string& code) {
    Find<QLineEdit>(window, "etCode").setText(QString::fromStdString(code));
    window.SearchOrderByPrecision();
    if (window.Grid().OrderCount() > 0) window.SelectRow(0);
    window.UpdateActions();
    return window;
}

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A message service that answers every request with one status, and remembers the requests' targets.
class MessageService final {
public:
    explicit MessageService(int status) : status_(status) {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = server_.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                const QByteArray request = socket->readAll();
                targets.push_back(request.split(' ').value(1));
                const QByteArray body = status_ == 200 ? "OK" : "gateway down";
                socket->write("HTTP/1.1 " + QByteArray::number(status_) + " X\r\nContent-Length: " +
                              QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        });
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(server_.serverPort()); }
    std::vector<QByteArray> targets;

private:
    QTcpServer server_;
    int status_;
};

} // namespace

TEST_P(OrderWindowTest, ActionsFollowTheSelectedOrder) {
    TUIOrderHandler& window = OpenWindow();
    window.UpdateActions();
    EXPECT_FALSE(Action(window, "act_CancelOrder").isEnabled());
    EXPECT_TRUE(Action(window, "act_CancelOrder").toolTip().contains(QStringLiteral("请先选择一个订单")));
    EXPECT_TRUE(Action(window, "act_CancelOrder").toolTip().startsWith(QStringLiteral("取消订单 (Ctrl+D)")));

    ExactSearch(window, "D0000001"); // booked by U001 of the same group, three seats
    EXPECT_TRUE(Action(window, "act_CancelOrder").isEnabled());
    // The payment windows are not installed here: "订单取票" says so.
    EXPECT_FALSE(Action(window, "act_OrderHandler").isEnabled());
    EXPECT_TRUE(Action(window, "act_OrderHandler").toolTip().contains(QStringLiteral("尚未安装")));
    TOrderWindows windows;
    windows.openOrder = [](QWidget*, TodrHOrderInfoRecord&, const TOrderWindowSession&) { return false; };
    SetOrderWindows(windows);
    window.UpdateActions();
    EXPECT_TRUE(Action(window, "act_OrderHandler").isEnabled());

    EXPECT_FALSE(Action(window, "act_ChangeSeat").isEnabled()); // another user's booking
    EXPECT_TRUE(Action(window, "act_ChangeSeat").toolTip().contains(QStringLiteral("自己预订")));
    TodrHOrderInfoRecord& order = *window.SelectedOrder();
    order.createUser = "demo";
    window.UpdateActions();
    EXPECT_TRUE(Action(window, "act_ChangeSeat").isEnabled());
    order.seatCount = 1;
    window.UpdateActions();
    EXPECT_FALSE(Action(window, "act_ChangeSeat").isEnabled());
    // Another user's call-centre order: demo may not edit others' customers.
    order.createUser = "U001";
    window.UpdateActions();
    EXPECT_FALSE(Action(window, "act_ModifiyOrderCustomerInfo").isEnabled());
    EXPECT_TRUE(Action(window, "actResendMessage").isEnabled()); // the venue's site sends messages
    const auto cellPhone = order.customerCellPhone;
    order.customerCellPhone = "";
    window.UpdateActions();
    EXPECT_FALSE(Action(window, "actResendMessage").isEnabled()); // but not to an order without a phone
    order.customerCellPhone = cellPhone;

    // Seats loaded once: both seat actions go grey and the row's hint lists the seats.
    EXPECT_TRUE(Action(window, "act_GetOrderSeatInfo").isEnabled());
    EXPECT_TRUE(Action(window, "actSearchSeats").isEnabled());
    window.GetOrderSeatInfo();
    window.UpdateActions();
    EXPECT_FALSE(Action(window, "act_GetOrderSeatInfo").isEnabled());
    EXPECT_FALSE(Action(window, "actSearchSeats").isEnabled());
    const QString hint = window.Grid().data(window.Grid().index(0, 0), Qt::ToolTipRole).toString();
    EXPECT_TRUE(hint.startsWith(QStringLiteral("订单号'D0000001', 座位信息如下："))) << hint.toStdString();
    EXPECT_EQ(hint.count(QStringLiteral("级")), 3);

    // The product's rights are asked of the sale core once and kept.
    saleCore_.refusedToExecute.insert(order.productCode.str());
    ExactSearch(window, "D0000001");
    const std::size_t asked = saleCore_.asked.size();
    window.UpdateActions();
    EXPECT_FALSE(Action(window, "act_OrderHandler").isEnabled());
    EXPECT_EQ(saleCore_.asked.size(), asked);

    // The senior seller may edit the customers of the orders of others.
    TUIOrderHandler& senior = OpenWindow("U001", "u001");
    ExactSearch(senior, "D0000001");
    EXPECT_TRUE(Action(senior, "act_ModifiyOrderCustomerInfo").isEnabled());
}

// "拆分订单" and "查看座位" open the split window and the seat list of the composite map work.
TEST_P(OrderWindowTest, SplitAndSeatListOpenTheirWindows) {
    TUIOrderHandler& window = ExactSearch(OpenWindow("U001", "u001"), "D0000001");
    std::vector<QString> shown;
    ModalAnswers answers([&](QDialog& dialog) {
        shown.push_back(dialog.objectName());
        return int(QDialog::Rejected);
    });
    ASSERT_TRUE(Action(window, "act_ChangeSeat").isEnabled()) << Action(window, "act_ChangeSeat").toolTip().toStdString();
    window.ChangeSeat();
    EXPECT_EQ(shown, std::vector<QString>{QStringLiteral("TUIOrderHandlerChangeSeat")});
    EXPECT_EQ(window.Grid().OrderCount(), 1); // not split: no new search

    ASSERT_TRUE(Action(window, "actSearchSeats").isEnabled());
    window.SearchSeats();
    EXPECT_EQ(shown.back(), QStringLiteral("TUIOrderHandlerOrderSeats"));
    EXPECT_TRUE(window.SelectedOrder()->HasSeats());
    window.UpdateActions();
    EXPECT_FALSE(Action(window, "actSearchSeats").isEnabled());
}

TEST_P(OrderWindowTest, CancelGoesThroughTheSaleCore) {
    const std::string code = OrderWhere("o.CREATEGROUP = 'G001' and o.ORDERSTATUS = 'B' and o.ORDERFROM = '2' and "
                                        "o.ORDERCODE > 'D0000010'");
    TUIOrderHandler& window = ExactSearch(OpenWindow(), code);
    ASSERT_EQ(window.Grid().OrderCount(), 1);
    dialogs_->Push(7);
    window.CancelOrder();
    EXPECT_TRUE(saleCore_.cancelled.empty());
    EXPECT_EQ(dialogs_->Log().back().caption, "请确认");
    EXPECT_EQ(dialogs_->Log().back().text, "确认取消当前所选订单？");

    saleCore_.cancelResult = R_CF_CANCELFOREBOOKFAILED;
    dialogs_->Push(6).Push(1);
    window.CancelOrder();
    EXPECT_EQ(dialogs_->Log().back().text, "错误，原因如下：取消订单失败!");
    EXPECT_EQ(window.Grid().OrderCount(), 1);

    saleCore_.cancelResult = R_CF_OK;
    dialogs_->Push(6);
    window.CancelOrder();
    EXPECT_EQ(saleCore_.cancelled, (std::vector<std::string>{code, code}));
    EXPECT_EQ(window.Grid().OrderCount(), 0);
    EXPECT_EQ(window.ExactSearchResult().Count(), 0); // never settled with other orders afterwards
}

// The process's own sale core against the server's services: rights from the sale search, the booking
// cancelled by the fore-book service with its seats free again.
TEST_P(OrderWindowTest, CancelThroughTheRealSaleCoreFreesTheSeats) {
    UseOrderHandlerSaleCore(nullptr);
    const std::string code = Text("select o.ORDERCODE from KAV_ORDER_SHOW o where o.CREATEGROUP = 'G001' and "
                                  "o.ORDERSTATUS = 'B' and o.ORDERFROM = '2' and o.ORDERCODE > 'D0000010' "
                                  "order by o.ORDERCODE desc limit 1");
    std::vector<std::string> seats;
    for (const auto& row : Db().Select("select SEATCODE from KAV_SEAT_SHOW where ORDERCODE = '" + code + "'"))
        seats.push_back(std::to_string(std::get<std::int64_t>(row[0])));
    ASSERT_FALSE(seats.empty());
    TUIOrderHandler& window = ExactSearch(OpenWindow(), code);
    ASSERT_TRUE(Action(window, "act_CancelOrder").isEnabled()) << Action(window, "act_CancelOrder").toolTip().toStdString();
    dialogs_->Push(6);
    window.CancelOrder();
    EXPECT_EQ(window.Grid().OrderCount(), 0);
    EXPECT_EQ(Text("select ORDERSTATUS from KAV_ORDER_SHOW where ORDERCODE = '" + code + "'"), "C");
    for (const std::string& seat : seats)
        EXPECT_EQ(Text("select STATUS from KAV_SEAT_SHOW where SEATCODE = " + seat), "F") << seat;

    // Cancelled once, the server refuses a second time and the seller reads why.
    Db().Execute("update KAV_ORDER_SHOW set ORDERSTATUS = 'B' where ORDERCODE = '" + code + "'");
    ExactSearch(window, code);
    Db().Execute("update KAV_ORDER_SHOW set ORDERSTATUS = 'C' where ORDERCODE = '" + code + "'");
    dialogs_->Push(6).Push(1);
    window.CancelOrder();
    EXPECT_NE(dialogs_->Log().back().text.find("已取消"), std::string::npos) << dialogs_->Log().back().text;
    EXPECT_EQ(window.Grid().OrderCount(), 1);
}

TEST_P(OrderWindowTest, CustomerDetailsAreWrittenBackWithoutLosingData) {
    TUIOrderHandler& window = ExactSearch(OpenWindow("U001", "u001"), "D0000002");
    ASSERT_EQ(window.Grid().Order(0)->customerName, "O'Brien");
    {
        ModalAnswers answers([](QDialog& dialog) {
            auto& save = Find<QPushButton>(dialog, "btnSave");
            EXPECT_FALSE(save.isEnabled()); // nothing changed yet
            Find<QLineEdit>(dialog, "etCustomerName").setText(QStringLiteral("O'Neil 张"));
            EXPECT_EQ(Find<QLineEdit>(dialog, "etCustomerName").maxLength(), 40);
            save.click();
            return dialog.result();
        });
        window.ModifyOrderCustomerInfo();
    }
    EXPECT_EQ(Text("select CNAME from KAV_ORDER_CLIENT_SHOW where ORDERCODE = 'D0000002'"), "O'Neil 张");
    EXPECT_EQ(window.Grid().Order(0)->customerName, "O'Neil 张");

    // A shipping way the list does not offer stays as it is.
    Db().Execute("update KAV_ORDER_SHOW set FETCHWAY = '3' where ORDERCODE = 'D0000002'");
    ExactSearch(window, "D0000002");
    {
        ModalAnswers answers([](QDialog& dialog) {
            EXPECT_EQ(Find<QComboBox>(dialog, "cmbShippingWay").currentText(), QStringLiteral("配送至网点"));
            Find<QLineEdit>(dialog, "etInvoiceHead").setText(QStringLiteral("岚桥文化"));
            Find<QPushButton>(dialog, "btnSave").click();
            return dialog.result();
        });
        window.ModifyOrderCustomerInfo();
    }
    EXPECT_EQ(Text("select FETCHWAY from KAV_ORDER_SHOW where ORDERCODE = 'D0000002'"), "3");
    EXPECT_EQ(Text("select INVOICEHEAD from KAV_ORDER_SHOW where ORDERCODE = 'D0000002'"), "岚桥文化");

    // The partner's web order shows masked details: they are read-only and the real ones survive.
    const std::string realName = Text("select CNAME from KAV_ORDER_CLIENT_SHOW where ORDERCODE = 'D0000003'");
    ExactSearch(window, "D0000003");
    ASSERT_EQ(window.Grid().Order(0)->customerName, "大麦购票");
    {
        ModalAnswers answers([](QDialog& dialog) {
            EXPECT_FALSE(Find<QLineEdit>(dialog, "etCustomerName").isEnabled());
            Find<QLineEdit>(dialog, "etShippingComment").setText(QStringLiteral("周末送"));
            Find<QPushButton>(dialog, "btnSave").click();
            return dialog.result();
        });
        window.ModifyOrderCustomerInfo();
    }
    EXPECT_EQ(Text("select CNAME from KAV_ORDER_CLIENT_SHOW where ORDERCODE = 'D0000003'"), realName);
    EXPECT_EQ(Text("select COMMENT from KAV_ORDER_CLIENT_SHOW where ORDERCODE = 'D0000003'"), "周末送");
}

TEST_P(OrderWindowTest, ColumnsComeFromTheFileAndTheDialog) {
    std::ofstream(Folder() / kOptionsSetFileName) << R"(<OptionsSet><OrderHandler_OrderTitlesShowSet>
<OrderTitlesSortItem Sort_1="4" Sort_2="0" Sort_3="8"/>
<OrderTitlesShowItem TitlesShow_1="OrderCode" TitlesShow_2="Receivables" TitlesShow_3="CustomerName"/>
</OrderHandler_OrderTitlesShowSet></OptionsSet>)";
    TUIOrderHandler& window = OpenWindow();
    const auto titles = [&] {
        QStringList list;
        for (int column = 0; column < window.Grid().columnCount(); ++column)
            list << window.Grid().headerData(column, Qt::Horizontal).toString();
        return list;
    };
    EXPECT_EQ(titles(), (QStringList{"姓名", "订单编号", "应收金额"}));

    // "关闭" leaves the columns as they were, whatever was changed in the dialog.
    const auto tick = [](QDialog& dialog, const char* title) {
        auto& list = Find<QListWidget>(dialog, "lstTitles");
        list.findItems(QString::fromUtf8(title), Qt::MatchExactly).value(0)->setCheckState(Qt::Checked);
    };
    {
        ModalAnswers answers([&](QDialog& dialog) {
            tick(dialog, "订单状态");
            return int(QDialog::Rejected);
        });
        window.SetTitle();
    }
    EXPECT_EQ(titles(), (QStringList{"姓名", "订单编号", "应收金额"}));
    {
        ModalAnswers answers([&](QDialog& dialog) {
            tick(dialog, "订单状态");
            auto& list = Find<QListWidget>(dialog, "lstTitles");
            list.setCurrentRow(0);
            EXPECT_FALSE(Find<QPushButton>(dialog, "btnUp").isEnabled());
            Find<QPushButton>(dialog, "btnDown").click(); // 姓名 after 订单编号
            return int(QDialog::Accepted);
        });
        window.SetTitle();
    }
    EXPECT_EQ(titles(), (QStringList{"订单编号", "姓名", "应收金额", "订单状态"}));
    EXPECT_EQ(LoadOrderTitles(Folder() / kOptionsSetFileName).Find("OrderStatus")->columnIndex, 3);
}

TEST_P(OrderWindowTest, ExcelExportReadsBack) {
    TUIOrderHandler& window = ExactSearch(OpenWindow(), "D0000001");
    EXPECT_TRUE(Action(window, "act_ExportExcel").isEnabled());
    const fs::path file = Folder() / "订单.xlsx";
    const TSaveFileNameHook previous = SetSaveFileNameHook([&](const QString&, const fs::path&) { return file; });
    dialogs_->Push(1);
    window.ExportExcel();
    SetSaveFileNameHook(previous);
    const auto cells = kav::test::ReadXlsxCells(QString::fromStdString(file.string()));
    std::map<QString, int> columns;
    for (const auto& [position, cell] : cells)
        if (position.first == 0) columns[cell.text] = position.second;
    ASSERT_TRUE(columns.contains(QStringLiteral("订单编号")));
    EXPECT_TRUE(columns.contains(QStringLiteral("顾客姓名")));  // demo may export names
    EXPECT_FALSE(columns.contains(QStringLiteral("顾客手机"))); // but not cell phones
    EXPECT_EQ(cells.at({1, columns[QStringLiteral("订单编号")]}).text, QStringLiteral("D0000001"));
    const kav::test::XlsxCell& money = cells.at({1, columns[QStringLiteral("应收金额")]});
    EXPECT_TRUE(money.number);
    EXPECT_EQ(cells.at({1, columns[QStringLiteral("预定操作员")]}).text, QStringLiteral("U001|王售票"));
    EXPECT_TRUE(cells.at({1, columns[QStringLiteral("预定时间")]}).format.startsWith(QStringLiteral("yyyy")));
    EXPECT_TRUE(cells.at({1, columns[QStringLiteral("销售政策")]}).text.endsWith(QStringLiteral("%)")));

    TUIOrderHandler& agent = ExactSearch(OpenWindow("U003", "u003"), "D0000001");
    EXPECT_FALSE(Action(agent, "act_ExportExcel").isEnabled()); // the agent may not export
}

TEST_P(OrderWindowTest, TextMessageCountsAsSentOnlyOnSuccess) {
    TUIOrderHandler& window = ExactSearch(OpenWindow(), "D0000001");
    const TodrHOrderInfoRecord& order = *window.SelectedOrder();
    {
        MessageService refusing(500);
        IniFile ini(ConfigureFilePath());
        ini.WriteString("MessageService", "Url", refusing.Url());
        ini.UpdateFile();
        dialogs_->Push(1);
        window.ResendMessage();
        ASSERT_EQ(dialogs_->Log().size(), 1u);
        EXPECT_EQ(dialogs_->Log()[0].type, "error");
        EXPECT_NE(dialogs_->Log()[0].text.find("HTTP 500"), std::string::npos) << dialogs_->Log()[0].text;
        EXPECT_EQ(refusing.targets.size(), 1u);
    }
    MessageService accepting(200);
    IniFile ini(ConfigureFilePath());
    ini.WriteString("MessageService", "Url", accepting.Url());
    ini.UpdateFile();
    dialogs_->Clear();
    dialogs_->Push(1);
    window.ResendMessage();
    ASSERT_EQ(dialogs_->Log().size(), 1u);
    EXPECT_EQ(dialogs_->Log()[0].text, "短信重发完毕！");
    ASSERT_EQ(accepting.targets.size(), 1u);
    const QUrl target(QString::fromLatin1(accepting.targets[0]));
    EXPECT_EQ(target.path(), QStringLiteral("/Saleorder/sendmessageforsys"));
    EXPECT_TRUE(accepting.targets[0].contains("%E5%B2%9A%E6%A1%A5")) << accepting.targets[0].toStdString(); // 岚桥 in UTF-8
    const QUrlQuery query(target);
    EXPECT_EQ(query.queryItemValue("mobile", QUrl::FullyDecoded).toStdString(), order.customerCellPhone.str());
    EXPECT_EQ(query.queryItemValue("ordercode", QUrl::FullyDecoded), QStringLiteral("D0000001"));
    EXPECT_EQ(query.queryItemValue("content", QUrl::FullyDecoded).toStdString(), TextMessageContent(order));
}

// The message goes to the server's own HTTP endpoint, which keeps it for the site's message gateway.
TEST_P(OrderWindowTest, TextMessageThroughTheServersEndpoint) {
    server::THttpEndpoint endpoint(Services());
    endpoint.Start(0);
    IniFile ini(ConfigureFilePath());
    ini.WriteString("MessageService", "Url", "http://127.0.0.1:" + std::to_string(endpoint.Port()));
    ini.UpdateFile();
    TUIOrderHandler& window = ExactSearch(OpenWindow(), "D0000001");
    dialogs_->Push(1);
    window.ResendMessage();
    ASSERT_EQ(dialogs_->Log().size(), 1u);
    EXPECT_EQ(dialogs_->Log()[0].text, "短信重发完毕！");
    const auto stored = Db().Select("select MOBILE, CONTENT from KAV_TEXT_MESSAGE where ORDERCODE = 'D0000001'");
    ASSERT_FALSE(stored.empty());
    EXPECT_EQ(std::get<std::string>(stored.back()[0]), window.SelectedOrder()->customerCellPhone.str());
    EXPECT_EQ(std::get<std::string>(stored.back()[1]), TextMessageContent(*window.SelectedOrder()));

    // An order whose cell phone the endpoint does not know is refused (404), and not shown as sent.
    window.SelectedOrder()->customerCellPhone = "13000000000";
    dialogs_->Push(1);
    window.ResendMessage();
    EXPECT_EQ(dialogs_->Log().back().type, "error");
    EXPECT_NE(dialogs_->Log().back().text.find("HTTP 404"), std::string::npos) << dialogs_->Log().back().text;
}

TEST_P(OrderWindowTest, ReceiptsGoToTheReceiptPrinter) {
    TUIOrderHandler& window = ExactSearch(OpenWindow(), "D0000001");
    window.PrintNote();
    const std::string job = AnsiToUtf8(ReadFile(PrintFolder() / "Test Doc.prn"));
    EXPECT_TRUE(job.starts_with(std::string(kStatementTitle) + "\r\n\x1bM1\r\n演出名称:")) << job;
    EXPECT_NE(job.find("订单号: D0000001"), std::string::npos);
    EXPECT_NE(job.find("密码: 123456"), std::string::npos);
    EXPECT_TRUE(job.ends_with("\x1dV1"));

    // A printer that cannot be opened is an error the seller sees.
    std::ofstream(Folder() / "blocked") << "a file, not a folder";
    TPrinterSettings broken;
    broken.folder = Folder() / "blocked" / "printouts";
    OverridePrinterSettings(broken);
    dialogs_->Push(1);
    window.PrintNote();
    ASSERT_EQ(dialogs_->Log().size(), 1u);
    EXPECT_EQ(dialogs_->Log()[0].type, "error");
    EXPECT_NE(dialogs_->Log()[0].text.find("blocked"), std::string::npos);

    // The member receipt: none yet, then the lines after the first of the file the payment wrote.
    TPrinterSettings printing;
    printing.folder = PrintFolder();
    OverridePrinterSettings(printing);
    const QString workingFolder = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(Folder().string()));
    dialogs_->Push(1);
    window.AgainPrintInfo();
    EXPECT_EQ(dialogs_->Log().back().text, "没有小票信息，不能重打！");
    std::ofstream(Folder() / kMemberOrderInfoFileName) << "D0000010\n会员卡号: 8800002\n";
    window.AgainPrintInfo();
    QDir::setCurrent(workingFolder);
    const std::string member = AnsiToUtf8(ReadFile(PrintFolder() / "Test Doc (2).prn"));
    EXPECT_TRUE(member.starts_with(std::string(kMemberReceiptTitle) + "\r\n\x1bM1\r\n会员卡号: 8800002\r\n")) << member;
}

TEST_P(OrderWindowTest, ShippingListIsPreviewedAndPrinted) {
    TUIOrderHandler& window = ExactSearch(OpenWindow(), "D0000001");
    dialogs_->Push(1);
    window.PrintShippingList();
    ASSERT_EQ(dialogs_->Log().size(), 1u);
    EXPECT_EQ(dialogs_->Log()[0].text, "请先设置配送单打印机名称！");

    SavePrinterNameToConfigFile("配送单打印机");
    {
        ModalAnswers answers([](QDialog& dialog) {
            EXPECT_EQ(dialog.objectName(), QStringLiteral("ShippingListPreview"));
            Find<QPushButton>(dialog, "btnPrint").click();
            return dialog.result();
        });
        window.PrintShippingList();
    }
    const fs::path pdf = PrintFolder() / "配送单 D0000001.pdf";
    ASSERT_TRUE(fs::exists(pdf));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QString::fromStdString(pdf.string()), QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString page = QString::fromUtf8(text.readAllStandardOutput());
    // (Qt's PDF writer leaves a few glyphs, such as the digits of "D0000001", out of the text map, so
    // the check reads texts that it maps.)
    for (const char* expected : {"配送单", "订单编号", "张三", "13901234567", "售票员", "请提前电话联系"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(expected))) << expected << "\n" << page.toStdString();
}

// The snap-in as the shell gets it: from the package in the plugins folder, by its registered name.
TEST_P(OrderWindowTest, SnapInLoadedFromThePluginsFolder) {
    TPackageLoader packages;
    const auto failures = packages.LoadFolder(QCoreApplication::applicationDirPath().toStdString() + "/plugins");
    EXPECT_TRUE(failures.empty()) << DescribePackageFailures(failures);
    const auto entries = RegisteredClientSnapIns();
    const auto entry = std::find_if(entries.begin(), entries.end(),
                                    [](const TClientSnapInEntry& e) { return e.Name == "CIOrderHandler"; });
    ASSERT_NE(entry, entries.end());
    EXPECT_EQ(entry->Caption, "订单处理");

    std::unique_ptr<IKavClientSnapIn> snapIn = CreateClientSnapIn("CIOrderHandler");
    ASSERT_TRUE(snapIn);
    snapIn->Shutdown(); // nothing to free yet
    snapIn->SetContext(LoginAs("demo", "demo"));
    snapIn->Execute();
    TUIOrderHandler* first = UIOrderHandler;
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    snapIn->Execute();
    EXPECT_EQ(UIOrderHandler, first); // created once, shown twice
    ExactSearch(*first, "D0000001");
    EXPECT_EQ(first->Grid().OrderCount(), 1);
    snapIn->Shutdown();
    EXPECT_EQ(UIOrderHandler, nullptr);
    snapIn->Execute();
    ASSERT_NE(UIOrderHandler, nullptr);
    EXPECT_EQ(UIOrderHandler->Grid().OrderCount(), 0); // a fresh window
    snapIn.reset();
    EXPECT_EQ(UIOrderHandler, nullptr);
    packages.UnloadAll();
    EXPECT_EQ(CreateClientSnapIn("CIOrderHandler"), nullptr);
}
