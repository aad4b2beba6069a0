// The printing seam: which printer is chosen, receipts as GBK raw jobs, and ticket faces rendered,
// printed into a folder and into a throwaway CUPS daemon, then read back from what came out.

#include "platform/core/textcodec.h"
#include "platform/dataset/clientdataset.h"
#include "platform/widgets/barcodes.h"
#include "platform/widgets/cupsqueues.h"
#include "platform/widgets/rawprinter.h"
#include "platform/widgets/ticketface.h"
#include "printouts.h"

#include <QTemporaryDir>
#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

using namespace kav;
using kav::test::TThrowawayCups;

namespace {

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Contains(const std::vector<std::string>& list, const std::string& value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

// Puts the settings in place for the test's scope.
class SettingsScope {
public:
    explicit SettingsScope(TPrinterSettings settings)
        : previous_(OverridePrinterSettings(std::move(settings))) {}
    ~SettingsScope() { OverridePrinterSettings(previous_); }

private:
    std::optional<TPrinterSettings> previous_;
};

struct ElementRow {
    const char* type;
    const char* caption;
    int left, top, width, height;
    int border = 0;
};

// A face of 680 × 260 (180 × 69 mm) with a counterfoil, and one ticket record for it.
class TicketFaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        faces_.AddFieldDef("TICKETSTYLE", TFieldType::ftString, 2);
        faces_.AddFieldDef("TICKETWIDTH", TFieldType::ftInteger);
        faces_.AddFieldDef("TICKETHEIGHT", TFieldType::ftInteger);
        faces_.AddFieldDef("SUBQUANTITY", TFieldType::ftInteger);
        faces_.AddFieldDef("SUBWIDTH", TFieldType::ftInteger);
        faces_.AddFieldDef("SUBATLEFT", TFieldType::ftString, 1);
        faces_.AddFieldDef("PRINTNAME", TFieldType::ftString, 64);
        faces_.CreateDataSet();
        for (const char* name :
             {"ELEMENTNO", "BORDER", "ELM_LEFT", "ELM_TOP", "ELM_WIDTH", "ELM_HEIGHT", "FONTHEIGHT"})
            elements_.AddFieldDef(name, TFieldType::ftInteger);
        for (const char* name : {"ELEMENTTYPE", "CAPTION", "FONTNAME", "FONTBOLD", "EXTRASTRING"})
            elements_.AddFieldDef(name, TFieldType::ftString, 64);
        elements_.CreateDataSet();
        ticket_.AddFieldDef("BARCODE", TFieldType::ftString, 32);
        ticket_.AddFieldDef("QRCODE", TFieldType::ftString, 64);
        ticket_.AddFieldDef("FULLSEATNAME", TFieldType::ftString, 64);
        ticket_.AddFieldDef("PARVALUE", TFieldType::ftFloat);
        ticket_.AddFieldDef("HAPPENTIME", TFieldType::ftDateTime);
        ticket_.CreateDataSet();
        ticket_.AppendRecord({"1234567890123456", "K0100000042+1234567890123456", "池座 一层 1排 5座", 80.0,
                              EncodeDateTime({2027, 1, 1, 19, 30})});
        face_.SetFaceSource(&faces_);
        face_.SetElementSource(&elements_);
        face_.SetDataSource(&ticket_);
    }

    void MakeFace(const std::vector<ElementRow>& rows, int width = 680, int height = 260,
                  const std::string& printer = "标准票面") {
        faces_.EmptyDataSet();
        faces_.AppendRecord({"1", width, height, 1, 140, "N", printer});
        elements_.EmptyDataSet();
        int number = 1;
        for (const ElementRow& r : rows)
            elements_.AppendRecord({number++, r.border, r.left, r.top, r.width, r.height, 12, r.type,
                                    r.caption, "宋体", "N", ""});
        face_.UpdateFace();
        face_.UpdateElements();
    }

    void MakeTicketFace(const std::string& printer = "标准票面") {
        MakeFace({{"TSText", "票价:", 20, 160, 60, 20},
                  {"TSField", "PARVALUE", 80, 160, 120, 20},
                  {"TSField", "FULLSEATNAME", 20, 120, 480, 25, 15},
                  {"TSField", "HAPPENTIME", 20, 60, 300, 20},
                  {"TSBarcode", "", 20, 195, 400, 55},
                  {"TSQRCode", "", 430, 140, 110, 110},
                  {"TSField", "BARCODE", 550, 200, 120, 20}},
                 680, 260, printer);
    }

    TClientDataSet faces_, elements_, ticket_;
    TKavTicketFace face_;
    QTemporaryDir dir_;
};

} // namespace

TEST(PrinterChoice, FollowsTheNamedThenConfiguredThenDefaultQueue) {
    const TCupsQueues two{{"PDF", "TM-T81II"}, "PDF"};
    const TCupsQueues noDefault{{"PDF", "TM-T81II"}, ""};
    const TCupsQueues single{{"PDF"}, ""};
    const TCupsQueues none{};
    TPrinterSettings configured;
    configured.ticketPrinter = "TICKETS";
    configured.receiptPrinter = "RECEIPTS";
    TPrinterSettings folder = configured;
    folder.folder = "/srv/printouts";
    struct Case {
        const char* what;
        TPrintKind kind;
        const char* requested;
        const TPrinterSettings& settings;
        const TCupsQueues& queues;
        const char* queue; // empty: a folder
    };
    const TPrinterSettings empty;
    const Case cases[] = {
        {"an installed name wins", TPrintKind::Ticket, "TM-T81II", configured, two, "TM-T81II"},
        {"a name not installed falls to the configured ticket queue", TPrintKind::Ticket, "标准票面",
         configured, two, "TICKETS"},
        {"receipts have their own configured queue", TPrintKind::Receipt, "TM-T81II", configured, single,
         "RECEIPTS"},
        {"nothing configured: the default queue", TPrintKind::Ticket, "标准票面", empty, two, "PDF"},
        {"no default, one queue: that one", TPrintKind::Receipt, "TM-T81II", empty, single, "PDF"},
        {"a configured folder takes every print", TPrintKind::Ticket, "TM-T81II", folder, two, ""},
        {"no queue at all: the default folder", TPrintKind::Ticket, "", empty, none, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TPrinterTarget target = ChoosePrinter(c.kind, c.requested, c.settings, c.queues);
        EXPECT_EQ(target.queue, c.queue);
        EXPECT_EQ(target.IsFolder(), !target.folder.empty());
    }
    EXPECT_EQ(ChoosePrinter(TPrintKind::Ticket, "", folder, two).folder, "/srv/printouts");
    EXPECT_THROW(ChoosePrinter(TPrintKind::Ticket, "标准票面", empty, noDefault), EPrinterError);
}

TEST(PrinterChoice, ReadsThePrinterSectionOfKavClientIni) {
    QTemporaryDir dir;
    const std::filesystem::path ini = dir.path().toStdString() + "/KavClient.ini";
    std::ofstream(ini)
        << "[Server]\nHost=10.0.0.1\n[printer]\nticket=PDF\nReceipt=TM-T81II\nFolder=/srv/out\n";
    const TPrinterSettings settings = ReadPrinterSettings(ini);
    EXPECT_EQ(settings.ticketPrinter, "PDF");
    EXPECT_EQ(settings.receiptPrinter, "TM-T81II");
    EXPECT_EQ(settings.folder, "/srv/out");
    EXPECT_EQ(settings.pictureFolder, ini.parent_path() / "pictures");
    EXPECT_TRUE(ReadPrinterSettings(ini.parent_path() / "missing.ini").ticketPrinter.empty());
}

TEST(Barcodes, SymbolsHaveTheShapeOfTheirCode) {
    // Code 128 set C: start, eight digit pairs, check, stop = 11 + 8 × 11 + 11 + 13 modules.
    const TBarcodeSymbol bars = Code128Symbol("1234567890123456");
    EXPECT_TRUE(bars.linear);
    EXPECT_EQ(bars.columns, 123);
    EXPECT_EQ(bars.quietZone, 10);
    for (const TModuleRect& bar : bars.dark) {
        EXPECT_GE(bar.x, 0);
        EXPECT_LE(bar.x + bar.width, bars.columns);
        EXPECT_GE(bar.width, 1);
        EXPECT_LE(bar.width, 4);
    }
    const TBarcodeSymbol qr = QrCodeSymbol("K0100000042+1234567890123456");
    EXPECT_FALSE(qr.linear);
    EXPECT_EQ(qr.columns, qr.rows);
    EXPECT_EQ((qr.columns - 17) % 4, 0); // versions are 21, 25, 29 ... modules wide
    EXPECT_THROW(Code128Symbol(""), EBarcode);
    EXPECT_THROW(Code128Symbol(std::string(200, '7')), EBarcode); // longer than a Code 128 symbol holds
    EXPECT_THROW(QrCodeSymbol(""), EBarcode);
}

TEST_F(TicketFaceTest, RefusesFacesThatCannotMakeATicket) {
    struct Case {
        const char* what;
        std::vector<ElementRow> rows;
        int width, height;
    };
    const Case cases[] = {
        {"no size", {{"TSField", "BARCODE", 0, 0, 100, 20}}, 0, 260},
        {"an unknown element",
         {{"TSField", "BARCODE", 0, 0, 100, 20}, {"TSMovie", "x", 0, 30, 100, 20}},
         680,
         260},
        {"an element without size", {{"TSField", "BARCODE", 0, 0, 0, 20}}, 680, 260},
        {"nothing of the ticket",
         {{"TSText", "新年音乐会", 0, 0, 300, 20}, {"TSImage", "", 0, 0, 680, 260}},
         680,
         260},
        {"no element at all", {}, 680, 260},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MakeFace(c.rows, c.width, c.height);
        EXPECT_THROW(face_.CheckUsable(), ETicketFace);
    }
    faces_.EmptyDataSet();
    face_.UpdateFace();
    EXPECT_THROW(face_.CheckUsable(), ETicketFace);
    MakeTicketFace();
    EXPECT_NO_THROW(face_.CheckUsable());
}

TEST_F(TicketFaceTest, CodesRenderedAtThreeHundredDpiReadBack) {
    MakeTicketFace();
    const QImage page = face_.RenderImage(300);
    EXPECT_EQ(page.width(), 2125); // 680 face pixels at 96 dpi
    const std::filesystem::path png = dir_.path().toStdString() + "/face.png";
    ASSERT_TRUE(page.save(QString::fromStdString(png.string())));
    const auto codes = test::ReadCodes(png);
    EXPECT_TRUE(Contains(codes, "1234567890123456")) << codes.size();
    EXPECT_TRUE(Contains(codes, "K0100000042+1234567890123456"));
}

TEST_F(TicketFaceTest, PrintsIntoAFolderAsPdfThatReadsBack) {
    TPrinterSettings settings;
    settings.folder = dir_.path().toStdString() + "/printouts";
    SettingsScope scope(settings);
    MakeTicketFace();
    face_.OpenPrinter();
    ASSERT_TRUE(face_.Printer()->Target().IsFolder());
    EXPECT_EQ(face_.Print(), 0);

    const std::filesystem::path pdf = settings.folder / "ticket-1234567890123456.pdf";
    ASSERT_TRUE(std::filesystem::exists(pdf));
    const std::string text = test::PdfText(pdf);
    EXPECT_NE(text.find("池座 一层 1排 5座"), std::string::npos) << text;
    EXPECT_NE(text.find("票价:"), std::string::npos);
    EXPECT_NE(text.find("80.00"), std::string::npos);
    EXPECT_NE(text.find("2027-01-01 19:30"), std::string::npos);
    const auto info = test::PdfInfo(pdf);
    EXPECT_EQ(info.pages, 1);
    EXPECT_NEAR(info.width, 510, 1); // 180 mm
    EXPECT_NEAR(info.height, 195, 1);
    const auto codes = test::ReadCodes(pdf);
    EXPECT_TRUE(Contains(codes, "1234567890123456"));
    EXPECT_TRUE(Contains(codes, "K0100000042+1234567890123456"));

    // A second print of the same ticket is a second file; an earlier one is never overwritten.
    face_.Print();
    EXPECT_TRUE(std::filesystem::exists(settings.folder / "ticket-1234567890123456 (2).pdf"));

    // A face printing a field the ticket lacks prints nothing.
    MakeFace({{"TSField", "PRODUCTNAME", 0, 0, 300, 20}});
    EXPECT_THROW(face_.Print(), ETicketFace);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(settings.folder), {}), 2);
}

TEST_F(TicketFaceTest, APrinterThatCannotBeOpenedIsAnError) {
    MakeTicketFace();
    {
        // The folder would have to be made inside a file.
        const std::filesystem::path file = dir_.path().toStdString() + "/plain";
        std::ofstream(file) << "x";
        TPrinterSettings settings;
        settings.folder = file / "printouts";
        SettingsScope scope(settings);
        TKavTicketFace face;
        EXPECT_THROW(face.OpenPrinter(), EPrinterError);
        EXPECT_EQ(face.Printer(), nullptr);
    }
    {
        TPrinterSettings settings;
        settings.ticketPrinter = "NO-SUCH-QUEUE";
        SettingsScope scope(settings);
        try {
            face_.OpenPrinter();
            FAIL() << "opened a queue that does not exist";
        } catch (const EPrinterError& e) {
            EXPECT_NE(std::string(e.what()).find("NO-SUCH-QUEUE"), std::string::npos) << e.what();
        }
    }
}

TEST(RawPrinter, ReceiptsAreGbkBytesInOneRawPrint) {
    const std::string text = "   欢迎购票\r\n\x1bM1会员卡号: 8800123\r\n票价(元)  数量\n\x1dV1";
    const std::string bytes = ReceiptBytes(text);
    EXPECT_EQ(bytes, Utf8ToCodePage(text, "GBK"));
    EXPECT_NE(bytes.find("\x1bM1"), std::string::npos);
    EXPECT_EQ(bytes.substr(3, 2), "\xbb\xb6"); // 欢
    EXPECT_EQ(ReceiptBytes("A😀B"), "A?B");     // what GBK lacks prints as "?"

    QTemporaryDir dir;
    TPrinterSettings settings;
    settings.folder = dir.path().toStdString();
    SettingsScope scope(settings);
    EXPECT_EQ(WriteRawStringToPrinter("TM-T81II", text), 0);
    EXPECT_EQ(ReadFile(settings.folder / "Test Doc.prn"), bytes);
}

TEST_F(TicketFaceTest, PrintsThroughCups) {
    TThrowawayCups& cups = TThrowawayCups::Shared();
    if (!cups.Available()) GTEST_SKIP() << cups.WhyNot();
    const TCupsQueues queues = InstalledQueues();
    EXPECT_TRUE(Contains(queues.names, TThrowawayCups::kPdfQueue));
    EXPECT_TRUE(Contains(queues.names, TThrowawayCups::kRawQueue));

    // The face names the PDF queue, which wins over the configured one.
    TPrinterSettings settings;
    settings.ticketPrinter = TThrowawayCups::kRawQueue;
    SettingsScope scope(settings);
    MakeTicketFace(TThrowawayCups::kPdfQueue);
    face_.OpenPrinter();
    EXPECT_EQ(face_.Printer()->Target().queue, TThrowawayCups::kPdfQueue);
    EXPECT_EQ(face_.Resolution(), 300);
    const int job = face_.Print();
    ASSERT_GT(job, 0);
    ASSERT_TRUE(cups.WaitForJob(job));
    const std::filesystem::path pdf = cups.PdfOf(face_.JobTitle(), job);
    ASSERT_FALSE(pdf.empty());
    const auto info = test::PdfInfo(pdf);
    EXPECT_EQ(info.pages, 1);
    EXPECT_NEAR(info.width, 510, 2);
    EXPECT_NEAR(info.height, 195, 2);
    const auto codes = test::ReadCodes(pdf);
    EXPECT_TRUE(Contains(codes, "1234567890123456"));
    EXPECT_TRUE(Contains(codes, "K0100000042+1234567890123456"));
    std::filesystem::remove(pdf);

    // A queue that refuses jobs is an error when it is opened, also for a face that printed on it before.
    ASSERT_TRUE(cups.Run("cupsreject", {TThrowawayCups::kPdfQueue}));
    EXPECT_THROW(face_.OpenPrinter(), EPrinterError);
    EXPECT_EQ(face_.Printer(), nullptr);
    ASSERT_TRUE(cups.Run("cupsaccept", {TThrowawayCups::kPdfQueue}));
}

TEST(RawPrinter, ReceiptsReachTheQueueUnchanged) {
    TThrowawayCups& cups = TThrowawayCups::Shared();
    if (!cups.Available()) GTEST_SKIP() << cups.WhyNot();
    const std::string text = "   欢迎购票\r\n\x1bM1演出名称: 新年音乐会\n\n\n\x1dV1";
    const int job = WriteRawStringToPrinter(TThrowawayCups::kRawQueue, text);
    ASSERT_GT(job, 0);
    EXPECT_EQ(cups.RawPrint(), ReceiptBytes(text));
    EXPECT_TRUE(cups.WaitForJob(job));
}
