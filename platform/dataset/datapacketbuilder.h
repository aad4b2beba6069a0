#pragma once
// TDataPacketBuilder: writes a data packet (docs/data-packet.md) row by row, without building a
// dataset first. For producers of large results, such as the server turning a query's rows into
// a packet; what it writes, TClientDataSet::SetData reads back as unmodified rows.
//
// A row is BeginRow() followed by exactly one Add... call per data field, in field order. A value
// of the wrong kind for its field, a value out of the field's range, or a row left incomplete
// raises EDatabaseError naming the field; a refused value writes nothing, so the row may go on
// with a corrected one. Not thread-safe; one builder per packet.

#include "platform/dataset/fielddef.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kav {

class TDataPacketBuilder final {
public:
    // Raises EDatabaseError for no fields, an empty or duplicate name (ignoring case), or a
    // calculated field; nested tables (ftDataSet) take their fields from nestedFields.
    explicit TDataPacketBuilder(std::vector<TFieldDef> fields);

    const std::vector<TFieldDef>& Fields() const { return fields_; }
    std::uint32_t RowCount() const { return rowCount_; }

    void BeginRow();
    void AddNull();
    void AddInteger(std::int64_t value);    // Smallint, Integer, Largeint (range checked)
    void AddFloat(double value);            // Float, BCD, Currency (scaled, range checked)
    void AddDateTime(double value);         // DateTime, TimeStamp; days since 1899-12-30, finite
    void AddString(std::string_view value); // String, Memo, Blob
    void AddBoolean(bool value);
    // DataSet: the rows written so far by `detail`, whose fields must be this field's
    // nestedFields; without rows the value is null, as the format asks.
    void AddNested(const TDataPacketBuilder& detail);

    // Drops the rows, keeping the fields: a detail builder is reused for each master row.
    void ClearRows();
    // The whole packet. Raises when the last row is incomplete.
    std::string Packet() const;

private:
    std::vector<TFieldDef> fields_;
    std::string rows_; // the rows' bytes, without the row count
    std::uint32_t rowCount_ = 0;
    std::size_t nullMapOffset_ = 0;
    std::size_t nextField_ = 0;

    // The field the next value goes to; raises unless it takes values the way `accepts` says.
    const TFieldDef& Next(bool (*accepts)(TFieldType), const char* what);
    void CheckRowComplete() const;
};

} // namespace kav
