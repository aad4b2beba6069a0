#include "seatmap/pricegridshow.h"

#include "platform/core/textcodec.h"
#include "platform/widgets/datasetmodel.h"
#include "seatmap/fontsubstitution.h"
#include "seatmap/seatmapconfig.h"

#include <QHeaderView>
#include <QPainter>
#include <algorithm>

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
    const auto* model = qobject_cast<const DataSetModel*>(index.model());
    if (!model || index.column() < 0 || index.column() >= model->columnCount()) return false;
    const TField& field = model->DataSet().Fields(model->FieldIndex(index.column()));
    return AsciiUpper(field.FieldName()) == "PRICELEVEL";
}

QRect TKavPriceLevelDelegate::SwatchRect(const QRect& cell, const QFontMetrics& metrics) {
    const int right = cell.left() + cell.width() - metrics.horizontalAdvance(kLevelWidthSample) - 4;
    const int bottom = cell.top() + cell.height() - 2;
    return QRect(QPoint(cell.left() + 2, cell.top() + 2), QPoint(right - 1, bottom - 1));
}

QSize TKavPriceLevelDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QSize plain = QStyledItemDelegate::sizeHint(option, index);
    if (!IsPriceLevelColumn(index)) return plain;
    const QFontMetrics metrics(option.font);
    const int width = 2 + 2 * metrics.height() + 4 + metrics.horizontalAdvance(kLevelWidthSample);
    return {std::max(plain.width(), width), std::max(plain.height(), metrics.height() + 4)};
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
    // Without scroll bars every column must fit its contents, also after edits and reloads; a level
    // column left narrow would hide its swatch.
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    setItemDelegate(new TKavPriceLevelDelegate(config, this));
}

void TKavPriceGridShow::SetDataSet(TClientDataSet* dataSet) {
    if (dataSet == DataSet()) return;
    DataSetModel* previous = model_;
    model_ = dataSet ? new DataSetModel(*dataSet, this) : nullptr;
    setModel(model_);
    delete previous;
}

TClientDataSet* TKavPriceGridShow::DataSet() const {
    return model_ ? &model_->DataSet() : nullptr;
}

} // namespace kav
