#include "seatmap/pricegridshow.h"

#include "platform/core/textcodec.h"
#include "seatmap/fontsubstitution.h"
#include "seatmap/seatmapconfig.h"

#include <QPainter>

namespace kav {
namespace {

const QString kLevelWidthSample = QStringLiteral("等级");

} // namespace

std::string PriceLevelName(std::string_view level) {
    if (level.empty()) return {};
    const std::string letter = AsciiUpper(level.substr(0, 1));
    if (TKavSeatMapConfig::PriceCodes.find(letter) == std::string_view::npos) return {};
    return letter + " 级";
}

TKavPriceLevelDelegate::TKavPriceLevelDelegate(TKavSeatMapConfig& config, QObject* parent)
    : QStyledItemDelegate(parent), config_(config) {}

bool TKavPriceLevelDelegate::IsPriceLevelColumn(const QModelIndex& index) {
    const QAbstractItemModel* model = index.model();
    if (!model) return false;
    QVariant name = model->headerData(index.column(), Qt::Horizontal, FieldNameRole);
    if (!name.isValid()) name = model->headerData(index.column(), Qt::Horizontal, Qt::DisplayRole);
    return name.toString().toUpper() == QStringLiteral("PRICELEVEL");
}

QRect TKavPriceLevelDelegate::SwatchRect(const QRect& cell, const QFontMetrics& metrics) {
    const int right = cell.left() + cell.width() - metrics.horizontalAdvance(kLevelWidthSample) - 4;
    const int bottom = cell.top() + cell.height() - 2;
    return QRect(QPoint(cell.left() + 2, cell.top() + 2), QPoint(right - 1, bottom - 1));
}

void TKavPriceLevelDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    if (!IsPriceLevelColumn(index)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->save();
    const QRect cell = option.rect;
    painter->fillRect(cell, ToQColor(clBtnFace));

    const std::string level = index.data(Qt::DisplayRole).toString().toStdString();
    const std::string letter = level.empty() ? std::string() : AsciiUpper(level.substr(0, 1));
    const QFontMetrics metrics(option.font);
    painter->setFont(option.font);
    painter->setPen(Qt::black);
    const int nameLeft = cell.left() + cell.width() - metrics.horizontalAdvance(kLevelWidthSample) - 1;
    painter->drawText(QPoint(nameLeft, cell.top() + 2 + metrics.ascent()),
                      QString::fromStdString(PriceLevelName(letter)));

    // Outline and fill cover the swatch rectangle exactly, as a one-pixel pen would on the desk client.
    const QRect swatch = SwatchRect(cell, metrics);
    if (swatch.isValid()) {
        painter->fillRect(swatch, Qt::black);
        painter->fillRect(swatch.adjusted(1, 1, -1, -1), ToQColor(config_.GetPriceColor(letter)));
    }
    painter->restore();
}

TKavPriceGridShow::TKavPriceGridShow(QWidget* parent) : TKavPriceGridShow(_SeatMapConfig(), parent) {}

TKavPriceGridShow::TKavPriceGridShow(TKavSeatMapConfig& config, QWidget* parent) : QTableView(parent) {
    InstallSeatMapFontSubstitutes();
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setItemDelegate(new TKavPriceLevelDelegate(config, this));
}

} // namespace kav
