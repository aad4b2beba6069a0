#pragma once
// Rows of one table written as multi-row inserts with numbered parameters. Every full batch uses
// the same statement text, so a backend that keeps prepared statements by text prepares it once;
// even without that, one statement per batch keeps the per-row cost low.

#include "server/db/database.h"

#include <string>
#include <string_view>
#include <vector>

namespace kav::server {

class BatchInsert final {
public:
    // The connection must outlive the writer. Nothing is written before a batch fills or Finish().
    BatchInsert(Connection& connection, std::string_view table, std::vector<std::string> columns);
    BatchInsert(const BatchInsert&) = delete;
    BatchInsert& operator=(const BatchInsert&) = delete;

    // One row, its values in column order; raises std::logic_error for a wrong value count and
    // EDatabase when the database refuses a batch.
    void Add(std::vector<SqlValue> row);
    // Writes the rows still pending. Rows pending when the writer dies are dropped, which is what
    // an aborted (rolled back) seed wants.
    void Finish();
    std::int64_t RowsWritten() const { return written_; }

private:
    std::string StatementFor(std::size_t rows) const;

    Connection& connection_;
    std::string table_;
    std::vector<std::string> columns_;
    std::size_t batchRows_;
    std::string fullBatchSql_;
    std::vector<SqlValue> pending_;
    std::int64_t written_ = 0;
};

} // namespace kav::server
