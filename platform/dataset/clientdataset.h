#pragma once
// TClientDataSet: an in-memory table of named, typed fields with a cursor.
//
// The records live in a table shared by the dataset, its clones (CloneCursor) and, for nested
// tables, the detail cursors; each cursor has its own position, index, range, filter and
// master link. Every insertion, modification and deletion is kept in the change log until
// MergeChangeLog, CancelUpdates or UndoLastChange; Delta() is the log as a data packet.
//
// Field names ignore letter case everywhere. Errors of data (unknown field, value that does
// not convert, required field empty, malformed packet or filter) raise EDatabaseError and leave
// the dataset as it was. Using a closed dataset is also an EDatabaseError.
//
// Thread safety: none; a dataset and its clones belong to one thread.

#include "platform/dataset/aggregate.h"
#include "platform/dataset/datasetobserver.h"
#include "platform/dataset/errors.h"
#include "platform/dataset/field.h"
#include "platform/dataset/fielddef.h"
#include "platform/dataset/fieldvalue.h"
#include "platform/dataset/filterexpr.h"
#include "platform/dataset/table.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kav {

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsCalcFields };
enum class TUpdateStatus { usUnmodified, usModified, usInserted, usDeleted };

using TBookmark = std::uint64_t; // 0 is never a valid bookmark

struct TLocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false; // text fields: the field begins with the given value
};

struct TIndexOptions {
    bool descending = false; // every field descending
    bool caseInsensitive = false;
};

struct TIndexDef {
    std::string name;
    std::string fields;     // "A;B;C"
    std::string descFields; // fields of `fields` sorted descending
    TIndexOptions options;
};

class TClientDataSet final : private detail::TableListener {
public:
    TClientDataSet();
    ~TClientDataSet();
    TClientDataSet(const TClientDataSet&) = delete;
    TClientDataSet& operator=(const TClientDataSet&) = delete;

    // ---- structure and lifetime
    // Definitions used by CreateDataSet; editable while the dataset is closed.
    std::vector<TFieldDef>& FieldDefs() { return fieldDefs_; }
    TFieldDef& AddFieldDef(std::string name, TFieldType type, int size = 0, bool required = false);
    void CreateDataSet(); // an empty table from FieldDefs(); raises for duplicate or empty names
    void Close();         // cancels an edit, drops the records (clones keep theirs)
    bool Active() const { return table_ != nullptr; }
    TDataSetState State() const { return state_; }

    // ---- data packets (format: docs/data-packet.md)
    std::string Data() const;  // every row with its pending change state
    std::string Delta() const; // only the changed rows, original and new values
    // Replaces structure and rows; calculated fields defined here are kept. A bad packet raises
    // EDatabaseError and the dataset keeps its previous content.
    void SetData(std::string_view packet);
    void SaveToFile(const std::filesystem::path& path) const; // written atomically
    void LoadFromFile(const std::filesystem::path& path);
    void CopyFrom(const TClientDataSet& source); // structure, rows and change log, not shared
    void CloneCursor(TClientDataSet& source);    // share source's records; own cursor settings
    void EmptyDataSet();                         // removes every row and the change log

    // ---- navigation (Eof/Bof as after First/Next/Prior/Last)
    void First();
    void Last();
    void Next();
    void Prior();
    int MoveBy(int distance); // returns the distance moved
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    bool IsEmpty() const { return RecordCount() == 0; }
    int RecordCount() const; // rows of the view (after filter, range and master link)
    int RecNo() const;       // 1-based; 0 when empty
    void SetRecNo(int recNo);
    TBookmark GetBookmark() const; // 0 when empty
    bool BookmarkValid(TBookmark bookmark) const;
    void GotoBookmark(TBookmark bookmark); // raises when the row is not in the view

    // ---- fields
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    TField& Fields(int index);
    TField& FieldByName(std::string_view name); // raises "Field 'X' not found"
    TField* FindField(std::string_view name);

    // ---- editing (moving the cursor posts a pending edit first)
    void Append();
    void Insert(); // before the current row in natural order
    void Edit();
    void Post(); // raises for required fields left null; the edit stays open then
    void Cancel();
    void Delete();
    void AppendRecord(const std::vector<FieldValue>& values); // in field order; fewer leave nulls

    // ---- change log
    int ChangeCount() const;
    void MergeChangeLog();
    void CancelUpdates();
    bool UndoLastChange(); // false when the log is empty
    TUpdateStatus UpdateStatus() const;
    // Which rows the view shows by their change state; the default shows all but deleted rows.
    // Showing deleted rows lets a delta be read whole; they cannot be edited.
    void SetStatusFilter(std::initializer_list<TUpdateStatus> statuses);
    bool LogChanges() const;
    void SetLogChanges(bool logChanges);

    // ---- order and search
    // "A;B", ascending; "" is natural order. Set before opening, it applies when the dataset
    // opens (and is dropped if the fields do not exist).
    void SetIndexFieldNames(std::string names);
    const std::string& IndexFieldNames() const { return indexFieldNames_; }
    void AddIndex(std::string name, std::string fields, TIndexOptions options = {},
                  std::string descFields = {});
    void DeleteIndex(std::string_view name);
    void SetIndexName(std::string name);
    const std::string& IndexName() const { return indexName_; }
    const std::vector<TIndexDef>& IndexDefs() const { return indexDefs_; }
    // The first values.size() fields of the current index; raises without an index.
    bool FindKey(const std::vector<FieldValue>& values);
    void FindNearest(const std::vector<FieldValue>& values); // first row at or after the key
    void SetRange(const std::vector<FieldValue>& start, const std::vector<FieldValue>& end);
    void CancelRange();
    bool Locate(std::string_view fieldNames, const std::vector<FieldValue>& values,
                TLocateOptions options = {});
    // The value of resultField in the first row matching like Locate; the cursor stays.
    std::optional<FieldValue> Lookup(std::string_view keyFields, const std::vector<FieldValue>& values,
                                     std::string_view resultField);

    // ---- filters
    // Parsed at once when open (raises EFilterError naming the position, keeping the old filter),
    // else when the dataset opens (a filter that does not fit the new fields is dropped).
    void SetFilter(std::string text);
    const std::string& FilterText() const { return filterText_; }
    void SetFiltered(bool filtered);
    bool Filtered() const { return filtered_; }
    // Called for each row with the dataset positioned on it: read fields through the argument;
    // it must not move or change the dataset.
    void SetOnFilterRecord(std::function<bool(TClientDataSet&)> accept);

    // ---- calculated fields: the callback sets the calculated fields of the row the argument
    // is positioned on. Shared by every cursor over the same records.
    void SetOnCalcFields(std::function<void(TClientDataSet&)> calculate);

    // ---- aggregates over the current index: expression "sum(Field)", count, min, max, avg;
    // level 0 is the whole view, level n the group of rows sharing the first n index fields.
    TAggregate& AddAggregate(std::string name, std::string expression, int groupingLevel = 0,
                             std::string indexName = {});
    TAggregate& AggregateByName(std::string_view name);
    TAggregate* FindAggregate(std::string_view name);

    // ---- master-detail: this dataset shows the rows whose detailFields equal the master's
    // current masterFields ("A;B"; detailFields default to the same names). A closed master or
    // one without rows shows no detail rows; a destroyed master dissolves the link.
    void SetMasterSource(TClientDataSet* master, std::string masterFields, std::string detailFields = {});

    // ---- notifications
    void AddObserver(TDataSetObserver* observer);
    void RemoveObserver(TDataSetObserver* observer);
    void DisableControls(); // nested; notifications resume with one reset
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    // ---- random access to the view (0-based rows), for item models; does not move the cursor
    int CurrentRow() const { return pos_; } // -1 when empty
    FieldValue ValueAt(int row, int field);
    std::string TextAt(int row, int field);

private:
    friend class TField;
    friend class TAggregate;
    friend class TRowReader;
    class FilterRowOf;
    struct IndexKey {
        std::vector<int> fields;
        std::vector<bool> descending;
        bool caseInsensitive = false;
    };

    std::vector<TFieldDef> fieldDefs_;
    std::shared_ptr<detail::Table> table_;
    std::vector<std::unique_ptr<TField>> fields_;
    std::vector<detail::Record*> view_;
    // With an index: the 64-bit prefix of each view row's first key field (see SortView), so
    // that key searches start on contiguous memory.
    std::vector<std::uint64_t> viewPrefix_;
    int pos_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    TDataSetState state_ = TDataSetState::dsInactive;
    std::vector<FieldValue> buffer_; // the row being edited or inserted
    bool bufferCalcValid_ = false;
    detail::Record* editing_ = nullptr;      // dsEdit: the row being edited
    detail::Record* insertBefore_ = nullptr; // dsInsert: null appends
    bool adoptInserted_ = false;             // the next inserted record becomes current
    detail::Record* peek_ = nullptr;         // a row the filter or calc callback looks at
    std::vector<FieldValue>* calcTarget_ = nullptr;

    std::string indexFieldNames_;
    std::string indexName_;
    std::vector<TIndexDef> indexDefs_;
    IndexKey key_;
    std::optional<std::vector<FieldValue>> rangeStart_, rangeEnd_;

    std::string filterText_;
    std::shared_ptr<const Filter> filter_;
    bool filtered_ = false;
    unsigned statusFilter_ = 0; // bit per TUpdateStatus; 0: all but deleted
    std::function<bool(TClientDataSet&)> onFilterRecord_;
    std::function<void(TClientDataSet&)> onCalcFields_;

    std::vector<std::unique_ptr<TAggregate>> aggregates_;

    TClientDataSet* master_ = nullptr;
    std::vector<int> masterFields_, detailFields_;
    std::string detailFieldNames_;
    std::vector<FieldValue> masterValues_;
    bool masterHasRow_ = false;
    std::vector<TClientDataSet*> details_;

    // Nested detail cursors, one per ftDataSet field, created on first use.
    std::vector<std::unique_ptr<TClientDataSet>> nested_;

    std::vector<TDataSetObserver*> observers_;
    int disableCount_ = 0;
    bool missedNotifications_ = false;
    std::uint64_t viewVersion_ = 0;

    // structure
    void Attach(std::shared_ptr<detail::Table> table);
    void Detach();
    void BuildFields();
    void CheckActive() const;
    void CheckBrowse();
    void SetState(TDataSetState state);
    detail::Record* Current() const;
    const TFieldDef& DefOf(int field) const { return table_->Fields()[static_cast<std::size_t>(field)]; }
    int IndexOfField(std::string_view name) const;
    std::vector<int> FieldList(std::string_view names) const;

    // values
    // The current row's value of a field of `def` (its definition), read by every typed accessor:
    // a browsed data field is read in place, anything else through ReadCell.
    const FieldValue& ReadCell(int field, const TFieldDef& def) {
        if (state_ == TDataSetState::dsBrowse && !peek_ && !def.IsCalculated() && pos_ >= 0 &&
            static_cast<std::size_t>(pos_) < view_.size())
            return view_[static_cast<std::size_t>(pos_)]->values[static_cast<std::size_t>(field)];
        return ReadCell(field);
    }
    const FieldValue& ReadCell(int field);
    const FieldValue& CellOf(detail::Record* record, int field);
    void WriteCell(int field, FieldValue stored);
    void EnsureCalc(detail::Record* record);
    void CalculateInto(std::vector<FieldValue>& values, detail::Record* peek);
    std::vector<FieldValue> NullRow() const;
    std::vector<FieldValue> NewRow() const;

    // view
    void RebuildView();
    void SortView();
    void ViewInsert(std::size_t position, detail::Record* record);
    void ViewErase(std::size_t position);
    void ViewClear();
    std::uint64_t FirstKeyPrefix(const FieldValue& stored) const;
    // The rows whose first key field could equal key[0]; all rows before are less, after greater.
    std::pair<std::size_t, std::size_t> PrefixRange(const std::vector<FieldValue>& key) const;
    std::size_t LowerBound(const std::vector<FieldValue>& key, bool partial);
    int FindRow(std::string_view fieldNames, const std::vector<FieldValue>& values, TLocateOptions options);
    bool Accepts(detail::Record* record);
    // No filter, range, master link, index or status filter: the view is the table's rows in
    // natural order, without logged deletions.
    bool ShowsEveryRow() const;
    bool MatchesFilter(detail::Record* record);
    bool InRange(detail::Record* record);
    bool Less(detail::Record* a, detail::Record* b);
    int CompareKeys(detail::Record* record, const std::vector<FieldValue>& key, std::size_t count,
                    bool partial = false);
    std::size_t InsertPosition(detail::Record* record);
    int FindInView(detail::Record* record);
    void ApplyIndex(IndexKey key);
    const TIndexDef& IndexDefByName(std::string_view name) const;
    IndexKey IndexKeyOf(const TIndexDef& def) const;
    std::shared_ptr<const Filter> ParseFilter(const std::string& text) const;
    std::vector<FieldValue> StoredKey(const std::vector<FieldValue>& values,
                                      const std::vector<int>& fields) const;
    void SetPos(int pos);
    void PrefetchAhead(std::size_t row) const;
    void AfterScroll();

    // links
    void MasterChanged();
    void MasterGone(); // the master is being destroyed
    void RefreshNested();
    void BindNested(std::shared_ptr<detail::Table> table);
    TClientDataSet& NestedCursor(int field);
    void NotifyDependents();

    // notifications
    template <typename F> void Emit(F&& call);
    void EmitReset(const std::function<void()>& change);

    // detail::TableListener
    void RecordInserted(detail::Record* record) override;
    void RecordAboutToChange(detail::Record* record) override;
    void RecordChanged(detail::Record* record) override;
    void RecordAboutToVanish(detail::Record* record) override;
    void TableAboutToReset() override;
    void TableReset() override;
    bool resetPending_ = false;
    std::uint64_t resetCurrentId_ = 0;
    int changingPos_ = -1;
};

} // namespace kav
