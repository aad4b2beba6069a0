#pragma once
// PacketStream: a query's data packet built while its rows are read, without keeping the rows.
// Internal to the server's database layer.
//
// The fields are set before the first row from the columns' declared kinds (a column without one
// is first taken for a large integer) and refined by the values as they come (ColumnTally). Two
// refinements leave the rows written so far valid, and are written into the packet's header at the
// end: a string field's size, and the type of a column that held only nulls. Any other, a value
// wider than its column's field, makes Add return false: the rows so far are dropped, and the
// caller reads the result again from its first row into the same stream, which now gives that
// column the wider field. Every such restart widens a column, so a result is read at most a few
// times, and a result true to its declared types once.
//
// Packet() gives the same bytes as PacketOf over all the rows.
//
// Threading: none; one stream builds one packet.

#include "server/db/resultrows.h"

#include <optional>

namespace kav::server::detail {

class PacketStream final {
public:
    // The rows may take up to `maxBytes` bytes of the packet; BeginRow and Add raise
    // EResultTooLarge as soon as they pass it.
    PacketStream(std::vector<ResultColumn> columns, std::size_t maxBytes);

    // Each row is BeginRow and one Add per column, in column order.
    void BeginRow();
    // False: the rows so far are dropped; read the result again from its first row. Raises
    // EDatabase for a value its field cannot take (a number in a date-time column).
    [[nodiscard]] bool Add(const CellValue& value);

    std::string Packet() const;

private:
    void Start();

    std::vector<ResultColumn> columns_;
    std::vector<std::string> names_;
    std::vector<ColumnTally> tallies_;
    std::vector<ColumnKind> written_; // the kinds of the fields the rows are written with
    std::vector<TFieldDef> fields_;
    std::optional<TDataPacketBuilder> builder_;
    std::size_t maxBytes_;
    PacketSizeGuard size_;
    std::size_t next_ = 0; // the column of the next value
};

} // namespace kav::server::detail
