// The shift close report: the server's lines for a seller's day, who may see whose shift, the working period
// the data module chooses, the window, and kav-report shift.

#include "dialogs/dialogresponder.h"
#include "host/cashiftclosereport.h"
#include "platform/widgets/filedialog.h"
#include "platform/widgets/reportoutput.h"
#include "printouts.h"
#include "reports/shift/uishiftclosereport.h"
#include "reportserver.h"
#include "xlsxcells.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <gmock/gmock.h>

using namespace kav;
using namespace kav::reports;
using kav::reports::test::ReportServerTest;
using kav::server::e2e::RemoteError;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

constexpr const char* kFrom = "2025-06-12 00:00:00";
constexpr const char* kTo = "2025-06-12 23:59:59";

// "section|item|quantity|money" per line; an empty part for a null.
std::vector<std::string> Lines(TClientDataSet& lines) {
    std::vector<std::string> result;
    for (lines.First(); !lines.Eof(); lines.Next())
        result.push_back(
            lines.FieldByName("SECTION").AsString() + "|" + lines.FieldByName("ITEM").AsString() + "|" +
            lines.FieldByName("QUANTITY").AsString() + "|" +
            (lines.FieldByName("MONEY").IsNull() ? std::string()
                                                 : std::to_string(lines.FieldByName("MONEY").AsInteger())));
    return result;
}

std::vector<std::string> Lines(const pelio::Variant& packet) {
    TClientDataSet lines;
    lines.SetData(packet.ByteArrayView());
    return Lines(lines);
}

class ShiftReport : public ReportServerTest {};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, ShiftReport, ::testing::ValuesIn(server::test::TestBackends()),
                         kav::reports::test::BackendTestName);

TEST_P(ShiftReport, EveryPaymentPrintAndCancellationOfTheSellersDay) {
    TCAShiftCloseReport service(*client_);
    EXPECT_THAT(Lines(service.GetShiftClose(LoginAs("U001", "u001"), "", kFrom, kTo)),
                ElementsAre("收款|现金 (X)|2|600",   // 500, and 100 of the split 300
                            "收款|银行卡 (H)|2|350", // 200 of the split, and 150
                            "收款|合计|3|950",       // three payments
                            "退款|现金 (X)|1|-380",  //
                            "退款|合计|1|-380",      //
                            "出票|测试甲场|3|",      //
                            "出票|测试乙场|1|",      //
                            "出票|合计|4|",          //
                            "重打|订单 TK08 座位 9100011 条码 6900009100011 2025-06-12 10:35:00|1|",
                            "重打|订单 TK09 座位 9100101 条码 6900009100101 2025-06-12 11:05:00|1|", //
                            "重打|合计|2|",                                                          //
                            "退票|测试甲场|1|-380",                                                  //
                            "退票|合计|1|-380",                                                      //
                            "取消订单|取消的订单|1|",                                                //
                            "取消订单|释放的座位|2|",                                                //
                            "应交现金|现金收款减现金退款||220"));
    // Another day: every section with its zero totals.
    EXPECT_THAT(Lines(service.GetShiftClose(LoginAs("U001", "u001"), "U001", "2025-06-13 00:00:00",
                                            "2025-06-13 23:59:59")),
                ElementsAre("收款|合计|0|0", "退款|合计|0|0", "出票|合计|0|", "重打|合计|0|", "退票|合计|0|0",
                            "取消订单|取消的订单|0|", "取消订单|释放的座位|0|",
                            "应交现金|现金收款减现金退款||0"));
}

TEST_P(ShiftReport, OnlySellersWithinTheCallersReach) {
    TCAShiftCloseReport service(*client_);
    // The same group (scope 0), the owning centre (scope -1), every group (scope 1).
    for (const auto& [user, password] : std::vector<std::pair<const char*, const char*>>{
             {"demo", "demo"}, {"MGR1", "mgr1"}, {"ADMIN", "admin"}})
        EXPECT_EQ(Lines(service.GetShiftClose(LoginAs(user, password), "U001", kFrom, kTo)).back(),
                  "应交现金|现金收款减现金退款||220")
            << user;
    EXPECT_THAT(RemoteError([&] { service.GetShiftClose(LoginAs("U003", "u003"), "U001", kFrom, kTo); }),
                HasSubstr("无权查看售票员 U001 的交班报表"));
    EXPECT_THAT(RemoteError([&] { service.GetShiftClose(LoginAs("DMDZP", "dmdzp"), "U001", kFrom, kTo); }),
                HasSubstr("无权查看"));
    const std::string context = LoginAs("ADMIN", "admin");
    EXPECT_THAT(RemoteError([&] { service.GetShiftClose(context, "GHOST", kFrom, kTo); }),
                HasSubstr("没有售票员 GHOST"));
    EXPECT_THAT(RemoteError([&] { service.GetShiftClose(context, "", "", kTo); }),
                HasSubstr("交班起始时间未设定"));
    EXPECT_THAT(RemoteError([&] { service.GetShiftClose(context, "", kFrom, "明天"); }),
                HasSubstr("交班结束时间"));
    EXPECT_THAT(RemoteError([&] { service.GetShiftClose(context, "", kTo, kFrom); }), HasSubstr("早于"));
}

TEST(ShiftPeriod, OneBoundMeansItsDayNoneToday) {
    const TDateTime today = EncodeDate(2026, 12, 8), at = EncodeDateTime({2025, 6, 12, 8, 30, 0, 0});
    struct Case {
        std::optional<TDateTime> from, to;
        const char *start, *end;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, "2026-12-08 00:00:00", "2026-12-08 23:59:59"},
        {at, std::nullopt, "2025-06-12 08:30:00", "2025-06-12 23:59:59"},
        {std::nullopt, at, "2025-06-12 00:00:00", "2025-06-12 08:30:00"},
        {at, at + 2, "2025-06-12 08:30:00", "2025-06-14 08:30:00"},
    };
    for (const Case& c : cases) {
        const TReportPeriod period = TCDShiftCloseReport::WorkingPeriod(c.from, c.to, today);
        EXPECT_EQ(period.FromText(), c.start);
        EXPECT_EQ(period.ToText(), c.end);
    }
}

TEST_P(ShiftReport, WindowPreviewsAndExportsTheShift) {
    std::vector<TReportDocument> previewed;
    const TReportPreviewHook previousPreview =
        SetReportPreviewHook([&](const TReportDocument& document) { previewed.push_back(document); });
    TUIShiftCloseReport window(*client_);
    window.show();
    window.findChild<TKavCSnapIn*>()->SetContext(LoginAs("ADMIN", "admin"));
    auto* seller = window.findChild<QComboBox*>("cbSeller");
    EXPECT_EQ(seller->currentData().toString(), "ADMIN") << "the logged-in user to start with";
    EXPECT_FALSE(window.actExport->isEnabled()) << "nothing to export yet";
    seller->setCurrentIndex(seller->findData("U001"));
    window.findChild<QDateTimeEdit*>("FromTime")->setDateTime(QDateTime(QDate(2025, 6, 12), QTime(0, 0)));
    window.findChild<QDateTimeEdit*>("ToTime")->setDateTime(QDateTime(QDate(2025, 6, 12), QTime(23, 59, 59)));
    window.actGetReport->trigger();
    SetReportPreviewHook(previousPreview);
    ASSERT_EQ(previewed.size(), 1u);
    const std::string text = previewed[0].PageText(0);
    EXPECT_THAT(text, HasSubstr("交班报表"));
    EXPECT_THAT(text, HasSubstr("售票员: 王售票"));
    EXPECT_THAT(text, HasSubstr("交班期间: 2025-06-12 00:00:00 至 2025-06-12 23:59:59"));
    EXPECT_THAT(text, HasSubstr("应交现金\n现金收款减现金退款\n220.00"));
    EXPECT_THAT(text, HasSubstr("打印人: 系统管理员"));

    QTemporaryDir dir;
    const std::filesystem::path file = (dir.path() + "/shift.xlsx").toStdString();
    std::string suggested;
    const TSaveFileNameHook previousSave =
        SetSaveFileNameHook([&](const QString&, const std::filesystem::path& name) {
            suggested = name.string();
            return std::optional<std::filesystem::path>(file);
        });
    window.actExport->trigger();
    SetSaveFileNameHook(previousSave);
    EXPECT_EQ(suggested, "交班报表-U001.xlsx");
    const auto cells = kav::test::ReadXlsxCells(QString::fromStdString(file.string()));
    EXPECT_EQ(cells.at({0, 0}).text, "区段");
    EXPECT_EQ(cells.at({0, 3}).text, "金额");
    EXPECT_EQ(cells.at({1, 1}).text, "现金 (X)");
    EXPECT_EQ(cells.at({1, 3}).format, "0.00");

    ScriptedDialogResponder dialogs;
    dialogs.Push(1);
    window.findChild<TKavCSnapIn*>()->SetContext(LoginAs("U003", "u003"));
    seller->setCurrentIndex(seller->findData("U001"));
    window.actGetReport->trigger();
    ASSERT_EQ(dialogs.Log().size(), 1u);
    EXPECT_THAT(dialogs.Log()[0].text, HasSubstr("无权查看售票员 U001"));
}

TEST_P(ShiftReport, KavReportWritesTheShift) {
    QTemporaryDir dir;
    const auto run = [&](const char* user, const char* password, QStringList extra) {
        QProcess program;
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QCoreApplication::applicationDirPath() + "/kav-report",
                      QStringList{"shift", "--server", QStringLiteral("127.0.0.1:%1").arg(Port()), "--user",
                                  user, "--password", password} +
                          extra);
        program.waitForFinished(60000);
        return std::make_pair(program.exitCode(), QString::fromUtf8(program.readAll()).toStdString());
    };
    const QString pdf = dir.filePath("shift.pdf");
    auto [status, output] = run("U001", "u001", {"--from", "2025-06-12", "--pdf", pdf});
    ASSERT_EQ(status, 0) << output;
    const std::string text = kav::test::PdfSearchText(pdf.toStdString());
    EXPECT_THAT(text, HasSubstr("交班报表"));
    EXPECT_THAT(text, HasSubstr("2025-06-12 23:59:59")) << "a day alone is the whole day";
    EXPECT_THAT(text, HasSubstr("220.00"));
    std::tie(status, output) =
        run("U003", "u003", {"--seller", "U001", "--from", "2025-06-12", "--pdf", pdf});
    EXPECT_EQ(status, 1);
    EXPECT_THAT(output, HasSubstr("无权查看售票员 U001"));
}
