// Views are maintained row by row as cursors change the shared records. Random edits through a
// dataset and a sorted, filtered clone are checked after every step against views computed
// from scratch, with undo of every kind of change.
#include "datasettesting.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace kav {
namespace {

using testing::Column;

struct Row {
    int id;
    std::string code;
    int count;
    bool deleted = false;
};

std::vector<std::string> Ids(std::vector<const Row*> rows) {
    std::vector<std::string> ids;
    for (const auto* row : rows)
        ids.push_back(std::to_string(row->id));
    return ids;
}

TEST(ViewMaintenance, MatchesViewsComputedFromScratch) {
    std::mt19937 random(5);
    TClientDataSet ds;
    ds.AddFieldDef("ID", TFieldType::ftInteger);
    ds.AddFieldDef("CODE", TFieldType::ftString, 4);
    ds.AddFieldDef("N", TFieldType::ftInteger);
    ds.CreateDataSet();
    TClientDataSet clone;
    clone.CloneCursor(ds);
    clone.SetIndexFieldNames("CODE");
    clone.SetFilter("N > 3");
    clone.SetFiltered(true);

    std::vector<Row> rows; // natural order: rows are only appended
    std::vector<std::function<void()>> undo;
    auto randomCode = [&random] { return std::string(1, static_cast<char>('a' + random() % 5)); };
    auto rowOf = [&rows](TClientDataSet& cursor) -> Row& {
        return rows[static_cast<std::size_t>(cursor.FieldByName("ID").AsInteger())];
    };

    for (int step = 0; step < 600; ++step) {
        TClientDataSet& cursor = random() % 3 == 0 ? clone : ds;
        switch (random() % 6) {
        case 0:
        case 1: { // append
            int id = static_cast<int>(rows.size());
            rows.push_back({id, randomCode(), static_cast<int>(random() % 8)});
            cursor.AppendRecord({id, rows.back().code, rows.back().count});
            undo.push_back([&rows] { rows.pop_back(); });
            break;
        }
        case 2: { // edit the current row
            if (cursor.IsEmpty()) break;
            Row& row = rowOf(cursor);
            Row before = row;
            row.code = randomCode();
            row.count = static_cast<int>(random() % 8);
            cursor.Edit();
            cursor.FieldByName("CODE").SetAsString(row.code);
            cursor.FieldByName("N").SetAsInteger(row.count);
            cursor.Post();
            undo.push_back([&row, before] { row = before; });
            break;
        }
        case 3: { // delete the current row
            if (cursor.IsEmpty()) break;
            Row& row = rowOf(cursor);
            cursor.Delete();
            row.deleted = true;
            undo.push_back([&row] { row.deleted = false; });
            break;
        }
        case 4: // undo the last change
            ASSERT_EQ(ds.UndoLastChange(), !undo.empty());
            if (!undo.empty()) {
                undo.back()();
                undo.pop_back();
            }
            break;
        default: // move
            if (!cursor.IsEmpty()) cursor.SetRecNo(1 + static_cast<int>(random() % cursor.RecordCount()));
            break;
        }

        std::vector<const Row*> natural, sorted;
        for (const auto& row : rows) {
            if (row.deleted) continue;
            natural.push_back(&row);
            if (row.count > 3) sorted.push_back(&row);
        }
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const Row* a, const Row* b) { return a->code < b->code; });
        ASSERT_EQ(Column(ds, "ID"), Ids(natural)) << "step " << step;
        ASSERT_EQ(Column(clone, "ID"), Ids(sorted)) << "step " << step;
        ASSERT_EQ(ds.ChangeCount(), static_cast<int>(undo.size()));
        for (auto* c : {&ds, &clone}) {
            ASSERT_TRUE(c->IsEmpty() ? c->RecNo() == 0 : c->RecNo() >= 1 && c->RecNo() <= c->RecordCount());
            if (!c->IsEmpty()) {
                ASSERT_FALSE(rowOf(*c).deleted);
            }
        }
    }
}

} // namespace
} // namespace kav
