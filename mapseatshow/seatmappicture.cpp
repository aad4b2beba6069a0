#include "mapseatshow/seatmappicture.h"

#include "platform/core/atomicfile.h"
#include "platform/dataset/clientdataset.h"
#include "platform/widgets/qtext.h"
#include "seatmap/seatmapconfig.h"
#include "seatmap/seatmapshow.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <map>

namespace kav {

namespace {

// The picture's longest side in pixels at most: at 300 dpi a poster of some 60 cm.
constexpr int kLongestSide = 7000;
constexpr int kMargin = 120;
constexpr int kTitlePixels = 72;
constexpr int kLegendPixels = 44;
constexpr int kLegendRow = 64;
constexpr int kLegendColumn = 620;
constexpr int kGap = 60;

QFont PixelFont(int pixels, bool bold = false) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

// The section as a seat map control of its own, drawn at print size with seat numbers and without
// the selection, locks or sale marks of the window it came from.
struct TSeatMapPicture::Section {
    TKavSeatMapShow map;
    QRect shown;                                // the part of the map with seats and the stage
    std::vector<std::pair<int, int>> rowLabels; // the top of each row with seats, and its number
};

TSeatMapPicture::TSeatMapPicture(const TKavSeatMapShow& source, std::string title,
                                 std::vector<TSeatMapLegendRow> legend)
    : section_(std::make_unique<Section>()), title_(std::move(title)), legend_(std::move(legend)) {
    TKavSeatMapShow& map = section_->map;
    map.SetConfig(source.Config());
    map.SetAutoZoom(false);
    map.SetRowCount(source.RowCount());
    map.SetColCount(source.ColCount());
    // Seats as large as the control draws them, unless the section would make too large a picture.
    map.SetColWidth(
        std::clamp(std::min(kLongestSide / source.ColCount(), kLongestSide * 5 / 6 / source.RowCount()),
                   TKavSeatGrid::MinColWidth, TKavSeatGrid::MaxColWidth));
    map.SetIndicatorLocation(source.IndicatorLocation());
    map.SetSectionName(source.SectionName());
    map.SetCustomStage(source.CustomStage());
    for (int row = 1; row <= source.RowCount(); ++row)
        for (int col = 1; col <= source.ColCount(); ++col) {
            TKavCellInfo& cell = map.Cells(row, col);
            cell = source.Cells(row, col);
            cell.Selected = false;
            cell.SeatStatus = 'F';
            if (cell.CellStatus != TKavCellStatus::kavcsNone) cell.CellStatus = TKavCellStatus::kavcsNormal;
        }
    map.resize(map.sizeHint());
    QRect shown = map.StageRect();
    for (int row = 1; row <= map.RowCount(); ++row)
        for (int col = 1; col <= map.ColCount(); ++col)
            if (map.Cells(row, col).CellStatus != TKavCellStatus::kavcsNone) shown |= map.CellRect(row, col);
    const int margin = map.ColWidth() / 2;
    section_->shown = shown.adjusted(-margin, -margin, margin, margin) & map.rect();
    // Each row with seats is labelled with its number at both sides, beside the part shown.
    for (int row = 1; row <= map.RowCount(); ++row)
        for (int col = 1; col <= map.ColCount(); ++col)
            if (const TKavCellInfo& cell = map.Cells(row, col);
                cell.CellStatus != TKavCellStatus::kavcsNone) {
                section_->rowLabels.emplace_back(map.CellRect(row, col).top(), cell.RowNo);
                break;
            }
}

TSeatMapPicture::~TSeatMapPicture() = default;

QSize TSeatMapPicture::Size() const {
    const QSize map = section_->shown.size();
    const int columns = std::max(1, (map.width() + kGap) / kLegendColumn);
    const int rows = (static_cast<int>(legend_.size()) + columns - 1) / columns;
    return {map.width() + 2 * kMargin,
            kMargin + kTitlePixels + kGap + map.height() + kGap + rows * kLegendRow + kMargin};
}

void TSeatMapPicture::Paint(QPainter& painter) const {
    TKavSeatMapShow& map = section_->map;
    const QRect& shown = section_->shown;
    const QSize size = Size();
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.setPen(Qt::black);
    painter.setFont(PixelFont(kTitlePixels, true));
    painter.drawText(QRect(kMargin, kMargin, size.width() - 2 * kMargin, kTitlePixels), Qt::AlignCenter,
                     Q(title_));

    // Seat numbers show on every seat of the picture; the configuration's own setting is put back.
    const std::string showSeatNo = map.Config().ShowSeatNo;
    map.SetShowSeatNo("1");
    const QPoint mapAt(kMargin, kMargin + kTitlePixels + kGap);
    map.render(&painter, mapAt, QRegion(shown), QWidget::DrawChildren);
    map.SetShowSeatNo(showSeatNo);
    painter.setFont(PixelFont(map.RowHeight() / 2));
    painter.setPen(Qt::black);
    for (const auto& [top, number] : section_->rowLabels) {
        const int y = mapAt.y() + top - shown.top();
        const QString label = QString::number(number);
        painter.drawText(QRect(0, y, kMargin - 10, map.RowHeight()), Qt::AlignRight | Qt::AlignVCenter,
                         label);
        painter.drawText(QRect(mapAt.x() + shown.width() + 10, y, kMargin - 10, map.RowHeight()),
                         Qt::AlignLeft | Qt::AlignVCenter, label);
    }

    const int columns = std::max(1, (shown.width() + kGap) / kLegendColumn);
    const int top = mapAt.y() + shown.height() + kGap;
    painter.setFont(PixelFont(kLegendPixels));
    for (std::size_t i = 0; i < legend_.size(); ++i) {
        const TSeatMapLegendRow& row = legend_[i];
        const int x = kMargin + static_cast<int>(i) % columns * kLegendColumn;
        const int y = top + static_cast<int>(i) / columns * kLegendRow;
        const QRect swatch(x, y + 8, kLegendRow - 16, kLegendRow - 16);
        // Map-only levels have no colour of their own: their seats show on the map's background.
        const bool priced = TKavSeatMapConfig::PriceCodes.find(row.Level) != std::string_view::npos;
        painter.fillRect(swatch, ToQColor(priced ? map.Config().GetPriceColor(std::string(1, row.Level))
                                                 : TKavSeatMapShow::MapBackground));
        painter.setPen(Qt::black);
        painter.drawRect(swatch);
        QString text = QStringLiteral("%1 级").arg(QChar::fromLatin1(row.Level));
        if (!row.Price.empty()) text += QStringLiteral("  %1元").arg(Q(row.Price));
        text += QStringLiteral("  %1座").arg(row.Seats);
        painter.drawText(QRect(swatch.right() + 20, y, kLegendColumn - kLegendRow, kLegendRow),
                         Qt::AlignLeft | Qt::AlignVCenter, text);
    }
}

QImage TSeatMapPicture::Image() const {
    QImage image(Size(), QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(Dpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QPainter painter(&image);
    Paint(painter);
    return image;
}

QByteArray TSeatMapPicture::Png() const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Image().save(&buffer, "PNG");
    return bytes;
}

QByteArray TSeatMapPicture::Pdf() const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(Dpi);
        const QSize size = Size();
        pdf.setPageSize(
            QPageSize(QSizeF(size.width() * 72.0 / Dpi, size.height() * 72.0 / Dpi), QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(Q(title_));
        pdf.setCreator(QStringLiteral("座位划定"));
        QPainter painter(&pdf);
        Paint(painter);
    }
    return bytes;
}

void TSeatMapPicture::Save(const std::filesystem::path& path) const {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    const QByteArray bytes = extension == ".pdf" ? Pdf() : Png();
    WriteFileAtomically(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::vector<TSeatMapLegendRow> SeatMapLegend(const TKavSeatMapShow& map, TClientDataSet& prices) {
    std::map<char, int> seats;
    for (int row = 1; row <= map.RowCount(); ++row)
        for (int col = 1; col <= map.ColCount(); ++col)
            if (const TKavCellInfo& cell = map.Cells(row, col); cell.CellStatus != TKavCellStatus::kavcsNone)
                ++seats[cell.PriceLevel];
    std::vector<TSeatMapLegendRow> legend;
    if (prices.Active() && prices.FindField("PRICELEVEL") && prices.FindField("PRICE")) {
        const int level = prices.FieldByName("PRICELEVEL").Index(),
                  price = prices.FieldByName("PRICE").Index();
        for (int row = 0; row < prices.RecordCount(); ++row) {
            const std::string letter = prices.TextAt(row, level);
            if (letter.size() != 1) continue;
            const auto found = seats.find(letter[0]);
            if (found == seats.end()) continue;
            legend.push_back({letter[0], prices.TextAt(row, price), found->second});
            seats.erase(found);
        }
    }
    for (const auto& [letter, count] : seats)
        legend.push_back({letter, {}, count});
    return legend;
}

} // namespace kav
