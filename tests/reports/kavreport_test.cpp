// kav-report as the nightly job runs it: the program against the hosted server, its exit status, and the
// PDF and workbook it leaves, read back with pdftotext and unzip.

#include "printouts.h"
#include "reportserver.h"
#include "xlsxcells.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <gmock/gmock.h>

using kav::reports::test::ReportServerTest;
using ::testing::HasSubstr;

namespace {

struct TRun {
    int status = -1;
    std::string output;
};

class KavReport : public ReportServerTest {
protected:
    TRun Report(QStringList arguments, const QString& password = QStringLiteral("u001")) {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("KAV_REPORT_PASSWORD"), password);
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::MergedChannels);
        arguments << "--server" << QStringLiteral("127.0.0.1:%1").arg(Port()) << "--user"
                  << "U001";
        program.start(QCoreApplication::applicationDirPath() + "/kav-report", arguments);
        program.waitForFinished(60000);
        return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
                QString::fromUtf8(program.readAll()).toStdString()};
    }
    QString File(const char* name) const { return dir_.filePath(name); }
    static std::string PdfText(const QString& file) { return kav::test::PdfSearchText(file.toStdString()); }

    QTemporaryDir dir_;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, KavReport, ::testing::ValuesIn(kav::server::test::TestBackends()),
                         kav::reports::test::BackendTestName);

TEST_P(KavReport, WritesThePerformanceReportAsPdfAndWorkbook) {
    const TRun run =
        Report({"perform", "--products", "T'01,T03", "--source", "1", "--from", "2025-06-01", "--to",
                "2025-06-30", "--pdf", File("perform.pdf"), "--xlsx", File("perform.xlsx")});
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string text = PdfText(File("perform.pdf"));
    EXPECT_THAT(text, HasSubstr("项目汇总报表"));
    EXPECT_THAT(text, HasSubstr("统计期间: 2025-06-01 至 2025-06-30"));
    EXPECT_THAT(text, HasSubstr("＜无记录＞"));
    EXPECT_THAT(text, HasSubstr("测试甲场"));
    std::string compact = text; // text extraction may or may not keep the blanks between CJK and digits
    std::erase(compact, ' ');
    EXPECT_THAT(compact, HasSubstr("第1页共2页"));

    const auto cells = kav::test::ReadXlsxCells(File("perform.xlsx"));
    std::map<QString, int> column;
    for (int c = 0; cells.count({0, c}); ++c)
        column[cells.at({0, c}).text] = c;
    ASSERT_TRUE(column.count("演出名称") && column.count("A级＿已售金额") && column.count("B级＿票价") &&
                column.count("D级＿剩余票数"));
    EXPECT_FALSE(column.count("PRODUCTCODE")) << "hidden fields stay out";
    // Rows: own sales of T'01 (no class, 80%, 100%, the return), then T03's "＜无记录＞".
    std::vector<QString> classes;
    for (int row = 1; cells.count({row, column["销售政策"]}); ++row)
        classes.push_back(cells.at({row, column["销售政策"]}).text);
    EXPECT_THAT(classes, ::testing::ElementsAre("普通票(100%)", "正价票(80%)", "正价票(100%)", "正价票(100%)",
                                                "＜无记录＞"));
    const auto& money = cells.at({3, column["A级＿已售金额"]});
    EXPECT_TRUE(money.number);
    EXPECT_DOUBLE_EQ(money.text.toDouble(), 760);
    EXPECT_EQ(money.format, "0.00");
    EXPECT_EQ(cells.at({1, column["D级＿已售数量"]}).text, "1");
    EXPECT_EQ(cells.at({1, column["B级＿票价"]}).text, "0") << "no B price for T'01";
    EXPECT_TRUE(cells.at({1, column["演出时间"]}).number) << "a date-time";
}

TEST_P(KavReport, WritesTheUserAndGroupReports) {
    TRun run = Report(
        {"user", "--products", "T'01,T02", "--users", "U001,demo", "--type", "1", "--pdf", File("user.pdf")});
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_THAT(PdfText(File("user.pdf")), HasSubstr("售票员销售报表(系统)"));
    run = Report({"group", "--products", "T'01", "--groups", "G001,DM01", "--group-by", "performance",
                  "--xlsx", File("group.xlsx")});
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(kav::test::ReadXlsxCells(File("group.xlsx")).at({0, 0}).text, "销售点");
}

TEST_P(KavReport, ExitStatusTellsWhatWentWrong) {
    const QStringList perform{"perform", "--products", "T03", "--pdf", File("x.pdf")};
    TRun run = Report(perform, QStringLiteral("wrong"));
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.output, HasSubstr("登录失败"));
    run = Report({"perform", "--products", "T03,NOPE", "--pdf", File("x.pdf")});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.output, HasSubstr("没有演出 NOPE"));
    run = Report({"user", "--products", "T03", "--users", "GHOST", "--pdf", File("x.pdf")});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.output, HasSubstr("没有售票员 GHOST"));
    run = Report({"user", "--products", "T03", "--users", "U001", "--pdf", File("x.pdf")});
    EXPECT_EQ(run.status, 3) << "nothing sold: nothing to report";
    EXPECT_THAT(run.output, HasSubstr("无记录"));
    run = Report({"perform", "--products", "T03", "--pdf", File("missing/x.pdf")});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.output, HasSubstr("missing/x.pdf"));
    run = Report({"perform", "--products", "T03"});
    EXPECT_EQ(run.status, 2);
    EXPECT_THAT(run.output, HasSubstr("usage: kav-report"));
    EXPECT_FALSE(QFile::exists(File("x.pdf")));

    QProcess unreachable;
    unreachable.start(QCoreApplication::applicationDirPath() + "/kav-report",
                      {"perform", "--server", "127.0.0.1:1", "--user", "U001", "--password", "u001",
                       "--products", "T03", "--pdf", File("x.pdf")});
    unreachable.waitForFinished(60000);
    EXPECT_EQ(unreachable.exitCode(), 1);
}
