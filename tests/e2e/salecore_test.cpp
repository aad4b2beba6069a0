// The sale core against a hosted kav-server on a seeded database (SQLite, and PostgreSQL when
// KAV_TEST_PG is set), printing into a throwaway CUPS PDF queue where one can run and into a folder
// otherwise: whole sales, a print failure and its retry, collections of booked orders, the checks that
// refuse a sale before anything is written, customer registration, and the look-ups.

#include "../dialogs/modaldriver.h"
#include "dialogs/dialogresponder.h"
#include "dialogs/msgdlgtypes.h"
#include "host/sqltext.h"
#include "platform/core/datetime.h"
#include "platform/widgets/printerchoice.h"
#include "platform/widgets/ticketface.h"
#include "printouts.h"
#include "salecore/usaleticketcoreimpl.h"
#include "server/seed/seed.h"
#include "server/ticketoffice/sqlvalues.h"
#include "serverfixture.h"
#include "services/ticketoffice/tpticketoffice.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace kav::server::e2e {
namespace {

using kav::test::TThrowawayCups;

constexpr const char* kProduct = "P0001"; // 新年音乐会: no registration, not counted against G001's ceiling
constexpr const char* kStalls = "S0101"; // section group SG01: face 1
constexpr const char* kOwner = "OWN1";   // the performances' owner group

struct Booking {
    std::string order;
    double receivables = 0;
    std::vector<std::string> seats;
};

class SaleCoreTest : public ServerFixture {
protected:
    // The demo data's shape: venues, performances with faces and sale classes, users (bench:10).
    void FillDatabase() override { SeedDatabase(database_->Db(), "bench:10"); }

    void SetUp() override {
        ServerFixture::SetUp();
        context_ = LoginAs("demo", "demo");
        core_.emplace(*client_);
        office_.emplace(client_.get());
        settings_.folder = folder_.path().toStdString() + "/printouts";
        previous_ = OverridePrinterSettings(settings_);
        // The core keeps a collected order in "cdsorder.cds" of the working folder.
        workingFolder_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_.path().toStdString());
        pt_SeatInfoList().Clear();
        SetLastSaleCoreErrorMsg({});
    }
    void TearDown() override {
        std::filesystem::current_path(workingFolder_);
        OverridePrinterSettings(previous_);
        core_.reset();
        office_.reset();
        ServerFixture::TearDown();
    }

    void PrintInto(const TPrinterSettings& settings) { OverridePrinterSettings(settings); }

    Booking Book(const std::string& product, const std::string& section, int seats,
                 bool isBookOrder = false) {
        TClientDataSet rows;
        rows.SetData(office_
                         ->CreateOrderAndBooking(isBookOrder, context_, product, section, seats,
                                                 Variant::ByteArray({}))
                         .ByteArrayView());
        Booking booking;
        booking.order = rows.FieldByName("ORDERCODE").AsString();
        booking.receivables = rows.FieldByName("RECEIVABLES").AsFloat();
        for (rows.First(); !rows.Eof(); rows.Next())
            booking.seats.push_back(rows.FieldByName("SEATCODE").AsString());
        return booking;
    }

    TSaleAccountCondition Condition(const Booking& booking, const std::string& product = kProduct) const {
        TSaleAccountCondition condition;
        condition.OrderCode = booking.order;
        condition.PayModeCode = "X";
        condition.CreateGroup = kOwner;
        condition.ProductCode = product;
        condition.UserRegType = "N";
        condition.OrderStatus = "B";
        condition.Amount = booking.receivables;
        return condition;
    }

    // The order list of a booked order as the order search gives it.
    static Tpt_OrderInfoList Orders(const Booking& booking, const std::string& product = kProduct) {
        auto order = std::make_unique<Tpt_OrderInfo>();
        order->ProductCode = product;
        order->OrderCode = booking.order;
        order->Receivables = booking.receivables;
        order->OrderStatus = "B";
        order->UserRegType = "N";
        Tpt_OrderInfoList orders;
        orders.Add(std::move(order));
        return orders;
    }

    static Variant Payment(double amount, const std::string& payMode = "X") {
        TClientDataSet rows;
        rows.AddFieldDef("PayModeCode", TFieldType::ftString, 1);
        rows.AddFieldDef("PayMoney", TFieldType::ftFloat);
        rows.AddFieldDef("Remark", TFieldType::ftString, 10);
        rows.CreateDataSet();
        rows.AppendRecord({payMode, amount, ""});
        return Variant::ByteArray(rows.Data());
    }

    TSaleAccount_Result Account(const TSaleAccountCondition& condition,
                                const std::vector<std::string>& customer = {}) {
        return core_->SaleAccount_BL(context_, condition, kOwner, customer, Payment(condition.Amount));
    }

    void PrepareSeats(const Booking& booking, const std::string& product = kProduct) {
        core_->_Init_pt_SeatInfoList(pt_SeatInfoList(), booking.seats, context_, product, "SC01", false);
    }

    TPrintTicket_Result Print(const std::string& product = kProduct, const std::string& section = kStalls) {
        std::string handlerTime;
        return core_->PrintTickets(context_, product, section,
                                   core_->GetSectionGroupCode(context_, product, section), "SC01",
                                   pt_SeatInfoList(), face_, handlerTime, "");
    }

    std::int64_t Count(const std::string& sql) {
        const auto rows = setup_->Select(sql);
        return rows.empty() ? 0 : IntegerOf(rows.front().front());
    }
    std::string Text(const std::string& sql) {
        const auto rows = setup_->Select(sql);
        return rows.empty() ? std::string() : TextOf(rows.front().front());
    }
    std::int64_t Tickets(const std::string& order) {
        return Count(SqlFormat("select count(*) from KAV_TICKET_SHOW where ORDERCODE = '%s'", {order}));
    }
    std::int64_t SeatsWithTickets(const std::string& order) {
        return Count(SqlFormat("select count(distinct SEATCODE) from KAV_TICKET_SHOW where ORDERCODE = '%s'",
                               {order}));
    }
    std::int64_t Payments(const std::string& order) {
        return Count(SqlFormat("select count(*) from KAV_ACCOUNT_SHOW where ORDERCODE = '%s'", {order}));
    }
    std::string Status(const std::string& order) {
        return Text(SqlFormat("select ORDERSTATUS from KAV_ORDER_SHOW where ORDERCODE = '%s'", {order}));
    }
    std::vector<std::string> Barcodes(const std::string& order) {
        std::vector<std::string> codes;
        for (const auto& row : setup_->Select(SqlFormat(
                 "select BARCODE from KAV_TICKET_SHOW where ORDERCODE = '%s' order by BARCODE", {order})))
            codes.push_back(TextOf(row.front()));
        return codes;
    }
    std::filesystem::path TicketFile(const std::string& barcode) const {
        return settings_.folder / ("ticket-" + barcode + ".pdf");
    }
    int FilesPrinted() const {
        if (!std::filesystem::exists(settings_.folder)) return 0;
        return static_cast<int>(std::distance(std::filesystem::directory_iterator(settings_.folder), {}));
    }

    std::string context_;
    std::optional<TSaleTicketCoreImpl> core_;
    std::optional<TTPTicketOffice> office_;
    TKavTicketFace face_;
    QTemporaryDir folder_;
    TPrinterSettings settings_;
    std::optional<TPrinterSettings> previous_;
    std::filesystem::path workingFolder_;
    ScriptedDialogResponder dialogs_;
};

INSTANTIATE_TEST_SUITE_P(Backends, SaleCoreTest, ::testing::ValuesIn(test::TestBackends()),
                         [](const auto& info) { return test::BackendName(info.param); });

TEST_P(SaleCoreTest, AWholeSaleChargesPrintsFourTicketsAndCollectsTheOrder) {
    // The demo face carries a QR code beside the bar code: both are read back from what was printed.
    TThrowawayCups& cups = TThrowawayCups::Shared();
    TPrinterSettings queue;
    queue.ticketPrinter = TThrowawayCups::kPdfQueue;
    if (cups.Available()) PrintInto(queue);

    const Booking booking = Book(kProduct, kStalls, 4);
    ASSERT_EQ(booking.seats.size(), 4u);
    EXPECT_EQ(Account(Condition(booking)), R_SA_OK) << _GetLastSaleCoreErrorMsg();
    EXPECT_EQ(Payments(booking.order), 1);

    std::vector<std::string> events;
    core_->SetOnBeforePrintTickets([&] { events.push_back("begin"); });
    core_->SetOnBeforePrintATicket([&](const std::string& seat) { events.push_back("before " + seat); });
    core_->SetOnAfterPrintATicket([&](const std::string& seat) { events.push_back("after " + seat); });
    core_->SetOnAfterPrintTickets([&] { events.push_back("end"); });
    PrepareSeats(booking);
    std::string handlerTime;
    ASSERT_EQ(core_->PrintTickets(context_, kProduct, kStalls,
                                  core_->GetSectionGroupCode(context_, kProduct, kStalls), "SC01",
                                  pt_SeatInfoList(), face_, handlerTime, "自定义"),
              R_PT_OK)
        << _GetLastSaleCoreErrorMsg();

    ASSERT_EQ(events.size(), 10u);
    EXPECT_EQ(events.front(), "begin");
    EXPECT_EQ(events.back(), "end");
    EXPECT_EQ(events[1].rfind("before 池座 一层 ", 0), 0u) << events[1];
    EXPECT_EQ(events[2], "after " + events[1].substr(7));
    for (const auto& seat : pt_SeatInfoList())
        EXPECT_TRUE(seat->Printed);
    EXPECT_FALSE(handlerTime.empty());
    EXPECT_EQ(Tickets(booking.order), 4);
    EXPECT_EQ(SeatsWithTickets(booking.order), 4);
    EXPECT_EQ(Status(booking.order), "A") << "collected after its last ticket";

    // What came out: one page per ticket, its codes readable.
    const std::vector<std::string> barcodes = Barcodes(booking.order);
    std::filesystem::path page;
    if (cups.Available()) {
        for (const std::string& barcode : barcodes) {
            const int job = cups.JobTitled("ticket-" + barcode);
            ASSERT_GT(job, 0) << barcode;
            ASSERT_TRUE(cups.WaitForJob(job));
            page = cups.PdfOf("ticket-" + barcode, job);
            ASSERT_FALSE(page.empty());
            if (barcode != barcodes.back()) std::filesystem::remove(page);
        }
    } else {
        EXPECT_EQ(FilesPrinted(), 4);
        page = TicketFile(barcodes.back());
        EXPECT_NE(kav::test::PdfText(page).find("新年音乐会"), std::string::npos);
    }
    const auto codes = kav::test::ReadCodes(page);
    const std::string order = core_->DataModule().cdsTicket.FieldByName("ORDERNO").AsString();
    EXPECT_NE(std::find(codes.begin(), codes.end(), barcodes.back()), codes.end());
    EXPECT_NE(std::find(codes.begin(), codes.end(), order + "+" + barcodes.back()), codes.end());
    if (cups.Available()) std::filesystem::remove(page);
    EXPECT_TRUE(dialogs_.Problems().empty());
}

TEST_P(SaleCoreTest, APrintFailureAtTheThirdTicketIsRetriedWithOneTicketPerSeat) {
    const Booking booking = Book(kProduct, kStalls, 4);
    ASSERT_EQ(Account(Condition(booking)), R_SA_OK) << _GetLastSaleCoreErrorMsg();
    PrepareSeats(booking);

    // The printer goes away after the second ticket: its folder becomes a plain file.
    int printed = 0;
    core_->SetOnAfterPrintATicket([&](const std::string&) {
        if (++printed != 2) return;
        std::filesystem::rename(settings_.folder, settings_.folder.string() + ".away");
        std::ofstream(settings_.folder) << "not a folder";
    });
    EXPECT_EQ(Print(), R_PT_UNKNOWERROR);
    EXPECT_NE(_GetLastSaleCoreErrorMsg().find(settings_.folder.string()), std::string::npos)
        << _GetLastSaleCoreErrorMsg();
    EXPECT_TRUE(pt_SeatInfoList().Items(0).Printed);
    EXPECT_TRUE(pt_SeatInfoList().Items(1).Printed);
    EXPECT_FALSE(pt_SeatInfoList().Items(2).Printed);
    EXPECT_EQ(Tickets(booking.order), 3) << "the third ticket was made, then its print failed";

    // The printer is back. The seller takes payment again, as the order window does: the paid order is
    // collected without a second charge, the seat list is made afresh, and only the third ticket (as it
    // was made) and the fourth come out.
    std::filesystem::remove(settings_.folder);
    std::filesystem::rename(settings_.folder.string() + ".away", settings_.folder);
    core_->SetOnAfterPrintATicket({});
    ASSERT_EQ(Account(Condition(booking)), R_SA_OK) << _GetLastSaleCoreErrorMsg();
    EXPECT_EQ(Payments(booking.order), 1);
    PrepareSeats(booking);
    EXPECT_EQ(Print(), R_PT_OK) << _GetLastSaleCoreErrorMsg();
    for (const auto& seat : pt_SeatInfoList())
        EXPECT_TRUE(seat->Printed);
    EXPECT_EQ(Tickets(booking.order), 4);
    EXPECT_EQ(SeatsWithTickets(booking.order), 4);
    EXPECT_EQ(FilesPrinted(), 4) << "no ticket printed twice";
    for (const std::string& barcode : Barcodes(booking.order))
        EXPECT_TRUE(std::filesystem::exists(TicketFile(barcode))) << barcode;
    EXPECT_EQ(Status(booking.order), "A");

    // A reprint of the first seat reuses its ticket.
    Tpt_SeatInfoList again;
    again.Add(std::make_unique<Tpt_SeatInfo>(Tpt_SeatInfo{booking.seats.front(), false, false}));
    EXPECT_EQ(core_->ReprintTickets(context_, booking.order, kProduct, kStalls, "SG01", "SC01", again, face_),
              R_PT_OK)
        << _GetLastSaleCoreErrorMsg();
    EXPECT_EQ(Tickets(booking.order), 4);
    EXPECT_EQ(FilesPrinted(), 5);
}

TEST_P(SaleCoreTest, NothingIsNumberedWithoutAUsableFaceOrPrinter) {
    const Booking booking = Book(kProduct, kStalls, 2);
    ASSERT_EQ(Account(Condition(booking)), R_SA_OK) << _GetLastSaleCoreErrorMsg();
    PrepareSeats(booking);

    TPrinterSettings dead;
    dead.ticketPrinter = "NO-SUCH-QUEUE";
    PrintInto(dead);
    EXPECT_EQ(Print(), R_PT_UNKNOWERROR);
    EXPECT_NE(_GetLastSaleCoreErrorMsg().find("NO-SUCH-QUEUE"), std::string::npos)
        << _GetLastSaleCoreErrorMsg();
    EXPECT_EQ(Tickets(booking.order), 0);

    PrintInto(settings_);
    setup_->Execute(
        "delete from KAV_TICKETFACE_ELEMENT where PRODUCTCODE = 'P0001' and ELEMENTTYPE <> 'TSText'");
    TKavTicketFace fresh;
    std::string handlerTime;
    EXPECT_EQ(core_->PrintTickets(context_, kProduct, kStalls, "SG01", "SC01", pt_SeatInfoList(), fresh,
                                  handlerTime, ""),
              R_PT_UNKNOWERROR);
    EXPECT_NE(_GetLastSaleCoreErrorMsg().find("没有可用的票面"), std::string::npos)
        << _GetLastSaleCoreErrorMsg();
    EXPECT_EQ(_ResultSaleTicketCoreMsg(R_PT_UNKNOWERROR).rfind("系统错误，具体原因如下：\r\n'演出 P0001", 0),
              0u);
    EXPECT_EQ(Tickets(booking.order), 0);
    EXPECT_EQ(FilesPrinted(), 0);
}

TEST_P(SaleCoreTest, TwoBookedOrdersCollectedInOneProcessAreBothCharged) {
    const Booking first = Book(kProduct, kStalls, 2, true);
    const Booking second = Book(kProduct, kStalls, 3, true);

    Tpt_OrderInfoList orders = Orders(first);
    EXPECT_TRUE(core_->ForeBookAccount(context_, orders, kOwner));
    EXPECT_EQ(core_->GetAccountState(), OptAccountSuccess);
    EXPECT_EQ(Payments(first.order), 1);
    TClientDataSet copy;
    copy.LoadFromFile("cdsorder.cds"); // the collected order's local copy
    ASSERT_EQ(copy.RecordCount(), 1);
    EXPECT_EQ(copy.FieldByName("ORDERCODE").AsString(), first.order);

    // A window that saw a failure asks again: the ticket office says the order is charged.
    core_->SetAccountState(OptAccountFail);
    EXPECT_TRUE(core_->ForeBookAccount(context_, orders, kOwner));
    EXPECT_EQ(core_->GetAccountState(), OptAccountSuccess);
    EXPECT_EQ(Payments(first.order), 1) << "not charged twice";

    // The second order is charged too, although the state still speaks of the first. Its local copy
    // cannot be written (a folder stands in the way): the sale stands all the same.
    std::filesystem::remove("cdsorder.cds");
    std::filesystem::create_directory("cdsorder.cds");
    orders = Orders(second);
    EXPECT_TRUE(core_->ForeBookAccount(context_, orders, kOwner));
    EXPECT_EQ(Payments(second.order), 1) << "really charged";
    EXPECT_NE(Status(second.order), "B");
    EXPECT_TRUE(dialogs_.Problems().empty());
}

TEST_P(SaleCoreTest, ACeilingOrACardThatDoesNotCoverTheSaleWritesNothing) {
    setup_->Execute("insert into KAV_GROUPMAXSALEMONY (NODECODE, GROUPCODE, CREATEGROUP, ACTUALSALEMONEY, "
                    "MAXSALEMONEY) values ('01', 'G001', 'OWN1', 900, 1000)");
    const Booking booking = Book("P0004", "S0401", 2);
    ASSERT_GT(booking.receivables, 100);
    EXPECT_EQ(Account(Condition(booking, "P0004")), R_SA_OVERGROUPMAXSALEMONEY);
    EXPECT_EQ(Payments(booking.order), 0);
    EXPECT_EQ(Status(booking.order), "B");
    EXPECT_EQ(Count("select ACTUALSALEMONEY from KAV_GROUPMAXSALEMONY where GROUPCODE = 'G001' and "
                    "CREATEGROUP = 'OWN1'"),
              900);

    // Collecting it is refused with the seller's message.
    Tpt_OrderInfoList orders = Orders(booking, "P0004");
    dialogs_.Push(mrOk);
    EXPECT_FALSE(core_->ForeBookAccount(context_, orders, kOwner));
    ASSERT_EQ(dialogs_.Log().size(), 1u);
    EXPECT_EQ(dialogs_.Log()[0].text, "不能顾客取票，原因如下：销售金额不能超过代理点最高售票金额！");
    EXPECT_EQ(Payments(booking.order), 0);

    // A member card whose balance is short (P0001 is not counted against the ceiling).
    const Booking member = Book(kProduct, kStalls, 1);
    TSaleAccountCondition condition = Condition(member);
    condition.PayModeCode = "M";
    condition.MemberPay = "Y";
    condition.MemberBalance = "50";
    EXPECT_EQ(Account(condition), R_SA_CHECKMEMBERMONEYFAILED);
    EXPECT_EQ(_ResultSaleTicketCoreMsg(R_SA_CHECKMEMBERMONEYFAILED), "错误，原因如下：会员卡里的余额不足！");
    EXPECT_EQ(Payments(member.order), 0);
    EXPECT_EQ(Status(member.order), "B");
}

TEST_P(SaleCoreTest, PerSeatRegistrationCoversEverySeatOfTheOrder) {
    // 天鹅湖 registers one person per seat.
    const Booking booking = Book("P0003", "S0301", 2);
    TSaleAccountCondition condition = Condition(booking, "P0003");
    condition.UserRegType = "S";

    // Only one of its two seats in the sale: refused before any window opens.
    core_->_Init_pt_SeatInfoList(pt_SeatInfoList(), {booking.seats.front()}, context_, "P0003", "SC01",
                                 false);
    dialogs_.Push(mrOk);
    EXPECT_EQ(Account(condition), R_SA_POSTCLIENTINFOFAILED);
    ASSERT_EQ(dialogs_.Log().size(), 1u);
    EXPECT_NE(dialogs_.Log()[0].text.find("有 2 个座位"), std::string::npos) << dialogs_.Log()[0].text;
    EXPECT_EQ(Payments(booking.order), 0);

    // Both seats: the window asks for two persons, the seller's customer pre-filling the first.
    PrepareSeats(booking, "P0003");
    dialogs_.Push(mrYes);
    std::vector<std::string> titles;
    WhenModalShown([&](QWidget* window) {
        titles.push_back(window->windowTitle().toStdString());
        window->findChild<QLineEdit*>("edtIDNum")->setText("110101199001011234");
        window->findChild<QComboBox*>("cbIDType")->setCurrentIndex(0);
        window->findChild<QAction*>("actSave")->trigger();
        titles.push_back(window->windowTitle().toStdString());
        window->findChild<QLineEdit*>("edtName")->setText("张三");
        window->findChild<QLineEdit*>("edtIDNum")->setText("110101199001015678");
        window->findChild<QComboBox*>("cbIDType")->setCurrentIndex(1);
        window->findChild<QAction*>("actSave")->trigger();
    });
    EXPECT_EQ(Account(condition, {"CustomerName=O'Brien", "CertificateType=1", "CustomerTelNo=139"}), R_SA_OK)
        << _GetLastSaleCoreErrorMsg();
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(titles[0], "对应座位的客户资料登记---共 2 位，已经登记 0 位");
    EXPECT_EQ(titles[1], "客户资料登记---共 2 位，已经登记 1 位");
    EXPECT_EQ(
        Count(SqlFormat("select count(*) from KAV_CLIENTINFO where ORDERCODE = '%s' and NODECODE = '01'",
                        {booking.order})),
        2);
    EXPECT_EQ(Text(SqlFormat("select NAME from KAV_CLIENTINFO where ORDERCODE = '%s' and SEATCODE = %d",
                             {booking.order, std::int64_t{std::stoll(booking.seats.front())}})),
              "O'Brien");
    EXPECT_EQ(Payments(booking.order), 1);
}

TEST_P(SaleCoreTest, LookUpsQuoteTheirValues) {
    TClientDataSet rows;
    // A name with an apostrophe is a value, not the end of the statement.
    TSearchOrderCondition search;
    search.BeginTime = Today() - 60;
    search.EndTime = Today();
    search.CustomerName = "O'Brien";
    EXPECT_NO_THROW(rows.SetData(core_->SelectOrder(context_, search).ByteArrayView()));

    const Booking booking = Book(kProduct, kStalls, 2, true);
    rows.SetData(core_->GetBookSeatInfo(context_, booking.order).ByteArrayView());
    EXPECT_EQ(rows.RecordCount(), 2);
    EXPECT_EQ(rows.FieldByName("SectionName").AsString(), "池座");
    rows.SetData(core_->GetSectionData(context_, booking.seats.front()).ByteArrayView());
    EXPECT_EQ(rows.FieldByName("SectionCode").AsString(), kStalls);
    rows.SetData(core_->GetSectionData(context_, "'" + booking.seats.front() + "'").ByteArrayView());
    EXPECT_EQ(rows.RecordCount(), 1);
    EXPECT_THROW(core_->GetSectionData(context_, "1001 or 1=1"), ESaleTicketCore);
    EXPECT_EQ(core_->GetSectionGroupCode(context_, kProduct, kStalls), "SG01");
    rows.SetData(core_->GetIDTypeBriefData(context_).ByteArrayView());
    EXPECT_EQ(rows.RecordCount(), 4);
    rows.SetData(core_->GetForeBookSeat(context_, booking.order).ByteArrayView());
    EXPECT_EQ(rows.RecordCount(), 2);

    EXPECT_TRUE(core_->CanExecuteOrder(context_, booking.order));
    EXPECT_TRUE(core_->CanCancelOrder(context_, booking.order));
    EXPECT_EQ(core_->CancelForeBook(context_, booking.order), R_CF_OK);
    EXPECT_EQ(Status(booking.order), "C");
    EXPECT_EQ(core_->CancelForeBook(context_, booking.order), R_CF_UNKNOWERROR) << "cancelled already";
    EXPECT_FALSE(_GetLastSaleCoreErrorMsg().empty());
}

} // namespace
} // namespace kav::server::e2e
