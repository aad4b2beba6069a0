// Painting the seat map: the full 100 x 150 grid against QPainter filling the same 15,000 rectangles
// with plain colours, and the repaint that a click selection causes. CompositeLoadRatio loads a
// section of 15,000 seats into the composite map (the seat packet into the seat dataset, the cells,
// the legends with their counts, the painted map) against loading the same packet into a dataset
// plus the control's own full paint, back to back in each iteration; its "ratio" counter is the
// goal (at most 2). Cells take the colours of the SEATMAP.CFG the build puts beside the program.
//   QT_QPA_PLATFORM=offscreen build/bin/bench_seatmap

#include "platform/dataset/clientdataset.h"
#include "seatmap/seatmapcomposite.h"
#include "seatmap/seatmapconfig.h"
#include "seatmap/seatmapshow.h"
#include "seatmap/viewer/demosection.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <chrono>

using namespace kav;

namespace {

constexpr int kRows = 100;
constexpr int kCols = 150;

struct FullMap {
    TKavSeatMapShow map;
    QImage image;
    explicit FullMap(const std::string& showSeatNo = "", const std::string& marks = "") {
        map.SetAutoZoom(false);
        FillDemoSection(map, kRows, kCols);
        map.SetShowSeatNo(showSeatNo);
        map.SetEntrepreneurFlag(marks);
        map.resize(map.sizeHint());
        image = QImage(map.size(), QImage::Format_RGB32);
    }
};

void BM_FillRectsBaseline(benchmark::State& state) {
    const FullMap full;
    const int w = full.map.ColWidth();
    const int h = full.map.RowHeight();
    QImage image(full.image.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        for (int row = 0; row < kRows; ++row)
            for (int col = 0; col < kCols; ++col)
                painter.fillRect(col * w, row * h, w - 1, h - 1,
                                 QColor::fromRgb(0xFF000000u | ((row * 37 + col) * 2654435761u >> 8)));
        benchmark::DoNotOptimize(image.bits());
    }
    state.counters["cells"] = kRows * kCols;
}
BENCHMARK(BM_FillRectsBaseline)->Unit(benchmark::kMillisecond);

void PaintFullGrid(benchmark::State& state, const std::string& showSeatNo, const std::string& marks) {
    FullMap full(showSeatNo, marks);
    for (auto _ : state) {
        full.map.render(&full.image);
        benchmark::DoNotOptimize(full.image.bits());
    }
    state.counters["cells"] = kRows * kCols;
}

void BM_PaintFullGrid(benchmark::State& state) {
    PaintFullGrid(state, "", "");
}
BENCHMARK(BM_PaintFullGrid)->Unit(benchmark::kMillisecond);

void BM_PaintFullGridWithSeatNumbers(benchmark::State& state) {
    PaintFullGrid(state, "1", "");
}
BENCHMARK(BM_PaintFullGridWithSeatNumbers)->Unit(benchmark::kMillisecond);

void BM_PaintFullGridWithMarks(benchmark::State& state) {
    PaintFullGrid(state, "", "Y");
}
BENCHMARK(BM_PaintFullGridWithMarks)->Unit(benchmark::kMillisecond);

// A click toggles one seat; what gets repainted is that cell and the stage (the widget tests check the
// region), painted here the way the paint event would.
void BM_ClickSelectionRepaint(benchmark::State& state) {
    FullMap full;
    const QRect cell = full.map.CellRect(50, 75);
    const QRegion repainted = QRegion(cell) | QRegion(full.map.ArenaRect());
    for (auto _ : state) {
        full.map.SelectCellInRect(cell.center().x(), cell.center().y(), cell.center().x(), cell.center().y());
        full.map.render(&full.image, repainted.boundingRect().topLeft(), repainted);
        benchmark::DoNotOptimize(full.image.bits());
    }
    state.counters["repainted_px"] = static_cast<double>(
        cell.width() * cell.height() + full.map.ArenaRect().width() * full.map.ArenaRect().height());
}
BENCHMARK(BM_ClickSelectionRepaint)->Unit(benchmark::kMicrosecond);

// A section whose every cell holds a seat, as datasets, and the same seats in a plain control.
struct FullSection {
    TClientDataSet section, floors, rows, seats, prices, baselineSeats;
    std::string packet;
    TKavSeatMapCompositeShow composite;
    TKavSeatMapShow control;
    QImage image;

    FullSection() {
        FillDemoSeatData({section, floors, rows, seats, prices}, kRows, kCols, true);
        packet = seats.Data();
        composite.SetSectionSource(&section);
        composite.SetFloorSource(&floors);
        composite.SetRowSource(&rows);
        composite.SetSeatSource(&seats);
        composite.SetPriceSource(&prices);
        composite.SetFilter(" OrderCode= 'K1' and Status = 'B'");
        composite.resize(TKavSeatMapCompositeShow::SidePanelWidth + 5 + kCols * 10 + 1, kRows * 12 + 3);
        composite.UpdateSection();

        control.SetAutoZoom(false);
        control.SetRowCount(kRows);
        control.SetColCount(kCols);
        for (int row = 1; row <= kRows; ++row)
            for (int col = 1; col <= kCols; ++col)
                control.Cells(row, col) = *DemoSeatAt(row, col, kRows, kCols, true);
        control.resize(control.sizeHint());
        image = QImage(control.size(), QImage::Format_RGB32);
    }
};

void CompositeLoadRatio(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    FullSection full;
    if (full.composite.Map().size() != full.control.size()) {
        state.SkipWithError("the composite's map is not the control's size");
        return;
    }
    Clock::duration baseline{}, composite{};
    for (auto _ : state) {
        const auto start = Clock::now();
        full.baselineSeats.SetData(full.packet);
        full.control.render(&full.image);
        benchmark::DoNotOptimize(full.image.bits());
        const auto painted = Clock::now();
        full.seats.SetData(full.packet);
        full.composite.UpdateSeat();
        full.composite.Map().render(&full.image);
        benchmark::DoNotOptimize(full.image.bits());
        baseline += painted - start;
        composite += Clock::now() - painted;
    }
    const auto ms = [&](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count() / static_cast<double>(state.iterations());
    };
    state.counters["seats"] = full.seats.RecordCount();
    state.counters["load_paint_ms"] = ms(baseline);
    state.counters["composite_ms"] = ms(composite);
    state.counters["ratio"] = ms(composite) / ms(baseline);
}
BENCHMARK(CompositeLoadRatio)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
