#pragma once
// The seat map viewer's window: a generated section in a scroll box, switches for the display modes,
// the price table beside it, and the cell under the mouse in the status bar.

#include "platform/dataset/clientdataset.h"
#include "seatmap/seatmapconfig.h"

#include <QMainWindow>

namespace kav {

class TKavSeatMapShow;

class ViewerWindow : public QMainWindow {
    Q_OBJECT

public:
    // `config` must outlive the window.
    explicit ViewerWindow(TKavSeatMapConfig& config, QWidget* parent = nullptr);

    TKavSeatMapShow& Map() const { return *map_; }

private:
    void AddSwitches();
    void AddPriceLevels(TKavSeatMapConfig& config);
    void ShowCell(int col, int row);

    // Declared before the widgets so that it outlives the price grid bound to it.
    TClientDataSet prices_;
    TKavSeatMapShow* map_;
};

} // namespace kav
