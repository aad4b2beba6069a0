// seatmap-viewer: shows a generated section in the seat map control and a price table in the price grid.
//   seatmap-viewer                      interactive window
//   seatmap-viewer --screenshots DIR    saves window.png, normal.png, design.png, workstate-s.png and
//                                       composite.png (the composite map with legends) in DIR and exits
// Uses "SEATMAP.CFG" beside the program, as the client does.

#include "platform/dataset/clientdataset.h"
#include "seatmap/seatmapcomposite.h"
#include "seatmap/seatmapconfig.h"
#include "seatmap/seatmapshow.h"
#include "seatmap/viewer/demosection.h"
#include "seatmap/viewer/viewerwindow.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

namespace {

// The generated section in the composite map, with marks, a few seats selected and the panel about one.
bool SaveCompositeScreenshot(kav::TKavSeatMapConfig& config, const QString& file) {
    kav::TClientDataSet section, floors, rows, seats, prices;
    kav::FillDemoSeatData({section, floors, rows, seats, prices}, 40, 60);
    kav::TKavSeatMapCompositeShow composite;
    composite.SetConfig(config);
    composite.SetSectionSource(&section);
    composite.SetFloorSource(&floors);
    composite.SetRowSource(&rows);
    composite.SetSeatSource(&seats);
    composite.SetPriceSource(&prices);
    composite.resize(1000, 700);
    composite.UpdateSection();
    composite.UpdateSeat();
    kav::TKavSeatMapShow& map = composite.Map();
    for (int col = 20; col <= 24; ++col) {
        const QPoint centre = map.CellRect(12, col).center();
        map.SelectCellInRect(centre.x(), centre.y(), centre.x(), centre.y());
    }
    composite.SetPrompt("已选 " + std::to_string(composite.SelectedCellCount()) + " 个座位");
    composite.ShowSeatInformation(22, 12);
    return composite.grab().save(file);
}

bool SaveScreenshots(kav::ViewerWindow& window, const QString& folder) {
    QDir().mkpath(folder);
    bool ok = window.grab().save(folder + "/window.png");
    kav::TKavSeatMapShow& map = window.Map();
    map.resize(900, 640);
    map.SetShowSeatNo("1");
    map.SetWorkState("R");
    ok = map.grab().save(folder + "/normal.png") && ok;
    map.SetShowSeatNo("");
    map.SetInDesign(true);
    map.SetShowIndicator(true);
    ok = map.grab().save(folder + "/design.png") && ok;
    map.SetInDesign(false);
    map.SetWorkState("S");
    map.SetEntrepreneurFlag("Y");
    ok = map.grab().save(folder + "/workstate-s.png") && ok;
    return SaveCompositeScreenshot(map.Config(), folder + "/composite.png") && ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    try {
        kav::ViewerWindow window(kav::_SeatMapConfig());
        const QStringList args = app.arguments();
        if (const qsizetype at = args.indexOf("--screenshots"); at >= 0 && at + 1 < args.size())
            return SaveScreenshots(window, args[at + 1]) ? 0 : 1;
        window.show();
        window.Map().DoRestoreSeatMap();
        return app.exec();
    } catch (const kav::EKavSeatMapConfig& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
