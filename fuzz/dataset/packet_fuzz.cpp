// Decodes arbitrary bytes as a data packet. What decodes is walked (every field of every row,
// nested tables included, deleted rows too), sorted and searched by key, re-encoded, and must decode again to
// the same bytes; its change log is exercised. Only EDatabaseError may escape the decoder.

#include "platform/dataset/clientdataset.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Walk(kav::TClientDataSet& ds, int depth) {
    for (ds.First(); !ds.Eof(); ds.Next()) {
        for (int i = 0; i < ds.FieldCount(); ++i) {
            auto& field = ds.Fields(i);
            if (field.DataType() == kav::TFieldType::ftDataSet) {
                if (depth < 4) Walk(field.NestedDataSet(), depth + 1);
                continue;
            }
            (void)field.AsString();
            (void)field.OldValue();
        }
    }
}

// Orders the rows by up to two of their fields and finds every row again by its key.
void SortAndFind(kav::TClientDataSet& ds, bool caseInsensitive) {
    std::string names;
    std::vector<int> fields;
    for (int i = 0; i < ds.FieldCount() && fields.size() < 2; ++i) {
        if (ds.Fields(i).DataType() == kav::TFieldType::ftDataSet) continue;
        names += (names.empty() ? "" : ";") + ds.Fields(i).FieldName();
        fields.push_back(i);
    }
    if (fields.empty()) return;
    ds.AddIndex("FUZZ", names, {.descending = fields.size() == 1, .caseInsensitive = caseInsensitive},
                fields.size() == 2 ? ds.Fields(fields[0]).FieldName() : "");
    ds.SetIndexName("FUZZ");
    for (int row = 0; row < ds.RecordCount(); ++row) {
        std::vector<kav::FieldValue> key;
        for (int field : fields)
            key.push_back(ds.ValueAt(row, field));
        if (!ds.FindKey(key)) std::abort(); // every row is found by its own key
    }
    ds.SetIndexFieldNames("");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kav::TClientDataSet ds;
    try {
        ds.SetData(bytes);
    } catch (const kav::EDatabaseError&) {
        return 0;
    }
    Walk(ds, 0);
    SortAndFind(ds, size % 2 == 0);
    ds.SetStatusFilter({kav::TUpdateStatus::usUnmodified, kav::TUpdateStatus::usModified,
                        kav::TUpdateStatus::usInserted, kav::TUpdateStatus::usDeleted});
    Walk(ds, 0);
    ds.SetStatusFilter({});
    const auto once = ds.Data();
    kav::TClientDataSet again;
    again.SetData(once);
    if (again.Data() != once) std::abort(); // encoding must be stable after one pass
    (void)ds.Delta();
    ds.UndoLastChange();
    ds.CancelUpdates();
    ds.MergeChangeLog();
    Walk(ds, 0);
    return 0;
}
