#pragma once
// TKavPriceGridShow: a grid of price levels in which the column of the field "PRICELEVEL" shows each
// level's name ("A 级") beside a swatch of its configured colour. Any item model can feed it; a column's
// field name is its horizontal header's FieldNameRole data, or its display text when that is not set.
// Other columns paint as in a plain table view.
//
// The delegate reads the configuration it is given, which must outlive it. GUI thread only.

#include <QStyledItemDelegate>
#include <QTableView>
#include <string>
#include <string_view>

namespace kav {

class TKavSeatMapConfig;

// Display name of a price level from its first letter, upper-cased: "A 级" for each of
// A B C D E F G H J K M N, empty for anything else.
std::string PriceLevelName(std::string_view level);

class TKavPriceLevelDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int FieldNameRole = Qt::UserRole + 1;

    explicit TKavPriceLevelDelegate(TKavSeatMapConfig& config, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // Whether the column of `index` is the price-level column.
    static bool IsPriceLevelColumn(const QModelIndex& index);
    // The swatch of a cell rectangle, from (Left+2, Top+2) to the space kept for the level name.
    static QRect SwatchRect(const QRect& cell, const QFontMetrics& metrics);

private:
    TKavSeatMapConfig& config_;
};

class TKavPriceGridShow : public QTableView {
    Q_OBJECT

public:
    // Uses the process's seat map configuration (_SeatMapConfig, which may throw EKavSeatMapConfig).
    explicit TKavPriceGridShow(QWidget* parent = nullptr);
    TKavPriceGridShow(TKavSeatMapConfig& config, QWidget* parent);
};

} // namespace kav
