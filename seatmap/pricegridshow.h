#pragma once
// TKavPriceGridShow: a grid bound to a client dataset of price levels, in which the column of the
// field "PRICELEVEL" (any letter case) shows each level's name ("A 级") beside a swatch of its
// configured colour. Other columns paint as in a plain table view. The grid follows the dataset
// through a DataSetModel: inserts, deletes, edits and reloads show at once. Columns always fit their
// contents.
//
// The delegate reads the configuration it is given, which must outlive it. GUI thread only.

#include <QStyledItemDelegate>
#include <QTableView>
#include <string>
#include <string_view>

namespace kav {

class DataSetModel;
class TClientDataSet;
class TKavSeatMapConfig;

// Display name of a price level from its first letter, upper-cased: "A 级" for each of
// A B C D E F G H J K M N, empty for anything else.
std::string PriceLevelName(std::string_view level);

class TKavPriceLevelDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit TKavPriceLevelDelegate(TKavSeatMapConfig& config, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // The price-level column asks for room for a swatch two lines of text wide beside the name.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Whether `index` lies in the column of the dataset field PRICELEVEL. The field name decides,
    // not the header, which shows the field's display label. False for models other than DataSetModel.
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

    // Shows `dataSet`, or nothing when it is null. The grid owns the model it builds over the
    // dataset; the dataset is not owned and must stay alive until it is unbound (SetDataSet with
    // another dataset or null) or the grid is destroyed.
    void SetDataSet(TClientDataSet* dataSet);
    TClientDataSet* DataSet() const;

private:
    DataSetModel* model_ = nullptr;
};

} // namespace kav
