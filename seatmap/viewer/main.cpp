// seatmap-viewer: shows a generated section in the seat map control and a price table in the price grid.
//   seatmap-viewer                      interactive window
//   seatmap-viewer --screenshots DIR    saves window.png, normal.png, design.png and workstate-s.png
//                                       in DIR and exits
// Uses "SEATMAP.CFG" beside the program, as the client does.

#include "seatmap/seatmapconfig.h"
#include "seatmap/seatmapshow.h"
#include "seatmap/viewer/demosection.h"
#include "seatmap/viewer/viewerwindow.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

namespace {

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
    return ok;
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
