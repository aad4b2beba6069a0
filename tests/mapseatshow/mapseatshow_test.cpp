// The seat layout window against a kav-server hosted in the test over the demo data, on every test
// backend: drawing seats and saving them (they come back with real codes, an unchanged save sends
// nothing), a save whose answer is lost saved again (each seat once), a seat sold meanwhile refused
// with nothing half saved, two windows open and one closed, the custom stage, the price levels, the
// launcher's choice, and the section written as PNG and PDF.
#include "cuttableproxy.h" // tests/shell
#include "dialogs/dialogresponder.h"
#include "dialogs/msgdlgtypes.h"
#include "host/camapsectionshow.h"
#include "host/snapin/kavcsnapin.h"
#include "mapseatshow/uimapseatlaunch.h"
#include "mapseatshow/uimapseatshow.h"
#include "platform/widgets/actionupdater.h"
#include "platform/widgets/filedialog.h"
#include "platform/widgets/modaldialog.h"
#include "seatmap/seatmapcomposite.h"
#include "seatmap/sectionmapshow.h"
#include "rpc/pelioserver.h"
#include "server/seed/seed.h"
#include "server/ticketoffice/sqlvalues.h"
#include "serverfixture.h"
#include "services/mapseatshow/tpmapseatshow.h"
#include "statementcatalogue.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QProcess>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gmock/gmock.h>

using namespace kav;
using ::testing::HasSubstr;

namespace {

constexpr const char* kProduct = "P0001";
constexpr const char* kMap = "M001";
constexpr const char* kStalls = "S0101";
constexpr const char* kBalcony = "S0102";

// Answers our own modal dialogs in place of the user while it lives.
class ModalScript {
public:
    explicit ModalScript(TModalDialogHook answer) : previous_(SetModalDialogHook(std::move(answer))) {}
    ~ModalScript() { SetModalDialogHook(previous_); }

private:
    TModalDialogHook previous_;
};

class MapSeatShowTest : public server::e2e::ServerFixture {
protected:
    void FillDatabase() override { server::SeedDatabase(database_->Db(), "bench:20"); }

    void SetUp() override {
        ServerFixture::SetUp();
        context_ = LoginAs("U002", "u002");
    }

    std::unique_ptr<TUIMapSeatShow> Open(pelio::TPelioClient& client, const char* section = kStalls) {
        auto window = std::make_unique<TUIMapSeatShow>(client);
        window->SnapIn().SetContext(context_);
        window->SetMapCode(kMap);
        window->SetProductCode(kProduct);
        window->SetSectionName(section == std::string(kStalls) ? "池座" : "楼座");
        window->SetSectionCode(section);
        window->resize(1200, 800);
        window->show();
        return window;
    }

    // A client that reaches the server through `proxy`.
    std::unique_ptr<pelio::TPelioClient> ClientThrough(const TCuttableProxy& proxy) {
        auto client = std::make_unique<pelio::TPelioClient>();
        client->SetHost("127.0.0.1");
        client->SetPort(proxy.Port());
        return client;
    }

    // Draws `count` new seats on grid row `row` from column 60 of the window's section, numbered `rowNo`
    // 排 1, 2, ...: the first with the seat editor, the others as its copies.
    static void Draw(TUIMapSeatShow& window, int count, int row = 62, int rowNo = 40) {
        TKavSeatMapCompositeShow& map = window.Map();
        map.ClearSelection();
        map.Map().Cells(row, 60).Selected = true;
        TKavSeatIdentity identity;
        identity.RowNo = static_cast<std::int16_t>(rowNo);
        ASSERT_TRUE(map.EditSelectedSeat(identity));
        map.Map().Cells(row, 60).Selected = true;
        if (count > 1) {
            ASSERT_EQ(map.CopySelectedCells(TKavSeatCopy{'R', 1, 'S', 1, count - 1}), count - 1);
        }
    }

    std::int64_t SeatsOnRow(int rowNo, const char* section = kStalls) {
        return server::IntegerOf(
            setup_
                ->Select("select count(*) from KAV_SEAT_SHOW where SECTIONCODE = ?1 and ROWNO = ?2",
                         {std::string(section), std::int64_t{rowNo}})
                .front()
                .front());
    }

    static bool AllCodesReal(TUIMapSeatShow& window) {
        TClientDataSet& seats = window.Data().cdsSeat();
        for (seats.First(); !seats.Eof(); seats.Next())
            if (seats.FieldByName("SEATCODE").AsInteger() <= 0) return false;
        return seats.ChangeCount() == 0;
    }

    // Saves the window's picture when KAV_SCREENSHOT_DIR names a folder.
    static void SaveScreenshot(QWidget& window, const char* name) {
        const QByteArray folder = qgetenv("KAV_SCREENSHOT_DIR");
        if (folder.isEmpty()) return;
        QDir().mkpath(QString::fromLocal8Bit(folder));
        window.resize(1400, 900);
        for (TActionUpdater* updater : window.findChildren<TActionUpdater*>())
            updater->UpdateActions();
        QTest::qWait(50);
        window.grab().save(QString::fromLocal8Bit(folder) + "/" + name);
    }

    std::string context_;
};

} // namespace

// Drawn seats are saved and come back with their real codes; the window is then unmodified, and a
// save without changes sends nothing (it succeeds with the connection cut).
TEST_P(MapSeatShowTest, DrawnSeatsComeBackWithRealCodes) {
    TCuttableProxy proxy(server_->Port());
    const auto client = ClientThrough(proxy);
    const auto window = Open(*client);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("分区编辑－座位编辑: 池座"));
    ASSERT_EQ(window->Data().cdsSeat().RecordCount(), 1002);
    Draw(*window, 5);
    EXPECT_TRUE(window->Modified());
    SaveScreenshot(*window, "mapseatshow-drawn.png");
    ASSERT_TRUE(window->Save());
    EXPECT_EQ(SeatsOnRow(40), 5);
    EXPECT_EQ(window->Data().cdsSeat().RecordCount(), 1007);
    EXPECT_TRUE(AllCodesReal(*window));
    EXPECT_GT(window->Map().Map().Cells(62, 62).SeatCode, 0);
    EXPECT_FALSE(window->Modified());
    EXPECT_THAT(window->Map().PromptLabel().text().toStdString(), HasSubstr("耗费: "));

    proxy.Cut();
    EXPECT_TRUE(window->Save());
}

// The connection breaks after the server saved but before its answer arrives: the seats stay pending
// with their provisional codes, and the next save stores each of them once.
TEST_P(MapSeatShowTest, ASaveWhoseAnswerWasLostStoresEachSeatOnce) {
    TCuttableProxy proxy(server_->Port());
    const auto client = ClientThrough(proxy);
    const auto window = Open(*client);
    Draw(*window, 3);
    ScriptedDialogResponder messages;
    messages.Push(mrOk);
    proxy.CutAnswers();
    EXPECT_FALSE(window->Save());
    ASSERT_EQ(messages.Log().size(), 1u);
    EXPECT_EQ(SeatsOnRow(40), 3); // the server did save them
    EXPECT_GT(window->Data().cdsSeat().ChangeCount(), 0);
    EXPECT_TRUE(window->Modified());

    ASSERT_TRUE(window->Save());
    EXPECT_EQ(SeatsOnRow(40), 3);
    EXPECT_TRUE(AllCodesReal(*window));
    EXPECT_TRUE(messages.Problems().empty());
}

// A seat sold after the window read it cannot be deleted: the whole save is refused, the new seats of
// the same save are not stored, and the work waits in the window.
TEST_P(MapSeatShowTest, ASeatSoldMeanwhileRefusesTheWholeSave) {
    const auto window = Open(*client_);
    const std::int64_t seat = server::IntegerOf(
        setup_
            ->Select("select min(SEATCODE) from KAV_SEAT_SHOW where SECTIONCODE = ?1 and STATUS = 'F'",
                     {std::string(kStalls)})
            .front()
            .front());
    const auto place = setup_->Select("select X, Y from KAV_SEAT_SHOW where SEATCODE = ?1", {seat});
    const int x = static_cast<int>(server::IntegerOf(place[0][0])),
              y = static_cast<int>(server::IntegerOf(place[0][1]));
    setup_->Execute("update KAV_SEAT_SHOW set STATUS = 'B', ORDERCODE = 'D9999999' where SEATCODE = ?1",
                    {seat});
    TKavSeatMapCompositeShow& map = window->Map();
    map.Map().Cells(y, x).Selected = true;
    EXPECT_EQ(map.DeleteSelectedSeats(), 1);
    Draw(*window, 2);
    ScriptedDialogResponder messages;
    messages.Push(mrOk);
    EXPECT_FALSE(window->Save());
    ASSERT_EQ(messages.Log().size(), 1u);
    EXPECT_THAT(messages.Log()[0].text, HasSubstr("不能删除"));
    EXPECT_EQ(SeatsOnRow(40), 0);
    EXPECT_FALSE(setup_->Select("select 1 from KAV_SEAT_SHOW where SEATCODE = ?1", {seat}).empty());
    EXPECT_TRUE(window->Modified());

    // Reloading asks first; the sold seat is then locked for the designer.
    messages.Push(mrYes);
    window->Refresh();
    EXPECT_FALSE(window->Modified());
    EXPECT_EQ(map.Map().Cells(y, x).CellStatus, TKavCellStatus::kavcsLocked);
}

// A map seat service that saves nothing and answers without a packet, as a broken server might.
class TUnansweringMapSeatShow final : public TTPMapSeatShow_serv {
public:
    pelio::Variant GetSection(const std::string&, const std::string&, const std::string&) override { return {}; }
    pelio::Variant GetPrice(const std::string&, const std::string&) override { return {}; }
    pelio::Variant GetSeat(const std::string&, const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    pelio::Variant SetSeat(const std::string&, const std::string&, const std::string&, const std::string&,
                           const pelio::Variant&) override {
        return {};
    }
};

// An answer without seats is a section without seats: deleting every seat is saved and shown. Only a
// save that comes back without a packet is a failure, and then every change stays for the next save.
TEST_P(MapSeatShowTest, AnEmptyAnswerIsAnEmptySectionAMissingOneAFailure) {
    const auto window = Open(*client_, kBalcony);
    setup_->Execute("update KAV_SEAT_SHOW set STATUS = 'F', ORDERCODE = null where SECTIONCODE = ?1",
                    {std::string(kBalcony)});
    window->Refresh();
    TKavSeatMapCompositeShow& map = window->Map();
    for (int row = 1; row <= map.Map().RowCount(); ++row)
        for (int col = 1; col <= map.Map().ColCount(); ++col)
            map.Map().Cells(row, col).Selected = true;
    EXPECT_EQ(map.DeleteSelectedSeats(), 1008);
    ASSERT_TRUE(window->Save());
    EXPECT_EQ(window->Data().cdsSeat().RecordCount(), 0);
    EXPECT_EQ(window->Data().cdsSeat().ChangeCount(), 0);
    EXPECT_FALSE(window->Modified());
    EXPECT_TRUE(setup_->Select("select 1 from KAV_SEAT_SHOW where SECTIONCODE = ?1", {std::string(kBalcony)}).empty());

    Draw(*window, 2, 95, 20);
    map.GatherSeatInformation();
    const int pending = window->Data().cdsSeat().ChangeCount();
    pelio::ORBRegisterServantClass<TUnansweringMapSeatShow>(std::string(kMapSeatShowInterface));
    pelio::TPelioServer broken;
    broken.SetPort(0);
    broken.SetActive(true);
    pelio::TPelioClient client;
    client.SetHost("127.0.0.1");
    client.SetPort(broken.ListeningPort());
    TCDMapSeatShow data(client);
    data.cdsSeat().SetData(window->Data().cdsSeat().Data());
    data.SetContext(context_);
    EXPECT_THROW(data.SetData(), EMapSeatSaveUnanswered);
    EXPECT_EQ(data.cdsSeat().ChangeCount(), pending);
}

// Every window has its own data: closing one leaves the other whole, and it saves.
TEST_P(MapSeatShowTest, TwoWindowsOneClosedTheOtherSaves) {
    auto stalls = Open(*client_, kStalls);
    const auto balcony = Open(*client_, kBalcony);
    Draw(*balcony, 2, 95, 20);
    stalls->close();
    stalls.reset();
    ASSERT_TRUE(balcony->Save());
    EXPECT_EQ(SeatsOnRow(20, kBalcony), 2);
    EXPECT_EQ(balcony->Data().SectionCode, kBalcony);
    EXPECT_TRUE(AllCodesReal(*balcony));
}

// The custom stage: typed in its dialog, drawn at once, saved into the map's row of the section; a
// section the map lacks is never written in place of another.
TEST_P(MapSeatShowTest, TheCustomStageIsSavedIntoItsOwnSection) {
    const auto window = Open(*client_);
    {
        ModalScript script([](QDialog& dialog) {
            dialog.findChild<QSpinBox*>(QStringLiteral("Top"))->setValue(2);
            dialog.findChild<QSpinBox*>(QStringLiteral("Left"))->setValue(60);
            dialog.findChild<QSpinBox*>(QStringLiteral("Length"))->setValue(30);
            dialog.findChild<QSpinBox*>(QStringLiteral("Width"))->setValue(4);
            dialog.accept();
            return dialog.result();
        });
        window->EditStage();
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(window->Map().Map().CustomStage(), std::optional<QRect>(QRect(60, 2, 30, 4)));
    EXPECT_TRUE(window->Modified());
    ASSERT_TRUE(window->Save());
    const auto arena = [&](const char* section) {
        return server::TextOf(setup_
                                  ->Select("select ARENAXY from KAV_SECTION_SHOW where SECTIONCODE = ?1",
                                           {std::string(section)})
                                  .front()
                                  .front());
    };
    EXPECT_EQ(arena(kStalls), "2|60|30|4");
    EXPECT_FALSE(window->Modified());

    // The same change meant for a map that has no such section.
    TCDMapSeatShow& data = window->Data();
    data.cdsSection().Edit();
    data.cdsSection().FieldByName("ARENAXY").SetAsString("1|1|5|1");
    data.cdsSection().Post();
    data.MapCode = "M002";
    const std::string others = arena("S0201");
    EXPECT_THROW(data.SetSection(), EMapSectionMissing);
    EXPECT_EQ(arena("S0201"), others);
    EXPECT_EQ(arena(kStalls), "2|60|30|4");
}

// Prices: a performance without prices still has levels A to H to draw with; the map-only levels
// are added once, also when the performance has one of them.
TEST_P(MapSeatShowTest, PriceLevelsToDrawWith) {
    setup_->Execute("delete from KAV_PRICE_SHOW where PRODUCTCODE = 'P0002'");
    setup_->Execute("insert into KAV_PRICE_SHOW (NODECODE, PRODUCTCODE, PRICELEVEL, PRICE) values ('01', "
                    "'P0001', 'L', 0)");
    TCDMapSeatShow data(*client_);
    data.SetContext(context_);
    const auto levels = [&] {
        std::string text;
        TClientDataSet& prices = data.cdsPrice();
        for (prices.First(); !prices.Eof(); prices.Next())
            text += prices.FieldByName("PRICELEVEL").AsString();
        return text;
    };
    data.ProductCode = "P0002";
    data.GetPrice();
    EXPECT_EQ(levels(), "ABCDEFGHLSXYZ");
    data.ProductCode = kProduct;
    data.GetPrice();
    EXPECT_EQ(levels(), "ABCDEFGHLSXYZ");
    EXPECT_EQ(data.cdsPrice().ChangeCount(), 0);
}

// The launcher lists the node's performances with a map and, for the one chosen, its sections.
TEST_P(MapSeatShowTest, TheLauncherChoosesAPerformanceAndASection) {
    EXPECT_EQ(MapSeatProductsSQL("01"), test::CataloguedStatement("mapseatshow.products").sql);
    TUIMapSeatLaunch launch(*client_, context_);
    launch.LoadProducts();
    EXPECT_GT(launch.Products().RecordCount(), 5);
    EXPECT_FALSE(launch.Choice());
    launch.ChooseProduct(kProduct);
    EXPECT_EQ(launch.Sections().RecordCount(), 2);
    launch.ChooseSection(kBalcony);
    const auto choice = launch.Choice();
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->MapCode, kMap);
    EXPECT_EQ(choice->SectionCode, kBalcony);
    EXPECT_EQ(choice->SectionName, "楼座");
    launch.ChooseProduct("P0002");
    EXPECT_FALSE(launch.Choice());
    SaveScreenshot(launch, "mapseatshow-launch.png");
}

// "生成座位图": the section as a 300 dpi PNG and as a PDF with the title and the legend in it.
TEST_P(MapSeatShowTest, ThePictureAsPngAndPdf) {
    const auto window = Open(*client_);
    QTemporaryDir folder;
    for (const char* name : {"stalls.png", "stalls.pdf"}) {
        const std::filesystem::path path = std::filesystem::path(folder.path().toStdString()) / name;
        const TSaveFileNameHook previous =
            SetSaveFileNameHook([&](const QString&, const std::filesystem::path&) {
                return std::optional<std::filesystem::path>(path);
            });
        window->actSeatMapToPic()->trigger();
        SetSaveFileNameHook(previous);
        ASSERT_TRUE(std::filesystem::exists(path)) << name;
    }
    const QImage png(folder.filePath(QStringLiteral("stalls.png")));
    ASSERT_FALSE(png.isNull());
    if (const QByteArray shots = qgetenv("KAV_SCREENSHOT_DIR"); !shots.isEmpty())
        png.scaledToWidth(1400, Qt::SmoothTransformation)
            .save(QString::fromLocal8Bit(shots) + "/mapseatshow-picture.png");
    EXPECT_EQ(std::lround(png.dotsPerMeterX() * 0.0254), 300);
    // Only the seats' part of the grid (columns 50 to 99), at 50 pixels a column.
    EXPECT_GT(png.width(), 45 * 50);
    EXPECT_LT(png.width(), 60 * 50);
    // The three rows of level A seats (40 a row) show in the level's colour.
    const QRgb levelA = ToQColor(window->Map().Map().Config().GetPriceColor("A")).rgb();
    int levelAPixels = 0;
    for (int y = 0; y < png.height(); y += 5)
        for (int x = 0; x < png.width(); x += 5)
            levelAPixels += png.pixel(x, y) == levelA ? 1 : 0;
    EXPECT_GT(levelAPixels, 3 * 40 * 30);

    QProcess text;
    text.start(QStringLiteral("pdftotext"),
               {folder.filePath(QStringLiteral("stalls.pdf")), QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(20000));
    const QString pdf = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(pdf.contains(QStringLiteral("池座"))) << pdf.toStdString();
    EXPECT_TRUE(pdf.contains(QStringLiteral("A 级"))) << pdf.toStdString();
    EXPECT_TRUE(pdf.contains(QStringLiteral("座"))) << pdf.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Backends, MapSeatShowTest, ::testing::ValuesIn(server::test::TestBackends()),
                         [](const auto& info) { return server::test::BackendName(info.param); });
