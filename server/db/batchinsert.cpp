#include "server/db/batchinsert.h"

#include <algorithm>
#include <stdexcept>

namespace kav::server {

namespace {
// SQLite resolves each numbered parameter by walking the ones before it, so a statement's parse
// time grows with the square of its parameters: batches of about a hundred parameters were the
// fastest measured (larger ones spent half the seed in that walk).
constexpr std::size_t kMaxParameters = 120;
constexpr std::size_t kMaxRows = 64;
} // namespace

BatchInsert::BatchInsert(Connection& connection, std::string_view table, std::vector<std::string> columns)
    : connection_(connection), table_(table), columns_(std::move(columns)),
      batchRows_(
          std::clamp<std::size_t>(kMaxParameters / std::max<std::size_t>(columns_.size(), 1), 1, kMaxRows)) {
    if (columns_.empty()) throw std::logic_error("BatchInsert needs columns for " + table_);
    fullBatchSql_ = StatementFor(batchRows_);
    pending_.reserve(batchRows_ * columns_.size());
}

std::string BatchInsert::StatementFor(std::size_t rows) const {
    std::string sql = "insert into " + table_ + " (";
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (c > 0) sql += ", ";
        sql += columns_[c];
    }
    sql += ") values ";
    std::size_t parameter = 1;
    for (std::size_t r = 0; r < rows; ++r) {
        sql += r > 0 ? ", (" : "(";
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            if (c > 0) sql += ", ";
            sql += '?' + std::to_string(parameter++);
        }
        sql += ')';
    }
    return sql;
}

void BatchInsert::Add(std::vector<SqlValue> row) {
    if (row.size() != columns_.size())
        throw std::logic_error("BatchInsert for " + table_ + " got " + std::to_string(row.size()) +
                               " values for " + std::to_string(columns_.size()) + " columns");
    for (auto& value : row)
        pending_.push_back(std::move(value));
    if (pending_.size() == batchRows_ * columns_.size()) {
        connection_.Execute(fullBatchSql_, pending_);
        written_ += static_cast<std::int64_t>(batchRows_);
        pending_.clear();
    }
}

void BatchInsert::Finish() {
    if (pending_.empty()) return;
    const std::size_t rows = pending_.size() / columns_.size();
    connection_.Execute(StatementFor(rows), pending_);
    written_ += static_cast<std::int64_t>(rows);
    pending_.clear();
}

} // namespace kav::server
