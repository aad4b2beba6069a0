#pragma once
// A Qt item model over one dataset cursor, so grids and combo boxes can show datasets.
//
// Columns are the visible fields, read again whenever the dataset is reset (opened, reloaded,
// re-filtered, re-ordered, or a field's display properties changed through this cursor); the header
// shows each field's display label, and its size hint is the field's display width in characters of
// the application font. Rows are the rows of the
// cursor's view: filtered, within its range and master link, in index order. The model follows the
// dataset's change notifications, so inserts, deletes, edits and resets show at once; while the
// dataset's controls are disabled the model keeps its last state until they are enabled again.
//
// Roles: DisplayRole is the field's text; EditRole its typed value (bool, int or qlonglong, double,
// QDateTime, QString; an invalid QVariant for null); TextAlignmentRole puts numbers right.
// Editing: a cell is editable when its field is neither read-only nor calculated nor a nested table
// or blob. setData moves the dataset cursor to the row, edits, sets the value and posts (or, when
// the dataset is already editing that row, only sets the value and leaves posting to the editor).
// A refused value (no conversion, required field, ...) leaves the row unchanged, returns false and
// emits editRefused with the dataset's message.
//
// Ownership and threading: the dataset is not owned and must outlive the model; both belong to the
// thread of the model (the GUI thread).

#include "platform/dataset/clientdataset.h"

#include <QAbstractTableModel>
#include <vector>

namespace kav {

class DataSetModel final : public QAbstractTableModel, private TDataSetObserver {
    Q_OBJECT

public:
    explicit DataSetModel(TClientDataSet& dataSet, QObject* parent = nullptr);
    ~DataSetModel() override;

    TClientDataSet& DataSet() const { return dataSet_; }
    // The dataset field index shown in a column.
    int FieldIndex(int column) const { return columns_.at(static_cast<std::size_t>(column)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // The dataset cursor moved to `row` (-1 when the view is empty).
    void currentRowChanged(int row);
    void editRefused(const QString& message);

private:
    void ReadStructure();
    TField& FieldOf(int column) const;

    // TDataSetObserver
    void DataSetBeginInsertRows(int first, int last) override;
    void DataSetEndInsertRows() override;
    void DataSetBeginRemoveRows(int first, int last) override;
    void DataSetEndRemoveRows() override;
    void DataSetRowChanged(int row) override;
    void DataSetBeginReset() override;
    void DataSetEndReset() override;
    void DataSetCurrentChanged(int row) override;

    TClientDataSet& dataSet_;
    std::vector<int> columns_; // field index per column
    int rows_ = 0;             // the row count last announced to views
};

} // namespace kav
