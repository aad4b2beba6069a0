#pragma once
// Runs work as one transaction of the server's own on a connection: committed when the work
// returns, rolled back when it throws (the exception then propagates and the connection stays
// usable for the next call).

#include "server/db/database.h"

#include <type_traits>

namespace kav::server {

template <class Work> auto InTransaction(Connection& connection, Work&& work) -> decltype(work()) {
    connection.Begin();
    // The work's last batch may have committed already (StatementBatch::Commit).
    try {
        if constexpr (std::is_void_v<decltype(work())>) {
            work();
            if (connection.TransactionOpen()) connection.Commit();
        } else {
            auto result = work();
            if (connection.TransactionOpen()) connection.Commit();
            return result;
        }
    } catch (...) {
        if (connection.TransactionOpen()) connection.Rollback();
        throw;
    }
}

} // namespace kav::server
