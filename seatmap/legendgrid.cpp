#include "seatmap/legendgrid.h"

#include "seatmap/fontsubstitution.h"
#include "seatmap/seatmapconfig.h"

#include <QMouseEvent>
#include <QPainter>
#include <numeric>

namespace kav {
namespace {

const QString kNumberFont = QStringLiteral("Arial Narrow");
const QString kCaptionFont = QStringLiteral("宋体");
const QColor kLineColor(0x80, 0x80, 0x80);

QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

TKavLegendGrid::TKavLegendGrid(TKavSeatMapConfig& config, std::vector<int> columnWidths, QWidget* parent)
    : QWidget(parent), config_(&config), widths_(std::move(columnWidths)) {
    InstallSeatMapFontSubstitutes();
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TKavLegendGrid::SetConfig(TKavSeatMapConfig& config) {
    config_ = &config;
    update();
}

void TKavLegendGrid::SetRowCount(int rows) {
    rows_ = std::max(0, rows);
    cells_.assign(static_cast<std::size_t>(rows_) * widths_.size(), Cell{});
    updateGeometry();
    update();
}

TKavLegendGrid::Cell* TKavLegendGrid::At(int row, int col) {
    if (row < 0 || row >= rows_ || col < 0 || col >= ColCount()) return nullptr;
    return &cells_[static_cast<std::size_t>(row) * widths_.size() + static_cast<std::size_t>(col)];
}

const TKavLegendGrid::Cell* TKavLegendGrid::At(int row, int col) const {
    return const_cast<TKavLegendGrid*>(this)->At(row, col);
}

void TKavLegendGrid::SetText(int row, int col, std::string text) {
    if (Cell* cell = At(row, col); cell && cell->text != text) {
        cell->text = std::move(text);
        update(CellRect(row, col));
    }
}

std::string TKavLegendGrid::Text(int row, int col) const {
    const Cell* cell = At(row, col);
    return cell ? cell->text : std::string();
}

void TKavLegendGrid::SetSample(int row, int col, TKavLegendSample sample) {
    if (Cell* cell = At(row, col)) {
        cell->sample = std::move(sample);
        update(CellRect(row, col));
    }
}

std::optional<TKavLegendSample> TKavLegendGrid::Sample(int row, int col) const {
    const Cell* cell = At(row, col);
    return cell ? cell->sample : std::nullopt;
}

QSize TKavLegendGrid::sizeHint() const {
    return {std::accumulate(widths_.begin(), widths_.end(), 0) + 1, rows_ * RowPitch + 1};
}

QRect TKavLegendGrid::CellRect(int row, int col) const {
    int left = 1;
    for (int c = 0; c < col && c < ColCount(); ++c)
        left += widths_[static_cast<std::size_t>(c)] + 1;
    const int width = col == ColCount() - 1 ? std::max(0, this->width() - left - 1)
                                            : widths_[static_cast<std::size_t>(col)];
    return QRect(left, 1 + row * RowPitch, width, RowHeight);
}

// Lines between the cells in grey; texts in black; a sample's square 1 pixel in from the left, 2 from
// the top and 3 less high than the row, its text beside it.
void TKavLegendGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(TKavSeatMapConfig::MapBackground));
    painter.setPen(kLineColor);
    for (int row = 0; row <= rows_; ++row)
        painter.drawLine(0, row * RowPitch, width() - 1, row * RowPitch);
    for (int col = 0, x = 0; col < ColCount(); ++col) {
        painter.drawLine(x, 0, x, rows_ * RowPitch);
        x += widths_[static_cast<std::size_t>(col)] + 1;
    }
    QFont numbers(kNumberFont);
    numbers.setPixelSize(RowHeight - 6);
    QFont captions(kCaptionFont);
    captions.setPointSize(10);
    for (int row = 0; row < rows_; ++row)
        for (int col = 0; col < ColCount(); ++col) {
            const Cell& cell = *At(row, col);
            QRect rect = CellRect(row, col);
            if (cell.sample) {
                const TKavLegendSample& s = *cell.sample;
                const int side = RowHeight - 3;
                const QRect square(rect.left() + 1, rect.top() + 2, side, side);
                painter.setFont(numbers);
                config_->DrawCell(painter, square, false, s.Selected, s.ShowMarks, s.PlainShapes,
                                  s.PriceLevel, s.Status, s.Kind, s.Text, "S");
                rect.setLeft(square.right() + 4);
                painter.setFont(captions);
            } else {
                painter.setFont(numbers);
            }
            // Texts padded with blanks on the left are numbers meant to line up at the right.
            const QString text = ToQString(cell.text);
            const bool padded = text.startsWith(QLatin1Char(' '));
            painter.setPen(Qt::black);
            painter.drawText(rect.adjusted(1, 0, -2, 0),
                             (padded ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter |
                                 Qt::TextSingleLine,
                             padded ? text.trimmed() : text);
        }
}

void TKavLegendGrid::mouseReleaseEvent(QMouseEvent* event) {
    const int row = event->position().toPoint().y() / RowPitch;
    if (event->button() == Qt::LeftButton && row >= 0 && row < rows_) emit RowClicked(row);
}

} // namespace kav
