#pragma once
// Running numbers kept in KAV_COUNTER, drawn inside the caller's transaction: the counter's row
// stays locked until that transaction ends (PostgreSQL row lock, SQLite write lock), so two
// transactions never draw the same number, and a rolled-back draw gives its numbers back.

#include "server/db/database.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kav::server {

// Reserves `count` (> 0) consecutive numbers of counter `name` and returns the first. A counter
// drawn for the first time starts after the value of `startSql`, a query of one integer (for
// example the largest number already used by rows written before the counter existed).
// Raises EDatabase when the database refuses.
std::int64_t DrawNumbers(Connection& connection, const std::string& name, std::int64_t count,
                         std::string_view startSql = "select 0");

// Adds the same reservation to `batch`, for statements after it in the batch to use the numbers
// through LastDrawnSql without a round trip of their own. Best placed late in the transaction:
// the counter's row stays locked from the draw until the transaction ends.
void AddDrawNumbers(StatementBatch& batch, const std::string& name, std::int64_t count,
                    std::string_view startSql = "select 0");

// An SQL expression for the last number that the transaction's latest draw of counter `name`
// reserved (the ones before it are this minus 1, 2, ...): the counter row as that draw left it,
// which no other transaction can change while this one holds it. `name` is one of the program's
// own counter names, written into the text.
std::string LastDrawnSql(std::string_view name);

// A new order code of the node: "K", the node code and the node's next order number in eight digits.
std::string NewOrderCode(Connection& connection, const std::string& nodeCode);

// Where the candidates for collection passwords come from: six random digits each, unless a test
// has put in a source of its own (nullptr puts the random digits back). Read at every draw, from
// any connection's thread.
using PasswordSource = std::string (*)();
void SetCollectionPasswordSource(PasswordSource source);

// A collection password for a new order: six random digits that no order of the node still to be
// collected (B, N, R) has, so that the password alone finds the order at collection. Raises
// pelio::EosRemoteException in the rare case that several draws all find the password taken.
std::string NewCollectionPassword(Connection& connection, const std::string& nodeCode);

// Adds the draw of the node's next order number to `batch`, for statements after it in the batch
// to name the new order by DrawnOrderCodeSql. Best placed first among the order's writes rather
// than before other work: the node's counter, which every new order needs, stays locked from the
// draw until the transaction ends.
void AddOrderCodeDraw(StatementBatch& batch, const std::string& nodeCode);

// An SQL expression for the code of the order whose number the transaction drew last
// (AddOrderCodeDraw) for the node given as the statement's parameter ?1; as NewOrderCode forms it.
std::string DrawnOrderCodeSql();

// A collection password for a new order (as NewCollectionPassword), checked in a batch of the
// caller's, so that it takes no round trip of its own.
class CollectionPasswordDraw final {
public:
    CollectionPasswordDraw(StatementBatch& batch, std::string nodeCode);
    // From the results of the batch; one found taken is drawn again on the connection.
    std::string Password(Connection& connection, const std::vector<StatementResult>& results) const;

private:
    std::string node_;
    std::string password_;
    std::size_t taken_;
};

} // namespace kav::server
