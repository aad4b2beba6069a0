// Order and search of a client dataset: indexes, key search, ranges and Locate.
#include "platform/core/textcodec.h"
#include "platform/dataset/clientdataset.h"
#include "platform/dataset/conversions.h"

#include <algorithm>

namespace kav {

using detail::Record;

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

void TClientDataSet::SetIndexName(std::string name) {
    CheckBrowse();
    if (name.empty()) {
        SetIndexFieldNames({});
        return;
    }
    auto def = std::find_if(indexDefs_.begin(), indexDefs_.end(),
                            [&name](const TIndexDef& d) { return EqualsIgnoringCase(d.name, name); });
    if (def == indexDefs_.end()) throw EDatabaseError("Index '" + name + "' not found");
    IndexKey key{FieldList(def->fields), {}, def->options.caseInsensitive};
    auto desc = FieldList(def->descFields);
    for (int field : key.fields)
        key.descending.push_back(def->options.descending ||
                                 std::find(desc.begin(), desc.end(), field) != desc.end());
    EmitReset([&] {
        ApplyIndex(std::move(key));
        indexName_ = def->name;
        indexFieldNames_ = def->fields;
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
    auto it =
        std::lower_bound(view_.begin(), view_.end(), key, [&](Record* r, const std::vector<FieldValue>& k) {
            return CompareKeys(r, k, k.size()) < 0;
        });
    if (it == view_.end() || CompareKeys(*it, key, key.size()) != 0) return false;
    bof_ = eof_ = false;
    SetPos(static_cast<int>(it - view_.begin()));
    return true;
}

void TClientDataSet::FindNearest(const std::vector<FieldValue>& values) {
    CheckBrowse();
    if (key_.fields.empty()) throw EDatabaseError("FindNearest needs an index");
    auto key = StoredKey(values, key_.fields);
    auto it =
        std::lower_bound(view_.begin(), view_.end(), key, [&](Record* r, const std::vector<FieldValue>& k) {
            return CompareKeys(r, k, k.size()) < 0;
        });
    if (view_.empty()) return;
    bof_ = eof_ = false;
    SetPos(std::min(static_cast<int>(it - view_.begin()), static_cast<int>(view_.size()) - 1));
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

bool TClientDataSet::Locate(std::string_view fieldNames, const std::vector<FieldValue>& values,
                            TLocateOptions options) {
    CheckBrowse();
    auto fields = FieldList(fieldNames);
    if (fields.empty() || fields.size() != values.size())
        throw EDatabaseError("Locate got " + std::to_string(values.size()) + " values for fields '" +
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
        auto it = std::lower_bound(view_.begin(), view_.end(), key,
                                   [&](Record* r, const std::vector<FieldValue>& k) {
                                       return CompareKeys(r, k, k.size(), options.partialKey) < 0;
                                   });
        if (it != view_.end() && CompareKeys(*it, key, key.size(), options.partialKey) == 0) found = it;
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
    if (found == view_.end()) return false;
    bof_ = eof_ = false;
    SetPos(static_cast<int>(found - view_.begin()));
    return true;
}

} // namespace kav
