#pragma once
// The records of a client dataset, shared by every cursor over them (the dataset itself, its
// clones, and the detail cursors of nested tables), with the change log. Internal to the dataset.
//
// Records are owned here and keep their address while they exist, so cursors hold plain
// pointers; a cursor learns of every change through TableListener before and after it happens.

#include "platform/dataset/fielddef.h"
#include "platform/dataset/fieldvalue.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace kav {
class TClientDataSet;
}

namespace kav::detail {

// Codes as stored in data packets.
enum class RowState : std::uint8_t { Unmodified = 0, Inserted = 1, Modified = 2, Deleted = 3 };

struct Record {
    std::vector<FieldValue> values;        // one per field, stored form (see conversions.h)
    std::vector<FieldValue> original;      // values before the first logged change (Modified rows only)
    RowState state = RowState::Unmodified; // Unmodified, Inserted or Modified
    bool deleted = false;                  // kept only while the change log holds its deletion
    bool calcValid = false;
    std::int64_t seq = 0; // natural order: rows are sorted by seq
    std::uint64_t id = 0; // bookmark, unique within the table
};

class TableListener {
public:
    virtual void RecordInserted(Record* record) = 0; // now visible
    virtual void RecordAboutToChange(Record* record) = 0;
    virtual void RecordChanged(Record* record) = 0;
    virtual void RecordAboutToVanish(Record* record) = 0; // deleted or insertion undone
    virtual void TableAboutToReset() = 0;                 // drop every record pointer: rows may be freed
    virtual void TableReset() = 0;                        // anything may have changed

protected:
    ~TableListener() = default;
};

// The field definitions of a table, with those of its nested tables prepared once, so that the
// nested tables of every row share one list instead of each holding a copy. Immutable.
class FieldList {
public:
    explicit FieldList(std::vector<TFieldDef> definitions);
    const std::vector<TFieldDef>& Defs() const noexcept { return defs_; }
    // The list of the nested tables of field `field`; null unless it is an ftDataSet field.
    const std::shared_ptr<const FieldList>& NestedOf(std::size_t field) const noexcept {
        return nested_[field];
    }
    // A list with definition `field` changed, sharing the nested lists.
    std::shared_ptr<const FieldList> With(std::size_t field,
                                          const std::function<void(TFieldDef&)>& change) const;

private:
    FieldList() = default;
    std::vector<TFieldDef> defs_;
    std::vector<std::shared_ptr<const FieldList>> nested_;
};

struct Table {
    std::vector<std::unique_ptr<Record>> rows; // natural order, including logged deletions
    bool logChanges = true;
    std::function<void(TClientDataSet&)> onCalcFields;
    std::vector<TableListener*> listeners;
    std::uint64_t version = 0; // changes whenever any value or visibility changes

    explicit Table(std::vector<TFieldDef> definitions);
    explicit Table(std::shared_ptr<const FieldList> fields);

    const std::vector<TFieldDef>& Fields() const noexcept { return fields_->Defs(); }
    // Changes a definition of this table only (display properties; never the structure).
    void ChangeField(std::size_t field, const std::function<void(TFieldDef&)>& change);
    // A new empty table for the nested field `field`.
    std::shared_ptr<Table> NewNested(std::size_t field) const;

    std::optional<int> FieldIndex(std::string_view name) const; // ignoring letter case

    // `values` must hold one stored value per field. `before` null appends.
    Record* Insert(std::vector<FieldValue> values, const Record* before);
    void Modify(Record* record, std::vector<FieldValue> values);
    void Remove(Record* record);
    // Adds a record as decoded from a packet: state and original as given, nothing logged.
    Record* Load(std::vector<FieldValue> values, RowState state, std::vector<FieldValue> original);

    int ChangeCount() const; // entries of the log, nested tables included
    void MergeChangeLog();
    void CancelUpdates();
    bool UndoLastChange();
    void Clear(); // rows and log

    // A nested table for field `field` of `record`, created empty when the row has none.
    std::shared_ptr<Table> NestedOf(Record* record, int field);
    // A copy of the rows with states, logs and nested tables (not shared with this one).
    std::shared_ptr<Table> DeepCopy() const;

private:
    std::shared_ptr<const FieldList> fields_;
    struct LogEntry {
        enum class Kind { Insert, Modify, Delete } kind;
        Record* record;
        std::vector<FieldValue> previous; // Modify: values before this change
        RowState previousState;
    };
    std::vector<LogEntry> log_;
    std::uint64_t nextId_ = 1;

    void UndoEntry(const LogEntry& entry, bool notify);
    std::size_t IndexOf(const Record* record) const;
    std::int64_t SeqBefore(std::size_t position);
    void Erase(const Record* record);
    template <typename F> void Notify(F&& call) {
        for (auto* listener : std::vector<TableListener*>(listeners))
            call(listener);
    }
};

} // namespace kav::detail
