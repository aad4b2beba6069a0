#include "platform/dataset/clientdataset.h"

#include "platform/core/prefetch.h"
#include "platform/core/textcodec.h"
#include "platform/dataset/aggregate.h"
#include "platform/dataset/conversions.h"
#include "platform/dataset/filterexpr.h"

#include <algorithm>
#include <unordered_set>

namespace kav {

using detail::Record;
using detail::Table;

namespace {

TUpdateStatus StatusOf(const Record& record) {
    if (record.deleted) return TUpdateStatus::usDeleted;
    switch (record.state) {
    case detail::RowState::Inserted:
        return TUpdateStatus::usInserted;
    case detail::RowState::Modified:
        return TUpdateStatus::usModified;
    default:
        return TUpdateStatus::usUnmodified;
    }
}

unsigned Bit(TUpdateStatus status) {
    return 1u << static_cast<unsigned>(status);
}

void ValidateDefs(const std::vector<TFieldDef>& defs, int depth) {
    if (depth > 8) throw EDatabaseError("Nested tables are nested too deeply");
    if (defs.empty()) throw EDatabaseError("A dataset needs at least one field");
    std::unordered_set<std::string> names;
    for (const auto& def : defs) {
        if (!IsUsableFieldName(def.name))
            throw EDatabaseError("'" + def.name + "' is not a usable field name");
        if (!names.insert(AsciiUpper(def.name)).second)
            throw EDatabaseError("Field '" + def.name + "' is defined twice");
        if (def.type == TFieldType::ftDataSet) ValidateDefs(def.nestedFields, depth + 1);
    }
}

} // namespace

TClientDataSet::TClientDataSet() = default;

TClientDataSet::~TClientDataSet() {
    if (master_) std::erase(master_->details_, this);
    for (auto* detail : std::vector<TClientDataSet*>(details_))
        detail->MasterGone();
    if (table_) std::erase(table_->listeners, static_cast<detail::TableListener*>(this));
}

// ---------------------------------------------------------------- structure

TFieldDef& TClientDataSet::AddFieldDef(std::string name, TFieldType type, int size, bool required) {
    if (Active()) throw EDatabaseError("Cannot change the fields of an open dataset");
    auto& def = fieldDefs_.emplace_back();
    def.name = std::move(name);
    def.type = type;
    def.size = size;
    def.required = required;
    return def;
}

void TClientDataSet::CreateDataSet() {
    ValidateDefs(fieldDefs_, 0);
    Attach(std::make_shared<Table>(fieldDefs_));
}

void TClientDataSet::Close() {
    if (!Active()) return;
    EmitReset([this] { Detach(); });
    SetState(TDataSetState::dsInactive);
    for (auto* detail : std::vector<TClientDataSet*>(details_))
        detail->MasterChanged();
}

void TClientDataSet::Attach(std::shared_ptr<Table> table) {
    if (onCalcFields_)
        table->onCalcFields = onCalcFields_;
    else if (table->onCalcFields)
        onCalcFields_ = table->onCalcFields;
    EmitReset([&] {
        Detach();
        table_ = std::move(table);
        table_->listeners.push_back(this);
        fieldDefs_ = table_->Fields();
        BuildFields();
        state_ = TDataSetState::dsBrowse;
        // Index and filter name fields; keep them only when the fields still exist.
        try {
            ApplyIndex(indexName_.empty() ? IndexKey{FieldList(indexFieldNames_), {}, false}
                                          : IndexKeyOf(IndexDefByName(indexName_)));
        } catch (const EDatabaseError&) {
            indexName_.clear();
            indexFieldNames_.clear();
            ApplyIndex({});
        }
        try {
            filter_ = ParseFilter(filterText_);
        } catch (const EDatabaseError&) {
            filterText_.clear();
            filter_.reset();
        }
        rangeStart_.reset();
        rangeEnd_.reset();
        if (master_) {
            try {
                detailFields_ = FieldList(detailFieldNames_);
            } catch (const EDatabaseError&) {
                std::erase(master_->details_, this);
                master_ = nullptr;
                detailFields_.clear();
            }
        }
        masterHasRow_ = false;
        masterValues_.clear();
        RebuildView();
        pos_ = view_.empty() ? -1 : 0;
        bof_ = true;
        eof_ = view_.empty();
    });
    for (auto& aggregate : aggregates_)
        aggregate->TryBind();
    SetState(TDataSetState::dsBrowse);
    if (master_)
        MasterChanged();
    else
        NotifyDependents();
}

void TClientDataSet::Detach() {
    if (table_) std::erase(table_->listeners, static_cast<detail::TableListener*>(this));
    table_.reset();
    fields_.clear();
    nested_.clear();
    ViewClear();
    buffer_.clear();
    editing_ = insertBefore_ = nullptr;
    pos_ = -1;
    bof_ = eof_ = true;
    state_ = TDataSetState::dsInactive;
    ++viewVersion_;
}

void TClientDataSet::BuildFields() {
    fields_.clear();
    nested_.clear();
    for (std::size_t i = 0; i < table_->Fields().size(); ++i)
        fields_.push_back(std::make_unique<TField>(*this, static_cast<int>(i)));
    nested_.resize(table_->Fields().size());
}

void TClientDataSet::CheckActive() const {
    if (!Active()) throw EDatabaseError("Cannot perform this operation on a closed dataset");
}

void TClientDataSet::CheckBrowse() {
    CheckActive();
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) Post();
}

void TClientDataSet::SetState(TDataSetState state) {
    if (state_ == state && state != TDataSetState::dsInactive) return;
    state_ = state;
    Emit([](TDataSetObserver* o) { o->DataSetStateChanged(); });
}

Record* TClientDataSet::Current() const {
    return pos_ >= 0 && pos_ < static_cast<int>(view_.size()) ? view_[static_cast<std::size_t>(pos_)]
                                                              : nullptr;
}

int TClientDataSet::IndexOfField(std::string_view name) const {
    CheckActive();
    auto index = table_->FieldIndex(name);
    if (!index) throw EDatabaseError("Field '" + std::string(name) + "' not found");
    return *index;
}

std::vector<int> TClientDataSet::FieldList(std::string_view names) const {
    std::vector<int> result;
    for (const auto& name : SplitFieldNames(names))
        result.push_back(IndexOfField(name));
    return result;
}

TField& TClientDataSet::Fields(int index) {
    CheckActive();
    if (index < 0 || index >= FieldCount())
        throw EDatabaseError("Field index " + std::to_string(index) + " out of range");
    return *fields_[static_cast<std::size_t>(index)];
}

TField& TClientDataSet::FieldByName(std::string_view name) {
    return *fields_[static_cast<std::size_t>(IndexOfField(name))];
}

TField* TClientDataSet::FindField(std::string_view name) {
    if (!Active()) return nullptr;
    auto index = table_->FieldIndex(name);
    return index ? fields_[static_cast<std::size_t>(*index)].get() : nullptr;
}

std::vector<FieldValue> TClientDataSet::NullRow() const {
    return std::vector<FieldValue>(table_->Fields().size());
}

// ---------------------------------------------------------------- values

const FieldValue& TClientDataSet::CellOf(Record* record, int field) {
    if (DefOf(field).IsCalculated()) EnsureCalc(record);
    return record->values[static_cast<std::size_t>(field)];
}

const FieldValue& TClientDataSet::ReadCell(int field) {
    static const FieldValue null;
    CheckActive();
    const auto f = static_cast<std::size_t>(field);
    if (state_ == TDataSetState::dsCalcFields) return (*calcTarget_)[f];
    if (peek_) return CellOf(peek_, field);
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) {
        if (DefOf(field).IsCalculated() && !bufferCalcValid_) {
            CalculateInto(buffer_, nullptr);
            bufferCalcValid_ = true;
        }
        return buffer_[f];
    }
    Record* record = Current();
    return record ? CellOf(record, field) : null;
}

void TClientDataSet::WriteCell(int field, FieldValue stored) {
    CheckActive();
    const auto& def = DefOf(field);
    const auto f = static_cast<std::size_t>(field);
    if (state_ == TDataSetState::dsCalcFields) {
        if (!def.IsCalculated())
            throw EDatabaseError("Field '" + def.name + "' cannot be modified while calculating");
        (*calcTarget_)[f] = std::move(stored);
        return;
    }
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert)
        throw EDatabaseError("Dataset not in edit or insert mode (writing field '" + def.name + "')");
    if (def.readOnly || def.IsCalculated())
        throw EDatabaseError("Field '" + def.name + "' cannot be modified");
    buffer_[f] = std::move(stored);
    bufferCalcValid_ = false;
    if (state_ == TDataSetState::dsEdit) Emit([this](TDataSetObserver* o) { o->DataSetRowChanged(pos_); });
}

void TClientDataSet::EnsureCalc(Record* record) {
    if (record->calcValid) return;
    record->calcValid = true; // set first: the callback reads the row's other calculated fields as they are
    try {
        CalculateInto(record->values, record);
    } catch (...) {
        record->calcValid = false;
        throw;
    }
}

void TClientDataSet::CalculateInto(std::vector<FieldValue>& values, Record* peek) {
    if (!table_->onCalcFields) return;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (table_->Fields()[i].IsCalculated()) values[i] = FieldValue();
    auto savedState = state_;
    auto* savedTarget = calcTarget_;
    auto* savedPeek = peek_;
    state_ = TDataSetState::dsCalcFields;
    calcTarget_ = &values;
    peek_ = peek;
    try {
        table_->onCalcFields(*this);
    } catch (...) {
        state_ = savedState;
        calcTarget_ = savedTarget;
        peek_ = savedPeek;
        throw;
    }
    state_ = savedState;
    calcTarget_ = savedTarget;
    peek_ = savedPeek;
}

void TClientDataSet::SetOnCalcFields(std::function<void(TClientDataSet&)> calculate) {
    onCalcFields_ = std::move(calculate);
    if (!table_) return;
    table_->onCalcFields = onCalcFields_;
    for (auto& row : table_->rows)
        row->calcValid = false;
    ++table_->version;
    EmitReset([this] { RebuildView(); });
}

FieldValue TClientDataSet::ValueAt(int row, int field) {
    CheckActive();
    if (row < 0 || row >= RecordCount()) throw EDatabaseError("Row " + std::to_string(row) + " out of range");
    if (row == pos_ && (state_ == TDataSetState::dsEdit))
        return detail::FromStored(ReadCell(field), DefOf(field));
    return detail::FromStored(CellOf(view_[static_cast<std::size_t>(row)], field), DefOf(field));
}

std::string TClientDataSet::TextAt(int row, int field) {
    CheckActive();
    if (row < 0 || row >= RecordCount()) throw EDatabaseError("Row " + std::to_string(row) + " out of range");
    if (row == pos_ && (state_ == TDataSetState::dsEdit))
        return detail::StoredAsString(ReadCell(field), DefOf(field));
    return detail::StoredAsString(CellOf(view_[static_cast<std::size_t>(row)], field), DefOf(field));
}

// ---------------------------------------------------------------- navigation

int TClientDataSet::RecordCount() const {
    return table_ ? static_cast<int>(view_.size()) : 0;
}

int TClientDataSet::RecNo() const {
    return pos_ + 1;
}

void TClientDataSet::SetRecNo(int recNo) {
    CheckBrowse();
    if (recNo < 1 || recNo > RecordCount())
        throw EDatabaseError("Record number " + std::to_string(recNo) + " out of range");
    bof_ = eof_ = false;
    SetPos(recNo - 1);
}

void TClientDataSet::SetPos(int pos) {
    bool moved = pos != pos_;
    pos_ = pos;
    if (moved) AfterScroll();
}

void TClientDataSet::AfterScroll() {
    Emit([this](TDataSetObserver* o) { o->DataSetCurrentChanged(pos_); });
    NotifyDependents();
}

void TClientDataSet::NotifyDependents() {
    for (auto* detail : std::vector<TClientDataSet*>(details_))
        detail->MasterChanged();
    RefreshNested();
}

void TClientDataSet::First() {
    CheckBrowse();
    SetPos(view_.empty() ? -1 : 0);
    bof_ = true;
    eof_ = view_.empty();
}

void TClientDataSet::Last() {
    CheckBrowse();
    SetPos(static_cast<int>(view_.size()) - 1);
    eof_ = true;
    bof_ = view_.empty();
}

void TClientDataSet::Next() {
    CheckBrowse();
    if (pos_ + 1 < static_cast<int>(view_.size())) {
        PrefetchAhead(static_cast<std::size_t>(pos_) + 1);
        SetPos(pos_ + 1);
        bof_ = eof_ = false;
    } else {
        eof_ = true;
        bof_ = view_.empty();
    }
}

// A cursor walking forward reads each row's values once, freshly decoded or long unused and so
// mostly not cached: fetch the values of the row after `row` while `row` is read, and the record
// after that, so that the next step finds both at hand.
void TClientDataSet::PrefetchAhead(std::size_t row) const {
    if (row + 2 < view_.size()) __builtin_prefetch(view_[row + 2]);
    if (row + 1 >= view_.size()) return;
    const auto& values = view_[row + 1]->values;
    PrefetchBytes(values.data(), values.size() * sizeof(FieldValue));
}

void TClientDataSet::Prior() {
    CheckBrowse();
    if (pos_ > 0) {
        SetPos(pos_ - 1);
        bof_ = eof_ = false;
    } else {
        bof_ = true;
        eof_ = view_.empty();
    }
}

int TClientDataSet::MoveBy(int distance) {
    CheckBrowse();
    if (view_.empty()) return 0;
    int target = std::clamp(pos_ + distance, 0, static_cast<int>(view_.size()) - 1);
    int moved = target - pos_;
    SetPos(target);
    bof_ = distance < 0 && moved != distance;
    eof_ = distance > 0 && moved != distance;
    return moved;
}

TBookmark TClientDataSet::GetBookmark() const {
    auto* record = Current();
    return record ? record->id : 0;
}

bool TClientDataSet::BookmarkValid(TBookmark bookmark) const {
    return bookmark != 0 &&
           std::any_of(view_.begin(), view_.end(), [bookmark](Record* r) { return r->id == bookmark; });
}

void TClientDataSet::GotoBookmark(TBookmark bookmark) {
    CheckBrowse();
    auto it = std::find_if(view_.begin(), view_.end(), [bookmark](Record* r) { return r->id == bookmark; });
    if (it == view_.end())
        throw EDatabaseError("Record not found (bookmark " + std::to_string(bookmark) + ")");
    bof_ = eof_ = false;
    SetPos(static_cast<int>(it - view_.begin()));
}

// ---------------------------------------------------------------- editing

// A new row of a linked detail starts with the master's key, so that it belongs to the master row.
std::vector<FieldValue> TClientDataSet::NewRow() const {
    auto row = NullRow();
    if (masterHasRow_)
        for (std::size_t i = 0; i < detailFields_.size(); ++i)
            row[static_cast<std::size_t>(detailFields_[i])] = masterValues_[i];
    return row;
}

void TClientDataSet::Append() {
    CheckBrowse();
    buffer_ = NewRow();
    bufferCalcValid_ = false;
    insertBefore_ = nullptr;
    SetState(TDataSetState::dsInsert);
    RefreshNested();
}

void TClientDataSet::Insert() {
    CheckBrowse();
    buffer_ = NewRow();
    bufferCalcValid_ = false;
    insertBefore_ = Current();
    SetState(TDataSetState::dsInsert);
    RefreshNested();
}

void TClientDataSet::Edit() {
    CheckActive();
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) return;
    Record* record = Current();
    if (!record) {
        Append();
        return;
    }
    if (record->deleted) throw EDatabaseError("A deleted row cannot be edited");
    buffer_ = record->values;
    bufferCalcValid_ = record->calcValid;
    editing_ = record;
    SetState(TDataSetState::dsEdit);
}

void TClientDataSet::Post() {
    CheckActive();
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return;
    for (std::size_t i = 0; i < buffer_.size(); ++i) {
        const auto& def = table_->Fields()[i];
        if (def.required && !def.IsCalculated() && buffer_[i].IsNull())
            throw EDatabaseError("Field '" + def.name + "' must have a value");
    }
    auto values = std::move(buffer_);
    buffer_.clear();
    if (state_ == TDataSetState::dsEdit) {
        Record* record = editing_;
        editing_ = nullptr;
        state_ = TDataSetState::dsBrowse;
        table_->Modify(record, std::move(values));
    } else {
        auto* before = insertBefore_;
        insertBefore_ = nullptr;
        state_ = TDataSetState::dsBrowse;
        adoptInserted_ = true;
        try {
            table_->Insert(std::move(values), before);
        } catch (...) {
            adoptInserted_ = false;
            throw;
        }
        adoptInserted_ = false;
    }
    eof_ = bof_ = false;
    Emit([](TDataSetObserver* o) { o->DataSetStateChanged(); });
    NotifyDependents();
}

void TClientDataSet::Cancel() {
    CheckActive();
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return;
    bool wasEdit = state_ == TDataSetState::dsEdit;
    buffer_.clear();
    editing_ = insertBefore_ = nullptr;
    SetState(TDataSetState::dsBrowse);
    if (wasEdit) Emit([this](TDataSetObserver* o) { o->DataSetRowChanged(pos_); });
    NotifyDependents();
}

void TClientDataSet::Delete() {
    CheckActive();
    if (state_ == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (state_ == TDataSetState::dsEdit) Cancel();
    Record* record = Current();
    if (!record) throw EDatabaseError("Cannot perform this operation on an empty dataset");
    if (record->deleted) throw EDatabaseError("The row is already deleted");
    table_->Remove(record);
}

void TClientDataSet::AppendRecord(const std::vector<FieldValue>& values) {
    CheckActive();
    if (values.size() > fields_.size())
        throw EDatabaseError("AppendRecord got " + std::to_string(values.size()) + " values for " +
                             std::to_string(fields_.size()) + " fields");
    Append();
    try {
        for (std::size_t i = 0; i < values.size(); ++i)
            if (!DefOf(static_cast<int>(i)).IsCalculated()) fields_[i]->SetValue(values[i]);
        Post();
    } catch (...) {
        Cancel();
        throw;
    }
}

void TClientDataSet::EmptyDataSet() {
    CheckActive();
    Cancel();
    table_->Clear();
}

// ---------------------------------------------------------------- change log

int TClientDataSet::ChangeCount() const {
    return table_ ? table_->ChangeCount() : 0;
}

void TClientDataSet::MergeChangeLog() {
    CheckBrowse();
    table_->MergeChangeLog();
}

void TClientDataSet::CancelUpdates() {
    CheckActive();
    Cancel();
    table_->CancelUpdates();
}

bool TClientDataSet::UndoLastChange() {
    CheckActive();
    Cancel();
    return table_->UndoLastChange();
}

TUpdateStatus TClientDataSet::UpdateStatus() const {
    if (state_ == TDataSetState::dsInsert) return TUpdateStatus::usInserted;
    auto* record = peek_ ? peek_ : Current();
    if (!record) return TUpdateStatus::usUnmodified;
    if (record->deleted) return TUpdateStatus::usDeleted;
    switch (record->state) {
    case detail::RowState::Inserted:
        return TUpdateStatus::usInserted;
    case detail::RowState::Modified:
        return TUpdateStatus::usModified;
    default:
        return TUpdateStatus::usUnmodified;
    }
}

bool TClientDataSet::LogChanges() const {
    return table_ ? table_->logChanges : true;
}

void TClientDataSet::SetLogChanges(bool logChanges) {
    CheckActive();
    table_->logChanges = logChanges;
}

// ---------------------------------------------------------------- links

void TClientDataSet::SetMasterSource(TClientDataSet* master, std::string masterFields,
                                     std::string detailFields) {
    CheckActive();
    if (master_) std::erase(master_->details_, this);
    master_ = nullptr;
    masterFields_.clear();
    detailFields_.clear();
    if (master) {
        if (master == this) throw EDatabaseError("A dataset cannot be its own master");
        auto masterList = master->FieldList(masterFields);
        auto detailList = FieldList(detailFields.empty() ? masterFields : detailFields);
        if (masterList.empty() || masterList.size() != detailList.size())
            throw EDatabaseError("Master fields '" + masterFields + "' do not match detail fields '" +
                                 detailFields + "'");
        master_ = master;
        detailFieldNames_ = detailFields.empty() ? masterFields : detailFields;
        masterFields_ = std::move(masterList);
        detailFields_ = std::move(detailList);
        master->details_.push_back(this);
    }
    MasterChanged();
}

void TClientDataSet::MasterGone() {
    master_ = nullptr;
    masterFields_.clear();
    detailFields_.clear();
    detailFieldNames_.clear();
    MasterChanged();
}

void TClientDataSet::MasterChanged() {
    if (!Active()) return;
    masterHasRow_ = false;
    masterValues_.clear();
    if (master_ && master_->Active() && (master_->Current() || master_->state_ == TDataSetState::dsInsert)) {
        masterHasRow_ = true;
        try {
            for (std::size_t i = 0; i < masterFields_.size(); ++i) {
                const auto& value = master_->ReadCell(masterFields_[i]);
                auto visible = detail::FromStored(value, master_->DefOf(masterFields_[i]));
                masterValues_.push_back(detail::ToStored(visible, DefOf(detailFields_[i])));
            }
        } catch (const EDatabaseError&) {
            masterHasRow_ = false; // a master key no detail key can hold matches no detail row
        }
    }
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) Cancel();
    EmitReset([this] {
        RebuildView();
        pos_ = view_.empty() ? -1 : 0;
        bof_ = true;
        eof_ = view_.empty();
    });
    NotifyDependents();
}

TClientDataSet& TClientDataSet::NestedCursor(int field) {
    CheckActive();
    const auto& def = DefOf(field);
    if (def.type != TFieldType::ftDataSet)
        throw EDatabaseError("Field '" + def.name + "' is not a nested table");
    auto& slot = nested_[static_cast<std::size_t>(field)];
    if (!slot) {
        slot = std::make_unique<TClientDataSet>();
        RefreshNested();
    }
    return *slot;
}

void TClientDataSet::RefreshNested() {
    for (std::size_t f = 0; f < nested_.size(); ++f) {
        if (!nested_[f]) continue;
        std::shared_ptr<Table> table;
        if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) {
            auto& cell = buffer_[f];
            if (cell.IsNull()) cell = FieldValue(table_->NewNested(f));
            table = cell.Nested();
        } else if (Record* record = Current()) {
            table = table_->NestedOf(record, static_cast<int>(f));
        } else {
            table = table_->NewNested(f);
        }
        nested_[f]->BindNested(std::move(table));
    }
}

void TClientDataSet::BindNested(std::shared_ptr<Table> table) {
    if (table_ == table) return;
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) Cancel();
    if (!table_) {
        Attach(std::move(table));
        return;
    }
    EmitReset([&] {
        // The old table may die with the swap: no pointer into it may survive.
        ViewClear();
        pos_ = -1;
        std::erase(table_->listeners, static_cast<detail::TableListener*>(this));
        table_ = std::move(table);
        table_->listeners.push_back(this);
        RebuildView();
        pos_ = view_.empty() ? -1 : 0;
        bof_ = true;
        eof_ = view_.empty();
    });
    NotifyDependents();
}

void TClientDataSet::CloneCursor(TClientDataSet& source) {
    source.CheckActive();
    if (&source == this) return;
    Attach(source.table_);
}

// ---------------------------------------------------------------- notifications

void TClientDataSet::AddObserver(TDataSetObserver* observer) {
    observers_.push_back(observer);
}

void TClientDataSet::RemoveObserver(TDataSetObserver* observer) {
    std::erase(observers_, observer);
}

void TClientDataSet::DisableControls() {
    ++disableCount_;
}

void TClientDataSet::EnableControls() {
    if (disableCount_ == 0) return;
    if (--disableCount_ == 0 && missedNotifications_) {
        missedNotifications_ = false;
        EmitReset([] {});
    }
}

template <typename F> void TClientDataSet::Emit(F&& call) {
    if (disableCount_ > 0) {
        missedNotifications_ = true;
        return;
    }
    for (auto* observer : std::vector<TDataSetObserver*>(observers_))
        call(observer);
}

void TClientDataSet::EmitReset(const std::function<void()>& change) {
    Emit([](TDataSetObserver* o) { o->DataSetBeginReset(); });
    change();
    ++viewVersion_;
    Emit([](TDataSetObserver* o) { o->DataSetEndReset(); });
    Emit([this](TDataSetObserver* o) { o->DataSetCurrentChanged(pos_); });
}

// ---------------------------------------------------------------- view maintenance

void TClientDataSet::SetStatusFilter(std::initializer_list<TUpdateStatus> statuses) {
    unsigned bits = 0;
    for (auto status : statuses)
        bits |= Bit(status);
    if (Active()) CheckBrowse();
    statusFilter_ = bits;
    if (Active()) {
        EmitReset([this] { RebuildView(); });
        NotifyDependents();
    }
}

bool TClientDataSet::Accepts(Record* record) {
    if (statusFilter_ == 0 ? record->deleted : !(statusFilter_ & Bit(StatusOf(*record)))) return false;
    if (record->deleted && record->state == detail::RowState::Inserted) return false; // never existed
    if (master_ || !detailFields_.empty()) {
        if (!masterHasRow_) return false;
        for (std::size_t i = 0; i < detailFields_.size(); ++i) {
            const auto& value = CellOf(record, detailFields_[i]);
            if (value.IsNull() || masterValues_[i].IsNull() || !(value == masterValues_[i])) return false;
        }
    }
    if ((rangeStart_ || rangeEnd_) && !InRange(record)) return false;
    if (filtered_) {
        if (filter_ && !MatchesFilter(record)) return false;
        if (onFilterRecord_) {
            auto* saved = peek_;
            peek_ = record;
            bool accepted = false;
            try {
                accepted = onFilterRecord_(*this);
            } catch (...) {
                peek_ = saved;
                throw;
            }
            peek_ = saved;
            if (!accepted) return false;
        }
    }
    return true;
}

bool TClientDataSet::ShowsEveryRow() const {
    return statusFilter_ == 0 && !master_ && detailFields_.empty() && !rangeStart_ && !rangeEnd_ &&
           !filtered_ && key_.fields.empty();
}

void TClientDataSet::RebuildView() {
    Record* current = Current();
    const auto currentId = current ? current->id : resetCurrentId_;
    ViewClear();
    if (!table_) return;
    view_.reserve(table_->rows.size());
    Record* keep = nullptr; // the current row, found while the rows are at hand
    const auto& rows = table_->rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // Rows are scattered on the heap: fetch a row and its values ahead of their turn.
        if (i + 16 < rows.size()) __builtin_prefetch(rows[i + 16].get());
        if (i + 8 < rows.size()) __builtin_prefetch(rows[i + 8]->values.data());
        Record* row = rows[i].get();
        if (!Accepts(row)) continue;
        if (row->id == currentId) keep = row;
        view_.push_back(row);
    }
    if (!key_.fields.empty()) SortView();
    ++viewVersion_;
    auto it = keep ? std::find(view_.begin(), view_.end(), keep) : view_.end();
    if (it != view_.end())
        pos_ = static_cast<int>(it - view_.begin());
    else
        pos_ = view_.empty() ? -1 : std::min(std::max(pos_, 0), static_cast<int>(view_.size()) - 1);
}

std::size_t TClientDataSet::InsertPosition(Record* record) {
    return static_cast<std::size_t>(std::lower_bound(view_.begin(), view_.end(), record,
                                                     [this](Record* a, Record* b) { return Less(a, b); }) -
                                    view_.begin());
}

int TClientDataSet::FindInView(Record* record) {
    auto position = InsertPosition(record);
    if (position < view_.size() && view_[position] == record) return static_cast<int>(position);
    auto it = std::find(view_.begin(), view_.end(), record);
    return it == view_.end() ? -1 : static_cast<int>(it - view_.begin());
}

void TClientDataSet::RecordInserted(Record* record) {
    bool adopt = adoptInserted_;
    adoptInserted_ = false;
    if (!Accepts(record)) return;
    auto position = static_cast<int>(InsertPosition(record));
    Emit([position](TDataSetObserver* o) { o->DataSetBeginInsertRows(position, position); });
    ViewInsert(static_cast<std::size_t>(position), record);
    ++viewVersion_;
    int previous = pos_;
    if (adopt || pos_ < 0)
        pos_ = position;
    else if (pos_ >= position)
        ++pos_;
    Emit([](TDataSetObserver* o) { o->DataSetEndInsertRows(); });
    if (adopt || previous < 0) AfterScroll();
}

void TClientDataSet::RecordAboutToChange(Record* record) {
    changingPos_ = FindInView(record);
}

void TClientDataSet::RecordChanged(Record* record) {
    int old = changingPos_;
    changingPos_ = -1;
    bool wasCurrent = old >= 0 && old == pos_;
    bool accepted = Accepts(record);
    ++viewVersion_;
    if (old >= 0 && accepted) {
        auto at = static_cast<std::size_t>(old);
        bool inOrder = (at == 0 || Less(view_[at - 1], record)) &&
                       (at + 1 == view_.size() || Less(record, view_[at + 1]));
        if (inOrder) {
            if (!viewPrefix_.empty()) viewPrefix_[at] = FirstKeyPrefix(CellOf(record, key_.fields[0]));
            Emit([old](TDataSetObserver* o) { o->DataSetRowChanged(old); });
            if (wasCurrent) NotifyDependents();
            return;
        }
    }
    if (old >= 0) {
        Emit([old](TDataSetObserver* o) { o->DataSetBeginRemoveRows(old, old); });
        ViewErase(static_cast<std::size_t>(old));
        if (pos_ > old) --pos_;
        Emit([](TDataSetObserver* o) { o->DataSetEndRemoveRows(); });
    }
    if (accepted) {
        auto position = static_cast<int>(InsertPosition(record));
        Emit([position](TDataSetObserver* o) { o->DataSetBeginInsertRows(position, position); });
        ViewInsert(static_cast<std::size_t>(position), record);
        if (wasCurrent)
            pos_ = position;
        else if (pos_ >= position)
            ++pos_;
        Emit([](TDataSetObserver* o) { o->DataSetEndInsertRows(); });
    }
    if (pos_ >= static_cast<int>(view_.size())) pos_ = static_cast<int>(view_.size()) - 1;
    if (wasCurrent) AfterScroll();
}

void TClientDataSet::RecordAboutToVanish(Record* record) {
    int position = FindInView(record);
    if (position < 0) return;
    Emit([position](TDataSetObserver* o) { o->DataSetBeginRemoveRows(position, position); });
    ViewErase(static_cast<std::size_t>(position));
    ++viewVersion_;
    bool currentChanged = pos_ >= position;
    if (pos_ > position) --pos_;
    if (pos_ >= static_cast<int>(view_.size())) pos_ = static_cast<int>(view_.size()) - 1;
    Emit([](TDataSetObserver* o) { o->DataSetEndRemoveRows(); });
    if (currentChanged) AfterScroll();
}

void TClientDataSet::TableAboutToReset() {
    if (!resetPending_) Emit([](TDataSetObserver* o) { o->DataSetBeginReset(); });
    resetPending_ = true;
    if (auto* current = Current()) resetCurrentId_ = current->id;
    ViewClear();
    insertBefore_ = nullptr;
    if (state_ == TDataSetState::dsEdit) {
        editing_ = nullptr;
        buffer_.clear();
        state_ = TDataSetState::dsBrowse;
        Emit([](TDataSetObserver* o) { o->DataSetStateChanged(); });
    }
}

void TClientDataSet::TableReset() {
    if (!resetPending_) Emit([](TDataSetObserver* o) { o->DataSetBeginReset(); });
    resetPending_ = false;
    RebuildView();
    resetCurrentId_ = 0;
    ++viewVersion_;
    Emit([](TDataSetObserver* o) { o->DataSetEndReset(); });
    Emit([this](TDataSetObserver* o) { o->DataSetCurrentChanged(pos_); });
    NotifyDependents();
}

} // namespace kav

namespace kav {

TAggregate& TClientDataSet::AddAggregate(std::string name, std::string expression, int groupingLevel,
                                         std::string indexName) {
    if (FindAggregate(name)) throw EDatabaseError("Aggregate '" + name + "' is defined twice");
    aggregates_.push_back(std::make_unique<TAggregate>(*this, std::move(name), std::move(expression),
                                                       groupingLevel, std::move(indexName)));
    return *aggregates_.back();
}

TAggregate* TClientDataSet::FindAggregate(std::string_view name) {
    for (auto& aggregate : aggregates_)
        if (EqualsIgnoringCase(aggregate->Name(), name)) return aggregate.get();
    return nullptr;
}

TAggregate& TClientDataSet::AggregateByName(std::string_view name) {
    if (auto* aggregate = FindAggregate(name)) return *aggregate;
    throw EDatabaseError("Aggregate '" + std::string(name) + "' not found");
}

} // namespace kav
