#pragma once
// Change notifications of one dataset cursor, shaped for item models: rows are the 0-based
// positions in the cursor's current (filtered, ordered) view. Begin* is called before the view
// changes and End* after it, so an observer may still read the old rows between the two.
// Observers are not owned; remove one before it is destroyed. All calls are on the thread that
// changes the dataset.

namespace kav {

class TDataSetObserver {
public:
    virtual void DataSetBeginInsertRows(int /*first*/, int /*last*/) {}
    virtual void DataSetEndInsertRows() {}
    virtual void DataSetBeginRemoveRows(int /*first*/, int /*last*/) {}
    virtual void DataSetEndRemoveRows() {}
    virtual void DataSetRowChanged(int /*row*/) {}
    // The whole view changed: open, close, new data, index, filter, range, master row, undo all.
    virtual void DataSetBeginReset() {}
    virtual void DataSetEndReset() {}
    virtual void DataSetCurrentChanged(int /*row*/) {}
    virtual void DataSetStateChanged() {} // browse, edit, insert

protected:
    ~TDataSetObserver() = default;
};

} // namespace kav
