#pragma once
// Applying a client's delta (docs/data-packet.md: its inserted, modified and deleted rows) to one table
// of the server's database: the one way the seat layout window's changes reach KAV_SEAT_SHOW and
// KAV_SECTION_SHOW. Only the table's layout columns are read from the rows; the columns that place a
// row (the node from the session, the product, the section, the map) come from the caller, never from
// the packet, and confine every change and delete, which find their row by its key.
//
// The caller checks the rows against the database before it applies any, and applies them inside its
// own transaction, so that a row the database refuses (EDatabase) undoes them all.

#include "rpc/variant.h"
#include "server/db/database.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kav::server {

struct TDeltaColumn {
    std::string Name;
    bool Integer = false;
    int MaxLength = 0; // text columns: at most this many characters (UTF-8 code points)
};

struct TDeltaTable {
    std::string Table;
    TDeltaColumn Key;
    std::vector<TDeltaColumn> Columns; // what a delta may write
    // Every row's placing columns and their values: they confine changes and deletes, and inserts
    // write them.
    std::vector<std::pair<std::string, SqlValue>> Scope;
};

enum class TDeltaKind { Insert, Change, Delete };

// A changed row: what it becomes, not what it was, so that a delta applied twice (a save retried
// after its answer was lost) leaves the rows as applying it once does.
struct TDeltaRow {
    TDeltaKind Kind = TDeltaKind::Insert;
    SqlValue Key;                 // the key the row had: for an insert the client's provisional one
    std::vector<SqlValue> Values; // the Columns' values after the change (insert, change)
};

// The changed rows of a delta packet, in packet order. Anything but a packet, a packet without the
// key or a column, or a value that does not fit its column raises pelio::EosRemoteException naming
// `argument` and the field. An empty byte array is a delta without rows.
std::vector<TDeltaRow> ReadDelta(const pelio::Variant& delta, const TDeltaTable& table,
                                 const std::string& argument);

class TDeltaApplier final {
public:
    // Both must outlive the applier.
    TDeltaApplier(Connection& connection, const TDeltaTable& table)
        : connection_(connection), table_(table) {}

    // Deletes the rows of these keys within the scope; keys without a row are passed over.
    void Delete(const std::vector<SqlValue>& keys);
    // Writes `values` (the Columns, in order) into the row of `key` within the scope; 0 when there is
    // none.
    std::int64_t Change(const SqlValue& key, const std::vector<SqlValue>& values);
    // Writes the columns named in `columns` of the row of `key` within the scope.
    std::int64_t Update(const SqlValue& key, const std::vector<std::pair<std::string, SqlValue>>& columns);
    // Inserts rows of the scope, each its key, the Columns' values and then `extraValues` for the
    // `extraColumns` (columns the delta never writes, such as a new seat's status).
    void Insert(const std::vector<std::pair<SqlValue, std::vector<SqlValue>>>& rows,
                const std::vector<std::string>& extraColumns = {},
                const std::vector<SqlValue>& extraValues = {});

private:
    // " and SCOPE1 = ?1 and ..." with the scope's values appended to `params`.
    std::string ScopeCondition(std::vector<SqlValue>& params) const;

    Connection& connection_;
    const TDeltaTable& table_;
};

} // namespace kav::server
