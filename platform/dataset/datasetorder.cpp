// Order and search of a client dataset: indexes, key search, ranges and Locate.
#include "platform/core/textcodec.h"
#include "platform/dataset/clientdataset.h"
#include "platform/dataset/conversions.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>

namespace kav {

using detail::Record;

namespace {

// Sorting a view compares 64-bit prefixes of the first two key fields first: contiguous and
// cheap, where comparing records chases pointers. A prefix only has to be monotone in the
// field's order; entries whose prefixes tie fall back to the full comparison unless both
// prefixes are exact (they determine the value).
struct SortEntry {
    std::uint64_t word[2];
    std::int64_t seq;
    Record* record;
    bool firstExact; // word[0] determines the first field's value, so word[1] may decide
    bool exact;      // both words determine the whole key
};

std::uint64_t Prefix(const FieldValue& value, bool caseInsensitive, bool& exact) {
    constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
    switch (value.GetKind()) {
    case FieldValue::Kind::Boolean:
        return value.Boolean() ? 2 : 1;
    case FieldValue::Kind::Integer:
        if (value.Integer() == INT64_MIN) exact = false; // its prefix 0 is also null's
        return static_cast<std::uint64_t>(value.Integer()) ^ kSign;
    case FieldValue::Kind::Float: {
        double d = value.Float();
        if (std::isnan(d)) {
            exact = false;
            return ~std::uint64_t{0};
        }
        if (d == 0) d = 0; // -0 equals 0
        auto bits = std::bit_cast<std::uint64_t>(d);
        return (bits & kSign) ? ~bits : bits | kSign;
    }
    case FieldValue::Kind::String: {
        // Seven bytes and the length (up to 8): exact for texts of one to seven bytes.
        const auto& text = value.String();
        const std::size_t n = std::min<std::size_t>(text.size(), 7);
        std::uint64_t word = 0;
        for (std::size_t i = 0; i < n; ++i) {
            auto c = static_cast<unsigned char>(text[i]);
            if (caseInsensitive && c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 32);
            word |= std::uint64_t{c} << (56 - 8 * i);
        }
        if (text.empty() || text.size() > 7) exact = false;
        return word | std::min<std::uint64_t>(text.size(), 8);
    }
    default:
        exact = false;
        return 0;
    }
}

} // namespace

void TClientDataSet::SortView() {
    const std::size_t words = std::min<std::size_t>(key_.fields.size(), 2);
    std::vector<SortEntry> entries(view_.size());
    for (std::size_t i = 0; i < view_.size(); ++i) {
        auto& entry = entries[i];
        entry.record = view_[i];
        entry.seq = view_[i]->seq;
        entry.word[1] = 0;
        entry.firstExact = true;
        auto first = Prefix(CellOf(view_[i], key_.fields[0]), key_.caseInsensitive, entry.firstExact);
        entry.word[0] = key_.descending[0] ? ~first : first;
        entry.exact = entry.firstExact && key_.fields.size() <= 2;
        if (words == 2) {
            auto second = Prefix(CellOf(view_[i], key_.fields[1]), key_.caseInsensitive, entry.exact);
            entry.word[1] = key_.descending[1] ? ~second : second;
        }
    }
    std::sort(entries.begin(), entries.end(), [this](const SortEntry& a, const SortEntry& b) {
        if (a.word[0] != b.word[0]) return a.word[0] < b.word[0];
        if (!a.firstExact || !b.firstExact) return Less(a.record, b.record);
        if (a.word[1] != b.word[1]) return a.word[1] < b.word[1];
        if (a.exact && b.exact) return a.seq < b.seq;
        return Less(a.record, b.record);
    });
    viewPrefix_.resize(view_.size());
    for (std::size_t i = 0; i < view_.size(); ++i) {
        view_[i] = entries[i].record;
        viewPrefix_[i] = entries[i].word[0];
    }
}

std::uint64_t TClientDataSet::FirstKeyPrefix(const FieldValue& stored) const {
    bool exact = true;
    auto word = Prefix(stored, key_.caseInsensitive, exact);
    return key_.descending[0] ? ~word : word;
}

void TClientDataSet::ViewInsert(std::size_t position, Record* record) {
    view_.insert(view_.begin() + static_cast<std::ptrdiff_t>(position), record);
    if (!key_.fields.empty())
        viewPrefix_.insert(viewPrefix_.begin() + static_cast<std::ptrdiff_t>(position),
                           FirstKeyPrefix(CellOf(record, key_.fields[0])));
}

void TClientDataSet::ViewErase(std::size_t position) {
    view_.erase(view_.begin() + static_cast<std::ptrdiff_t>(position));
    if (!viewPrefix_.empty()) viewPrefix_.erase(viewPrefix_.begin() + static_cast<std::ptrdiff_t>(position));
}

void TClientDataSet::ViewClear() {
    view_.clear();
    viewPrefix_.clear();
}

std::pair<std::size_t, std::size_t> TClientDataSet::PrefixRange(const std::vector<FieldValue>& key) const {
    if (key.empty() || viewPrefix_.size() != view_.size()) return {0, view_.size()};
    const auto prefix = FirstKeyPrefix(key[0]);
    auto range = std::equal_range(viewPrefix_.begin(), viewPrefix_.end(), prefix);
    return {static_cast<std::size_t>(range.first - viewPrefix_.begin()),
            static_cast<std::size_t>(range.second - viewPrefix_.begin())};
}

// The first view row whose key is not less than `key` (compared on key.size() fields).
std::size_t TClientDataSet::LowerBound(const std::vector<FieldValue>& key, bool partial) {
    auto [low, high] = partial ? std::pair<std::size_t, std::size_t>{0, view_.size()} : PrefixRange(key);
    auto begin = view_.begin() + static_cast<std::ptrdiff_t>(low);
    auto end = view_.begin() + static_cast<std::ptrdiff_t>(high);
    auto it = std::lower_bound(begin, end, key, [&](Record* r, const std::vector<FieldValue>& k) {
        return CompareKeys(r, k, k.size(), partial) < 0;
    });
    return static_cast<std::size_t>(it - view_.begin());
}

bool TClientDataSet::Less(Record* a, Record* b) {
    for (std::size_t i = 0; i < key_.fields.size(); ++i) {
        int c =
            detail::CompareStored(CellOf(a, key_.fields[i]), CellOf(b, key_.fields[i]), key_.caseInsensitive);
        if (c != 0) return key_.descending[i] ? c > 0 : c < 0;
    }
    return a->seq < b->seq;
}

// Compares the first `count` index fields of `record` with `key` (stored values), in index
// direction. `partial` compares the last text value as a prefix.
int TClientDataSet::CompareKeys(Record* record, const std::vector<FieldValue>& key, std::size_t count,
                                bool partial) {
    for (std::size_t i = 0; i < count; ++i) {
        const auto& cell = CellOf(record, key_.fields[i]);
        int c;
        if (partial && i + 1 == count && cell.GetKind() == FieldValue::Kind::String &&
            key[i].GetKind() == FieldValue::Kind::String && cell.String().size() > key[i].String().size())
            c = detail::CompareStored(
                FieldValue(std::string_view(cell.String()).substr(0, key[i].String().size())), key[i],
                key_.caseInsensitive);
        else
            c = detail::CompareStored(cell, key[i], key_.caseInsensitive);
        if (c != 0) return key_.descending[i] ? -c : c;
    }
    return 0;
}

std::vector<FieldValue> TClientDataSet::StoredKey(const std::vector<FieldValue>& values,
                                                  const std::vector<int>& fields) const {
    if (values.size() > fields.size())
        throw EDatabaseError(std::to_string(values.size()) + " key values for " +
                             std::to_string(fields.size()) + " key fields");
    std::vector<FieldValue> key;
    for (std::size_t i = 0; i < values.size(); ++i)
        key.push_back(detail::ToStored(values[i], DefOf(fields[i])));
    return key;
}

void TClientDataSet::ApplyIndex(IndexKey key) {
    key.descending.resize(key.fields.size(), false);
    key_ = std::move(key);
    rangeStart_.reset();
    rangeEnd_.reset();
}

void TClientDataSet::SetIndexFieldNames(std::string names) {
    if (!Active()) { // applied when the dataset opens
        indexFieldNames_ = std::move(names);
        indexName_.clear();
        return;
    }
    CheckBrowse();
    auto fields = FieldList(names);
    EmitReset([&] {
        ApplyIndex({std::move(fields), {}, false});
        indexFieldNames_ = std::move(names);
        indexName_.clear();
        RebuildView();
    });
}

void TClientDataSet::AddIndex(std::string name, std::string fields, TIndexOptions options,
                              std::string descFields) {
    if (name.empty()) throw EDatabaseError("An index needs a name");
    if (Active()) {
        FieldList(fields);
        FieldList(descFields);
    }
    DeleteIndex(name);
    indexDefs_.push_back({std::move(name), std::move(fields), std::move(descFields), options});
}

void TClientDataSet::DeleteIndex(std::string_view name) {
    std::erase_if(indexDefs_, [name](const TIndexDef& d) { return EqualsIgnoringCase(d.name, name); });
}

const TIndexDef& TClientDataSet::IndexDefByName(std::string_view name) const {
    auto def = std::find_if(indexDefs_.begin(), indexDefs_.end(),
                            [name](const TIndexDef& d) { return EqualsIgnoringCase(d.name, name); });
    if (def == indexDefs_.end()) throw EDatabaseError("Index '" + std::string(name) + "' not found");
    return *def;
}

TClientDataSet::IndexKey TClientDataSet::IndexKeyOf(const TIndexDef& def) const {
    IndexKey key{FieldList(def.fields), {}, def.options.caseInsensitive};
    auto desc = FieldList(def.descFields);
    for (int field : key.fields)
        key.descending.push_back(def.options.descending ||
                                 std::find(desc.begin(), desc.end(), field) != desc.end());
    return key;
}

void TClientDataSet::SetIndexName(std::string name) {
    if (!Active()) { // applied when the dataset opens
        indexName_ = std::move(name);
        return;
    }
    CheckBrowse();
    if (name.empty()) {
        SetIndexFieldNames({});
        return;
    }
    const auto& def = IndexDefByName(name);
    auto key = IndexKeyOf(def);
    EmitReset([&] {
        ApplyIndex(std::move(key));
        indexName_ = def.name;
        indexFieldNames_ = def.fields;
        RebuildView();
    });
}

bool TClientDataSet::InRange(Record* record) {
    if (rangeStart_ && CompareKeys(record, *rangeStart_, rangeStart_->size()) < 0) return false;
    if (rangeEnd_ && CompareKeys(record, *rangeEnd_, rangeEnd_->size()) > 0) return false;
    return true;
}

bool TClientDataSet::FindKey(const std::vector<FieldValue>& values) {
    CheckBrowse();
    if (key_.fields.empty()) throw EDatabaseError("FindKey needs an index");
    auto key = StoredKey(values, key_.fields);
    auto position = LowerBound(key, false);
    if (position == view_.size() || CompareKeys(view_[position], key, key.size()) != 0) return false;
    bof_ = eof_ = false;
    SetPos(static_cast<int>(position));
    return true;
}

void TClientDataSet::FindNearest(const std::vector<FieldValue>& values) {
    CheckBrowse();
    if (key_.fields.empty()) throw EDatabaseError("FindNearest needs an index");
    auto key = StoredKey(values, key_.fields);
    if (view_.empty()) return;
    auto position = LowerBound(key, false);
    bof_ = eof_ = false;
    SetPos(std::min(static_cast<int>(position), static_cast<int>(view_.size()) - 1));
}

void TClientDataSet::SetRange(const std::vector<FieldValue>& start, const std::vector<FieldValue>& end) {
    CheckBrowse();
    if (key_.fields.empty()) throw EDatabaseError("SetRange needs an index");
    auto low = StoredKey(start, key_.fields);
    auto high = StoredKey(end, key_.fields);
    EmitReset([&] {
        rangeStart_ = std::move(low);
        rangeEnd_ = std::move(high);
        RebuildView();
        pos_ = view_.empty() ? -1 : 0;
        bof_ = true;
        eof_ = view_.empty();
    });
    NotifyDependents();
}

void TClientDataSet::CancelRange() {
    CheckBrowse();
    if (!rangeStart_ && !rangeEnd_) return;
    EmitReset([this] {
        rangeStart_.reset();
        rangeEnd_.reset();
        RebuildView();
    });
    NotifyDependents();
}

int TClientDataSet::FindRow(std::string_view fieldNames, const std::vector<FieldValue>& values,
                            TLocateOptions options) {
    auto fields = FieldList(fieldNames);
    if (fields.empty() || fields.size() != values.size())
        throw EDatabaseError("Search got " + std::to_string(values.size()) + " values for fields '" +
                             std::string(fieldNames) + "'");
    auto key = StoredKey(values, fields);
    auto found = view_.end();
    // The current index answers by binary search when it begins with the searched fields and
    // compares the way the options ask.
    bool indexed = fields.size() <= key_.fields.size() &&
                   std::equal(fields.begin(), fields.end(), key_.fields.begin()) &&
                   options.caseInsensitive == key_.caseInsensitive &&
                   (!options.partialKey || fields.size() == 1) &&
                   std::none_of(key.begin(), key.end(), [](const FieldValue& v) { return v.IsNull(); });
    if (indexed) {
        auto position = LowerBound(key, options.partialKey);
        if (position < view_.size() && CompareKeys(view_[position], key, key.size(), options.partialKey) == 0)
            found = view_.begin() + static_cast<std::ptrdiff_t>(position);
    } else {
        auto matches = [&](Record* record) {
            for (std::size_t i = 0; i < fields.size(); ++i) {
                const auto& cell = CellOf(record, fields[i]);
                const auto& wanted = key[i];
                if (options.partialKey && cell.GetKind() == FieldValue::Kind::String &&
                    wanted.GetKind() == FieldValue::Kind::String) {
                    if (cell.String().size() < wanted.String().size()) return false;
                    FieldValue prefix(std::string_view(cell.String()).substr(0, wanted.String().size()));
                    if (detail::CompareStored(prefix, wanted, options.caseInsensitive) != 0) return false;
                } else if (detail::CompareStored(cell, wanted, options.caseInsensitive) != 0) {
                    return false;
                }
            }
            return true;
        };
        found = std::find_if(view_.begin(), view_.end(), matches);
    }
    return found == view_.end() ? -1 : static_cast<int>(found - view_.begin());
}

bool TClientDataSet::Locate(std::string_view fieldNames, const std::vector<FieldValue>& values,
                            TLocateOptions options) {
    CheckBrowse();
    int row = FindRow(fieldNames, values, options);
    if (row < 0) return false;
    bof_ = eof_ = false;
    SetPos(row);
    return true;
}

std::optional<FieldValue> TClientDataSet::Lookup(std::string_view keyFields,
                                                 const std::vector<FieldValue>& values,
                                                 std::string_view resultField) {
    CheckActive();
    const int result = IndexOfField(resultField);
    const int row = FindRow(keyFields, values, {});
    if (row < 0) return std::nullopt;
    return ValueAt(row, result);
}

} // namespace kav
