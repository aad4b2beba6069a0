// Decodes arbitrary bytes as a data packet. What decodes is walked (every field of every row,
// nested tables included), re-encoded, and must decode again to the same bytes; its change log
// is exercised. Only EDatabaseError may escape the decoder.

#include "platform/dataset/clientdataset.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

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
