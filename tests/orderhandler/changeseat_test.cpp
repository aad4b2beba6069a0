// The order split window against a kav-server hosted in the test over the demo data, on every test
// backend: picking seats of the demo suite order with mouse and keys, the whole-suite and whole-order
// refusals, a refused try followed by a new selection, another order handler taking the seats first,
// the window's opening checks, an answer of the server that names no new order, and the order's seat list.
#include "dialogs/dialogresponder.h"
#include "dialogs/msgdlgtypes.h"
#include "host/cabackgroundreclaim.h"
#include "host/cadbpipe.h"
#include "host/kavcontext.h"
#include "host/snapin/kavcsnapin.h"
#include "orderhandler/odrhorderprovider.h"
#include "orderhandler/odrhsplitentry.h"
#include "orderhandler/uiorderhandlerchangeseat.h"
#include "orderhandler/uiorderhandlerorderseats.h"
#include "platform/widgets/actionupdater.h"
#include "seatmap/seatmapcomposite.h"
#include "server/reclaim/backgroundreclaimservant.h"
#include "server/seed/seed.h"
#include "server/ticketoffice/sqlvalues.h"
#include "serverfixture.h"
#include "services/dbpipe/tpdbpipe.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gmock/gmock.h>
#include <mutex>
#include <set>

using namespace kav;
using namespace kav::orderhandler;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

constexpr const char* kSuiteOrder = "D0000011";

struct Seat {
    std::int64_t code;
    std::string level;
};

// What the split of AnsweringSplit answers next; read on the server's connection threads.
std::mutex splitAnswerMutex;
std::string splitAnswer;

void AnswerSplitWith(const std::string& answer) {
    std::lock_guard lock(splitAnswerMutex);
    splitAnswer = answer;
}

// The server's background reclaim service, except that the split answers splitAnswer and splits
// nothing: a server in trouble may answer anything.
class AnsweringSplit final : public TTPBackGroundReclaim_serv {
public:
    explicit AnsweringSplit(const server::ServerServices& services) : real_(services) {}
    pelio::Variant GetOrderSeatsByOrderCode(const std::string& context, const std::string& order) override {
        return real_.GetOrderSeatsByOrderCode(context, order);
    }
    pelio::Variant GetReclaimSeatInfo(const std::string& context, const std::string& order) override {
        return real_.GetReclaimSeatInfo(context, order);
    }
    std::string OrderHandlerSplit(const std::string&, const std::string&, const pelio::Variant&,
                                  const pelio::Variant&, const pelio::Variant&) override {
        std::lock_guard lock(splitAnswerMutex);
        return splitAnswer;
    }

private:
    server::TKavBackGroundReclaim real_;
};

class ChangeSeatTest : public server::e2e::ServerFixture {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_orderhandler_split";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
    }

    void FillDatabase() override { server::SeedDatabase(database_->Db(), "bench:20"); }

    void SetUp() override {
        ServerFixture::SetUp();
        context_ = LoginAs("U002", "u002");
        window_ = std::make_unique<TUIOrderHandlerChangeSeat>(*client_);
        window_->SnapIn().SetContext(context_);
    }

    void TearDown() override {
        window_.reset();
        ServerFixture::TearDown();
    }

    // The order row the order window reloads before opening the split.
    void LoadOrderRow(TClientDataSet& row, const std::string& order) {
        row.SetData(
            TCADBPipe(*client_).GetData(context_, SplitReloadOrderSQL("01", order, "P0001")).ByteArrayView());
    }

    void Open(const std::string& order = kSuiteOrder) {
        TClientDataSet row;
        LoadOrderRow(row, order);
        window_->InitializationChangeSeat(row);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }

    std::vector<Seat> SeatsOf(const std::string& order) {
        TClientDataSet seats;
        seats.SetData(
            TCABackGroundReclaim(*client_).GetOrderSeatsByOrderCode(context_, order).ByteArrayView());
        std::vector<Seat> result;
        for (seats.First(); !seats.Eof(); seats.Next())
            result.push_back(
                {seats.FieldByName("SEATCODE").AsLargeInt(), seats.FieldByName("PRICELEVEL").AsString()});
        return result;
    }

    std::vector<Seat> OfLevel(const std::string& level, std::size_t count = 99) {
        std::vector<Seat> chosen;
        for (const Seat& seat : SeatsOf(kSuiteOrder))
            if (seat.level == level && chosen.size() < count) chosen.push_back(seat);
        return chosen;
    }

    TKavSeatMapShow& Map() { return window_->SeatMap().Map(); }

    TKavCellPos CellOf(std::int64_t seatCode) {
        for (int row = 1; row <= Map().RowCount(); ++row)
            for (int col = 1; col <= Map().ColCount(); ++col)
                if (Map().Cells(row, col).SeatCode == seatCode) return {row, col};
        ADD_FAILURE() << "seat " << seatCode << " is not on the map";
        return {};
    }

    void Click(const std::vector<Seat>& seats) {
        for (const Seat& seat : seats) {
            const TKavCellPos cell = CellOf(seat.code);
            QTest::mouseClick(&Map(), Qt::LeftButton, {}, Map().CellRect(cell.Row, cell.Col).center());
        }
    }

    // Runs the split as the button does, after the idle update has enabled it.
    void Execute() {
        window_->Module().Updater().UpdateActions();
        ASSERT_TRUE(window_->Module().actExecute()->isEnabled());
        window_->Module().actExecute()->trigger();
    }

    std::set<std::int64_t> ListedSeats() {
        std::set<std::int64_t> seats;
        std::string list = window_->Module().SeatCodeList();
        for (std::size_t at = 0; at < list.size();) {
            const std::size_t end = list.find(',', at);
            seats.insert(
                std::stoll(list.substr(at + 1, (end == std::string::npos ? list.size() : end) - at - 2)));
            at = end == std::string::npos ? list.size() : end + 1;
        }
        return seats;
    }

    std::int64_t SeatCount(const std::string& order) {
        return server::IntegerOf(
            setup_->Select("select SEATCOUNT from KAV_ORDER_SHOW where ORDERCODE = ?1", {order})
                .front()
                .front());
    }

    // Saves the window's picture when KAV_SCREENSHOT_DIR names a folder.
    static void SaveScreenshot(QWidget& window, const char* name, QSize size = {1400, 900}) {
        const QByteArray folder = qgetenv("KAV_SCREENSHOT_DIR");
        if (folder.isEmpty()) return;
        QDir().mkpath(QString::fromLocal8Bit(folder));
        window.showNormal();
        window.resize(size);
        QTest::qWait(50);
        window.grab().save(QString::fromLocal8Bit(folder) + "/" + name);
    }

    std::string context_;
    std::unique_ptr<TUIOrderHandlerChangeSeat> window_;
};

std::set<std::int64_t> Codes(const std::vector<Seat>& seats) {
    std::set<std::int64_t> codes;
    for (const Seat& seat : seats)
        codes.insert(seat.code);
    return codes;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, ChangeSeatTest, ::testing::ValuesIn(server::test::TestBackends()),
                         [](const auto& info) { return server::test::BackendName(info.param); });

// The demo suite order on its section: only its booked seats can be picked; one whole suite picked
// with the mouse leaves in a new order and the window closes.
TEST_P(ChangeSeatTest, AWholeSuiteLeavesByClicks) {
    Open();
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("订单处理－拆分订单"));
    EXPECT_THAT(window_->findChild<QLabel*>("ProductLabel")->text().toStdString(), HasSubstr("岚桥音乐厅"));
    EXPECT_EQ(window_->Module().Price().RecordCount(), 8 + 5); // the map-only levels L, S, X, Y, Z
    const TKavCellPos own = CellOf(OfLevel("B").front().code);
    EXPECT_EQ(Map().Cells(own.Row, own.Col).CellStatus, TKavCellStatus::kavcsNormal);
    int pickable = 0;
    for (int row = 1; row <= Map().RowCount(); ++row)
        for (int col = 1; col <= Map().ColCount(); ++col)
            pickable += Map().Cells(row, col).CellStatus == TKavCellStatus::kavcsNormal;
    EXPECT_EQ(pickable, 6);
    window_->Module().Updater().UpdateActions();
    EXPECT_FALSE(window_->Module().actExecute()->isEnabled());

    const std::vector<Seat> suiteB = OfLevel("B");
    Click(suiteB);
    EXPECT_EQ(window_->SeatMap().GetSelectNumByPriceLevel("B"), 3);
    const TKavCellPos other = CellOf(OfLevel("C").front().code);
    window_->SeatMap().ShowSeatInformation(other.Col, other.Row);
    window_->Module().Updater().UpdateActions();
    SaveScreenshot(*window_, "split-window.png");

    ScriptedDialogResponder dialogs;
    dialogs.Push(mrOk);
    Execute();
    ASSERT_EQ(dialogs.Log().size(), 1u) << (dialogs.Log().empty() ? "" : dialogs.Log()[0].ToString());
    EXPECT_THAT(dialogs.Log()[0].text, StartsWith("订单拆分成功，生成新订单：K01"));
    EXPECT_EQ(window_->result(), QDialog::Accepted);
    EXPECT_EQ(ListedSeats(), Codes(suiteB));
    EXPECT_EQ(SeatCount(kSuiteOrder), 3);
    EXPECT_EQ(Codes(SeatsOf(window_->NewOrderCode())), Codes(suiteB));
    TClientDataSet& rows = window_->Module().ReclaimSeatData();
    rows.First();
    EXPECT_EQ(rows.FieldByName("SALEUSER").AsString(), "U002");
    EXPECT_EQ(rows.FieldByName("RETURNUSER").AsString(), "U002");
    EXPECT_EQ(rows.FieldByName("SECTIONNAME").AsString(), "池座");
    EXPECT_EQ(rows.FieldByName("FLOORNAME").AsString(), "一层");
    EXPECT_THAT(rows.FieldByName("ROWNAME").AsString(), ::testing::EndsWith("排"));
    EXPECT_EQ(rows.FieldByName("KINDNAME").AsString(), "普通票");
    TClientDataSet& counts = window_->Module().ReclaimCountAndMoney();
    ASSERT_EQ(counts.RecordCount(), 1);
    counts.First();
    EXPECT_EQ(counts.FieldByName("ReclaimCount").AsInteger(), 3);
}

// Part of a suite is refused on the spot and the map read again; the next selection, a whole suite
// picked with the keys, is all the split sends.
TEST_P(ChangeSeatTest, ARefusedTryThenANewSelectionByKeys) {
    Open();
    ScriptedDialogResponder dialogs;
    dialogs.Push(mrOk);
    Click(OfLevel("B", 2));
    Click(OfLevel("C", 1));
    Execute();
    ASSERT_EQ(dialogs.Log().size(), 1u);
    EXPECT_EQ(dialogs.Log()[0].text, "票价等级选择不对，不属于完整套票，请重新选择！");
    EXPECT_EQ(window_->SeatMap().SelectedCellCount(), 0);
    EXPECT_EQ(SeatCount(kSuiteOrder), 6);

    const std::vector<Seat> suiteC = OfLevel("C");
    Map().setFocus();
    for (const Seat& seat : suiteC) {
        const TKavCellPos cell = CellOf(seat.code);
        Map().SetFocusCell(cell.Row, cell.Col);
        QTest::keyClick(&Map(), Qt::Key_Space);
    }
    EXPECT_EQ(window_->SeatMap().SelectedCellCount(), 3);
    dialogs.Push(mrOk);
    Execute();
    ASSERT_EQ(dialogs.Log().size(), 2u);
    EXPECT_THAT(dialogs.Log()[1].text, StartsWith("订单拆分成功"));
    EXPECT_EQ(ListedSeats(), Codes(suiteC));
    EXPECT_EQ(Codes(SeatsOf(window_->NewOrderCode())), Codes(suiteC));
}

// Every seat of the order is refused with the order's own message; four seats are no whole suites.
TEST_P(ChangeSeatTest, NeverTheWholeOrderNorBrokenSuites) {
    Open();
    ScriptedDialogResponder dialogs;
    dialogs.Push(mrOk).Push(mrOk);
    Click(SeatsOf(kSuiteOrder));
    Execute();
    Click(OfLevel("C"));
    Click(OfLevel("B", 1));
    Execute();
    ASSERT_EQ(dialogs.Log().size(), 2u);
    EXPECT_EQ(dialogs.Log()[0].text, "不能将该订单所有座位拆分成一个新订单，请重新选择！");
    EXPECT_EQ(dialogs.Log()[1].text, "请选择完整的套票座位！");
    EXPECT_EQ(SeatCount(kSuiteOrder), 6);
    EXPECT_NE(window_->result(), QDialog::Accepted);
}

// Another order handler splits the same seats off first: this split is refused with the server's
// reason, moves nothing, and the map shows the seats as they are now.
TEST_P(ChangeSeatTest, SeatsTakenMeanwhileRefuseTheSplit) {
    Open();
    const std::vector<Seat> suiteC = OfLevel("C");
    Click(suiteC);

    auto other = NewClient();
    TUIOrderHandlerChangeSeat first(*other);
    first.SnapIn().SetContext(context_);
    TClientDataSet row;
    LoadOrderRow(row, kSuiteOrder);
    first.InitializationChangeSeat(row);
    for (const Seat& seat : suiteC) {
        const TKavCellPos cell = CellOf(seat.code);
        const QPoint centre = first.SeatMap().Map().CellRect(cell.Row, cell.Col).center();
        first.SeatMap().Map().SelectCellInRect(centre.x(), centre.y(), centre.x(), centre.y());
    }
    ScriptedDialogResponder dialogs;
    dialogs.Push(mrOk).Push(mrOk);
    first.Module().Updater().UpdateActions();
    first.Module().actExecute()->trigger();
    EXPECT_EQ(SeatCount(kSuiteOrder), 3);

    Execute();
    ASSERT_EQ(dialogs.Log().size(), 2u);
    EXPECT_EQ(dialogs.Log()[1].caption, "错误信息");
    EXPECT_THAT(dialogs.Log()[1].text, HasSubstr("已不属于订单 D0000011"));
    EXPECT_EQ(SeatCount(kSuiteOrder), 3);
    EXPECT_NE(window_->result(), QDialog::Accepted);
    const TKavCellPos gone = CellOf(suiteC[0].code);
    EXPECT_EQ(Map().Cells(gone.Row, gone.Col).CellStatus, TKavCellStatus::kavcsLocked);
}

// A split answered with "N" or with anything but an order code is a failure told to the seller:
// the window stays open with the seats still picked, names no new order and may be tried again.
TEST_P(ChangeSeatTest, AnAnswerThatNamesNoOrderIsAFailure) {
    // A connection takes the services registered when it opens: the window gets a new one.
    pelio::ORBRegisterServantClass(
        std::string(kBackGroundReclaimInterface),
        [&services = server_->Services()] { return std::make_unique<AnsweringSplit>(services); });
    window_.reset();
    client_ = NewClient();
    window_ = std::make_unique<TUIOrderHandlerChangeSeat>(*client_);
    window_->SnapIn().SetContext(context_);
    Open();
    const std::vector<Seat> suiteC = OfLevel("C");
    Click(suiteC);
    QSignalSpy split(&window_->Module(), &TCDOrderHandlerChangeSeat::Split);
    struct Case {
        const char* answer;
        const char* caption;
        std::string text;
    };
    const std::string noOrder = "拆分订单没有得到新订单号，请刷新后检查订单：";
    for (const Case& c : {Case{"N", "操作提示", "该拆分订单时出现异常，请检查！"},
                          {"", "错误信息", noOrder},
                          {"拆分失败", "错误信息", noOrder + "拆分失败"},
                          {"K01 00000012", "错误信息", noOrder + "K01 00000012"},
                          {"K01000000120000000000", "错误信息", noOrder + "K01000000120000000000"}}) {
        SCOPED_TRACE(c.answer);
        AnswerSplitWith(c.answer);
        ScriptedDialogResponder dialogs;
        dialogs.Push(mrOk);
        Execute();
        ASSERT_EQ(dialogs.Log().size(), 1u);
        EXPECT_EQ(dialogs.Log()[0].caption, c.caption);
        EXPECT_EQ(dialogs.Log()[0].text, c.text);
        EXPECT_TRUE(window_->isVisible());
        EXPECT_NE(window_->result(), QDialog::Accepted);
        EXPECT_TRUE(window_->NewOrderCode().empty());
        EXPECT_EQ(split.count(), 0);
        EXPECT_EQ(window_->SeatMap().SelectedCellCount(), 3);
    }
    server::RegisterServices(server_->Services());
}

// The order window's way in: only a booked order of more than one seat opens the split window.
TEST_P(ChangeSeatTest, OpeningChecks) {
    TodrHOrderInfoRecord order;
    order.orderCode = "D0000002"; // paid
    order.productCode = "P0001";
    ScriptedDialogResponder dialogs;
    dialogs.Push(mrOk).Push(mrOk);
    EXPECT_FALSE(ExecuteOrderSplit(nullptr, order, context_, *client_));
    setup_->Execute("update KAV_ORDER_SHOW set SEATCOUNT = 1 where ORDERCODE = 'D0000001'");
    order.orderCode = "D0000001";
    EXPECT_FALSE(ExecuteOrderSplit(nullptr, order, context_, *client_));
    ASSERT_EQ(dialogs.Log().size(), 2u);
    EXPECT_EQ(dialogs.Log()[0].text, "该订单为非预订状态，不可拆分！");
    EXPECT_EQ(dialogs.Log()[1].text, "该订单只剩一个座位，不可拆分！");

    // A booked order opens the window modally; closing it splits nothing.
    order.orderCode = kSuiteOrder;
    QString title;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            title = modal->windowTitle();
            modal->close();
        }
    });
    EXPECT_FALSE(ExecuteOrderSplit(nullptr, order, context_, *client_));
    EXPECT_EQ(title, QStringLiteral("订单处理－拆分订单"));
}

TEST_P(ChangeSeatTest, OrderSeatList) {
    TTPDBPipe pipe(client_.get());
    TKavContext context;
    context.SetAsString(context_);
    TodrHDataProvider lookups(pipe, context);
    TodrHOrderInfoDataProvider provider(pipe, context, lookups);
    provider.SearchOrderHandlerSeatInfo("01", kSuiteOrder);
    TUIOrderHandlerOrderSeats window;
    window.SetSeatData(provider.GetOrderSeatsInfo());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("座位信息查看"));
    QAbstractItemModel* model = window.Grid().model();
    EXPECT_EQ(model->rowCount(), 6);
    QStringList titles;
    for (int column = 0; column < model->columnCount(); ++column)
        titles << model->headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(titles, (QStringList{"分区", "楼", "排", "座", "票价等级", "票价"}));
    EXPECT_EQ(model->index(0, 0).data().toString(), QStringLiteral("池座"));
    SaveScreenshot(window, "order-seats.png", {560, 300});
    window.findChild<QPushButton*>("CloseButton")->click();
    EXPECT_EQ(window.result(), QDialog::Accepted);
}
