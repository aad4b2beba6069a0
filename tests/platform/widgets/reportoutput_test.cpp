// What a built report becomes on paper: its PDF read back with pdftotext (CJK text searchable, radicals
// included), the same through a printer, and the refusals that name the file or printer.

#include "platform/widgets/reportoutput.h"
#include "printouts.h"

#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>

using namespace kav;

namespace {

TReportDocument TwoPages() {
    TReportDocument document;
    document.title = "项目汇总报表";
    document.pageWidth = 297;
    document.pageHeight = 210;
    document.landscape = true;
    const TReportFont font{"WenQuanYi Micro Hei", 9, false};
    // Characters that share their glyph with a radical in some CJK fonts must still read back as
    // themselves: 一 目 无 页 门 长 见.
    const char* texts[] = {"项目汇总报表 ＜无记录＞ 第 1 页 共 2 页", "一门长见 售票员 第 2 页 共 2 页"};
    for (const char* text : texts) {
        TReportPage page;
        page.commands.push_back(
            {TDrawCommand::Kind::Text, QRectF(10, 10, 200, 8), text, font, TReportAlign::Left, 0.2});
        page.commands.push_back(
            {TDrawCommand::Kind::Line, QRectF(10, 20, 277, 0), {}, font, TReportAlign::Left, 0.3});
        // Far too long for its cell: painted smaller, still whole.
        page.commands.push_back(
            {TDrawCommand::Kind::Text, QRectF(10, 30, 12, 5), "12345678.90", font, TReportAlign::Right, 0.2});
        document.pages.push_back(page);
    }
    return document;
}

QString PdfText(const QString& file) {
    return QString::fromStdString(kav::test::PdfSearchText(file.toStdString()));
}

} // namespace

class TestReportOutput : public QObject {
    Q_OBJECT

private slots:
    void pdfTextCanBeSearched() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("report.pdf"));
        WriteReportPdf(TwoPages(), file.toStdString());
        const QString text = PdfText(file);
        QVERIFY2(text.contains(QStringLiteral("项目汇总报表 ＜无记录＞ 第 1 页 共 2 页")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("一门长见 售票员 第 2 页 共 2 页")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("12345678.90")));
        QCOMPARE(text.count(QChar('\f')), 2); // two pages

        const kav::test::PdfPageInfo info = kav::test::PdfInfo(file.toStdString());
        QCOMPARE(info.pages, 2);
        QVERIFY(info.width > info.height); // landscape A4
        QCOMPARE(qRound(info.width), 842);
    }

    void cellsOfOneFontReadBackRowByRow() {
        // A page's texts in one font are painted together; each must still read back in its own place.
        // The cells are listed column by column, so that painting order and reading order differ.
        TReportDocument document = TwoPages();
        document.pages.resize(1);
        TReportPage& page = document.pages[0];
        page.commands.clear();
        const TReportFont font{"WenQuanYi Micro Hei", 7, false};
        const char* cells[3][4] = {
            {"A", "售票", "12", "1,200.00"}, {"B", "赠票", "3", "0.00"}, {"C", "＜无记录＞", "0", "45.50"}};
        for (int column = 0; column < 4; ++column)
            for (int row = 0; row < 3; ++row)
                page.commands.push_back({TDrawCommand::Kind::Text,
                                         QRectF(10 + 30 * column, 10 + 5 * row, 30, 5), cells[row][column],
                                         font, column >= 2 ? TReportAlign::Right : TReportAlign::Left, 0.2});
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("grid.pdf"));
        WriteReportPdf(document, file.toStdString());
        const QString text = PdfText(file);
        for (const auto& row : cells) {
            const QRegularExpression line(QStringLiteral("^ *%1 +%2 +%3 +%4 *$")
                                              .arg(QRegularExpression::escape(row[0]),
                                                   QRegularExpression::escape(QString::fromUtf8(row[1])),
                                                   QRegularExpression::escape(row[2]),
                                                   QRegularExpression::escape(row[3])),
                                          QRegularExpression::MultilineOption);
            QVERIFY2(line.match(text).hasMatch(), qPrintable(text));
        }
    }

    void printerGetsTheSamePages() {
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("printed.pdf")));
        PrintReport(TwoPages(), printer);
        QVERIFY(PdfText(printer.outputFileName()).contains(QStringLiteral("一门长见 售票员")));
    }

    void failuresNameTheFileOrPrinter() {
        QTemporaryDir dir;
        const std::filesystem::path kept = dir.filePath(QStringLiteral("kept.pdf")).toStdString();
        std::ofstream(kept) << "earlier";
        const std::filesystem::path nowhere = kept.parent_path() / "missing" / "report.pdf";
        try {
            WriteReportPdf(TwoPages(), nowhere);
            QFAIL("a PDF in a missing folder was written");
        } catch (const EReportOutput& e) {
            QVERIFY2(std::string(e.what()).find(nowhere.string()) != std::string::npos, e.what());
        }
        try {
            PrintReport(TwoPages(), "无此打印机");
            QFAIL("printed on a printer that does not exist");
        } catch (const EReportOutput& e) {
            QVERIFY2(std::string(e.what()).find("无此打印机") != std::string::npos, e.what());
        }
    }

    void previewGoesToTheHook() {
        int shown = 0;
        const TReportPreviewHook previous = SetReportPreviewHook(
            [&](const TReportDocument& document) { shown = static_cast<int>(document.pages.size()); });
        PreviewReport(TwoPages(), nullptr);
        SetReportPreviewHook(previous);
        QCOMPARE(shown, 2);
    }
};

QTEST_MAIN(TestReportOutput)
#include "reportoutput_test.moc"
