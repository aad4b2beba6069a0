#pragma once
// The catalogue of the statements the client sends (server/schema/statements.sql), read once for
// the tests that run or compare them. Each entry is "-- id:", "-- call:", optional "-- detail:"
// comment lines followed by one line of SQL.

#include <string>
#include <vector>

namespace kav::test {

struct CatalogueStatement {
    std::string id;     // e.g. "order.search.bycode"
    std::string call;   // GetData, GetMasterDetailData master/detail, or ExecSQL
    std::string detail; // for a master: the id of its detail statement
    std::string sql;
};

// Raises std::runtime_error when the catalogue cannot be read.
const std::vector<CatalogueStatement>& StatementCatalogue();
// Raises std::runtime_error naming the id when there is no such entry.
const CatalogueStatement& CataloguedStatement(const std::string& id);

} // namespace kav::test
