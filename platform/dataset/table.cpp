#include "platform/dataset/table.h"

#include "platform/core/textcodec.h"

#include <algorithm>
#include <cassert>
#include <unordered_map>

namespace kav::detail {
namespace {
constexpr std::int64_t kSeqGap = std::int64_t{1} << 20;
}

FieldList::FieldList(std::vector<TFieldDef> definitions) : defs_(std::move(definitions)) {
    nested_.resize(defs_.size());
    for (std::size_t i = 0; i < defs_.size(); ++i)
        if (defs_[i].type == TFieldType::ftDataSet)
            nested_[i] = std::make_shared<const FieldList>(defs_[i].nestedFields);
}

std::shared_ptr<const FieldList> FieldList::With(std::size_t field,
                                                 const std::function<void(TFieldDef&)>& change) const {
    auto changed = std::shared_ptr<FieldList>(new FieldList());
    changed->defs_ = defs_;
    changed->nested_ = nested_;
    change(changed->defs_[field]);
    return changed;
}

Table::Table(std::vector<TFieldDef> definitions)
    : fields_(std::make_shared<const FieldList>(std::move(definitions))) {}

Table::Table(std::shared_ptr<const FieldList> fields) : fields_(std::move(fields)) {}

void Table::ChangeField(std::size_t field, const std::function<void(TFieldDef&)>& change) {
    fields_ = fields_->With(field, change);
}

std::shared_ptr<Table> Table::NewNested(std::size_t field) const {
    return std::make_shared<Table>(fields_->NestedOf(field));
}

std::optional<int> Table::FieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < Fields().size(); ++i)
        if (EqualsIgnoringCase(Fields()[i].name, name)) return static_cast<int>(i);
    return std::nullopt;
}

std::size_t Table::IndexOf(const Record* record) const {
    auto it = std::lower_bound(rows.begin(), rows.end(), record->seq,
                               [](const auto& r, std::int64_t seq) { return r->seq < seq; });
    assert(it != rows.end() && it->get() == record);
    return static_cast<std::size_t>(it - rows.begin());
}

// A seq between rows[position - 1] and rows[position], renumbering all rows when no gap is left.
std::int64_t Table::SeqBefore(std::size_t position) {
    std::int64_t low = position == 0 ? rows[0]->seq - 2 * kSeqGap : rows[position - 1]->seq;
    std::int64_t high = rows[position]->seq;
    if (high - low < 2) {
        for (std::size_t i = 0; i < rows.size(); ++i)
            rows[i]->seq = static_cast<std::int64_t>(i + 1) * kSeqGap;
        low = position == 0 ? 0 : rows[position - 1]->seq;
        high = rows[position]->seq;
    }
    return low + (high - low) / 2;
}

Record* Table::Insert(std::vector<FieldValue> values, const Record* before) {
    assert(values.size() == Fields().size());
    auto record = std::make_unique<Record>();
    record->values = std::move(values);
    record->id = nextId_++;
    record->state = logChanges ? RowState::Inserted : RowState::Unmodified;
    std::size_t position = rows.size();
    if (before) {
        position = IndexOf(before);
        record->seq = SeqBefore(position);
    } else {
        record->seq = rows.empty() ? kSeqGap : rows.back()->seq + kSeqGap;
    }
    Record* raw = record.get();
    rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(position), std::move(record));
    if (logChanges) log_.push_back({LogEntry::Kind::Insert, raw, {}, RowState::Unmodified});
    ++version;
    Notify([raw](TableListener* l) { l->RecordInserted(raw); });
    return raw;
}

Record* Table::Load(std::vector<FieldValue> values, RowState state, std::vector<FieldValue> original) {
    auto record = std::make_unique<Record>();
    record->values = std::move(values);
    record->original = std::move(original);
    record->id = nextId_++;
    record->deleted = state == RowState::Deleted;
    record->state = state == RowState::Deleted ? RowState::Unmodified : state;
    record->seq = rows.empty() ? kSeqGap : rows.back()->seq + kSeqGap;
    Record* raw = record.get();
    rows.push_back(std::move(record));
    // A packet's row states are its change log: log them so that they count, undo and merge.
    switch (state) {
    case RowState::Unmodified:
        break;
    case RowState::Inserted:
        log_.push_back({LogEntry::Kind::Insert, raw, {}, RowState::Unmodified});
        break;
    case RowState::Modified:
        log_.push_back({LogEntry::Kind::Modify, raw, raw->original, RowState::Unmodified});
        break;
    case RowState::Deleted:
        log_.push_back({LogEntry::Kind::Delete,
                        raw,
                        {},
                        raw->original.empty() ? RowState::Unmodified : RowState::Modified});
        raw->state = raw->original.empty() ? RowState::Unmodified : RowState::Modified;
        break;
    }
    return raw;
}

void Table::Modify(Record* record, std::vector<FieldValue> values) {
    Notify([record](TableListener* l) { l->RecordAboutToChange(record); });
    if (logChanges) {
        log_.push_back({LogEntry::Kind::Modify, record, record->values, record->state});
        if (record->state == RowState::Unmodified) {
            record->original = record->values;
            record->state = RowState::Modified;
        }
    }
    record->values = std::move(values);
    record->calcValid = false;
    ++version;
    Notify([record](TableListener* l) { l->RecordChanged(record); });
}

void Table::Erase(const Record* record) {
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(IndexOf(record)));
}

void Table::Remove(Record* record) {
    Notify([record](TableListener* l) { l->RecordAboutToVanish(record); });
    ++version;
    if (logChanges) {
        log_.push_back({LogEntry::Kind::Delete, record, {}, record->state});
        record->deleted = true;
    } else {
        // Changes logged before logging was switched off must not point at the freed row.
        std::erase_if(log_, [record](const LogEntry& e) { return e.record == record; });
        Erase(record);
    }
}

int Table::ChangeCount() const {
    auto count = static_cast<int>(log_.size());
    for (std::size_t f = 0; f < Fields().size(); ++f) {
        if (Fields()[f].type != TFieldType::ftDataSet) continue;
        for (const auto& row : rows)
            if (!row->values[f].IsNull()) count += row->values[f].Nested()->ChangeCount();
    }
    return count;
}

void Table::MergeChangeLog() {
    Notify([](TableListener* l) { l->TableAboutToReset(); });
    std::erase_if(rows, [](const auto& r) { return r->deleted; });
    for (auto& row : rows) {
        row->state = RowState::Unmodified;
        row->original.clear();
        row->original.shrink_to_fit();
    }
    log_.clear();
    for (std::size_t f = 0; f < Fields().size(); ++f) {
        if (Fields()[f].type != TFieldType::ftDataSet) continue;
        for (auto& row : rows)
            if (!row->values[f].IsNull()) row->values[f].Nested()->MergeChangeLog();
    }
    ++version;
    Notify([](TableListener* l) { l->TableReset(); });
}

void Table::UndoEntry(const LogEntry& entry, bool notify) {
    Record* record = entry.record;
    switch (entry.kind) {
    case LogEntry::Kind::Insert:
        if (notify && !record->deleted)
            Notify([record](TableListener* l) { l->RecordAboutToVanish(record); });
        Erase(record);
        break;
    case LogEntry::Kind::Modify:
        if (notify) Notify([record](TableListener* l) { l->RecordAboutToChange(record); });
        record->values = entry.previous;
        record->state = entry.previousState;
        if (record->state != RowState::Modified) record->original.clear();
        record->calcValid = false;
        if (notify) Notify([record](TableListener* l) { l->RecordChanged(record); });
        break;
    case LogEntry::Kind::Delete:
        record->deleted = false;
        record->state = entry.previousState;
        if (notify) Notify([record](TableListener* l) { l->RecordInserted(record); });
        break;
    }
    ++version;
}

bool Table::UndoLastChange() {
    if (log_.empty()) return false;
    auto entry = std::move(log_.back());
    log_.pop_back();
    UndoEntry(entry, true);
    return true;
}

void Table::CancelUpdates() {
    Notify([](TableListener* l) { l->TableAboutToReset(); });
    while (!log_.empty()) {
        auto entry = std::move(log_.back());
        log_.pop_back();
        UndoEntry(entry, false);
    }
    for (std::size_t f = 0; f < Fields().size(); ++f) {
        if (Fields()[f].type != TFieldType::ftDataSet) continue;
        for (auto& row : rows)
            if (!row->values[f].IsNull()) row->values[f].Nested()->CancelUpdates();
    }
    ++version;
    Notify([](TableListener* l) { l->TableReset(); });
}

void Table::Clear() {
    Notify([](TableListener* l) { l->TableAboutToReset(); });
    rows.clear();
    log_.clear();
    ++version;
    Notify([](TableListener* l) { l->TableReset(); });
}

std::shared_ptr<Table> Table::NestedOf(Record* record, int field) {
    auto& cell = record->values[static_cast<std::size_t>(field)];
    if (cell.IsNull()) cell = FieldValue(NewNested(static_cast<std::size_t>(field)));
    return cell.Nested();
}

std::shared_ptr<Table> Table::DeepCopy() const {
    auto copy = std::make_shared<Table>(fields_);
    copy->logChanges = logChanges;
    copy->onCalcFields = onCalcFields;
    std::unordered_map<const Record*, Record*> mapping;
    for (const auto& row : rows) {
        auto values = row->values;
        for (auto& value : values)
            if (value.GetKind() == FieldValue::Kind::Nested) value = FieldValue(value.Nested()->DeepCopy());
        auto* target = copy->Load(std::move(values), row->state, row->original);
        target->deleted = row->deleted;
        target->seq = row->seq;
        mapping.emplace(row.get(), target);
    }
    copy->log_.clear();
    for (const auto& entry : log_)
        copy->log_.push_back({entry.kind, mapping.at(entry.record), entry.previous, entry.previousState});
    copy->nextId_ = nextId_;
    return copy;
}

} // namespace kav::detail
