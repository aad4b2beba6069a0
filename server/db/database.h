#pragma once
// The server's database access, the same for SQLite and PostgreSQL.
//
// A Database is opened once per server from its URL and is shared by all connection threads; each
// thread opens its own Connection (a Connection serves one thread at a time and is not locked).
// Results come back as data packets (docs/data-packet.md) that the client loads into a dataset:
// field types follow the column types, timestamps travel as date-times, column names keep the
// letter case the SQL gave where the backend allows it (repeated names get "_1", "_2", ...).
// Client statements are written for PostgreSQL and adapted for SQLite (server/db/sqldialect.h).
//
// Every method raises EDatabase for a refused or failing statement; the connection stays usable
// and, inside the server's own transaction (Begin), a refused or failing GetData, ExecSQL or
// GetMasterDetailData undoes only its own work. (A failing Execute or Select inside a PostgreSQL
// transaction leaves it failed, as PostgreSQL does: the caller rolls back.)

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kav::server {

// A statement that was refused or failed; the message is the database's own (or says why the
// statement was refused).
class EDatabase : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A result whose data packet grew past the connection's limit (SetMaxPacketBytes); it was
// abandoned as soon as it did, so `bytes` is what had been built by then.
class EResultTooLarge : public EDatabase {
public:
    EResultTooLarge(std::size_t bytes, std::size_t limit)
        : EDatabase("The result's data packet passed " + std::to_string(bytes) +
                    " bytes, over the limit of " + std::to_string(limit) + " bytes"),
          bytes(bytes), limit(limit) {}
    std::size_t bytes;
    std::size_t limit;
};

// A pipe statement refused because it reads or writes a credential column (server/db/pipeaccess.h).
class ECredentialColumn : public EDatabase {
public:
    explicit ECredentialColumn(std::string column)
        : EDatabase("The data pipe may not read or write the credential column " + column),
          column(std::move(column)) {}
    std::string column; // TABLE.COLUMN
};

// A database whose schema cannot be brought to this program's version: it is newer than the
// program, or it holds tables that are not the box office's. Nothing was changed.
class ESchemaRefused : public EDatabase {
public:
    using EDatabase::EDatabase;
};

// What EnsureSchema found and did: `From` is the schema version the database had (0: it had no
// tables), `To` the version it has now.
struct SchemaUpgrade {
    int From = 0;
    int To = 0;
    bool Created() const { return From == 0; }
    bool Upgraded() const { return From != 0 && From != To; }
};

enum class Backend { SQLite, PostgreSQL };

// A value bound to a statement parameter; monostate is SQL null.
using SqlValue = std::variant<std::monostate, std::int64_t, double, std::string>;

class Connection {
public:
    virtual ~Connection() = default;
    virtual Backend Kind() const = 0;

    // The largest data packet GetData and GetMasterDetailData build: a result whose rows grow
    // past it is abandoned at once with EResultTooLarge. Unlimited unless set.
    void SetMaxPacketBytes(std::size_t bytes) noexcept { maxPacketBytes_ = bytes; }
    std::size_t MaxPacketBytes() const noexcept { return maxPacketBytes_; }

    // Exactly one read-only query; its whole result as a data packet. Anything else is refused:
    // writes, schema changes, settings, transaction control, stacked statements.
    virtual std::string GetData(std::string_view sql) = 0;
    // The master rows, each with a nested table field `detailName` holding the rows of `detailSql`
    // whose :NAME parameters are filled from the master row's columns of the same names (matched
    // ignoring case). Both statements must be single and read-only.
    virtual std::string GetMasterDetailData(std::string_view masterSql, std::string_view detailName,
                                            std::string_view detailSql) = 0;
    // Exactly one insert, update or delete; returns 1 when it ran (also when no row matched).
    virtual int ExecSQL(std::string_view sql) = 0;

    // For the server's own work (schema, seed data, services): any statement, with parameters
    // written as ?1, ?2, ... in the text; returns the number of rows changed. Without parameters
    // the text may be a script of several statements (the count is then the last one's).
    // Runs as written: no dialect rewrites.
    virtual std::int64_t Execute(std::string_view sql, const std::vector<SqlValue>& params = {}) = 0;
    // Rows of one statement as values, for services that read a few rows themselves: integers,
    // floats (money included), texts (date-times as "YYYY-MM-DD hh:mm:ss"), null.
    virtual std::vector<std::vector<SqlValue>> Select(std::string_view sql,
                                                      const std::vector<SqlValue>& params = {}) = 0;
    // The node of the session whose statements a pipe connection runs next (Database::ConnectPipe).
    // Where row security by node is on, those statements reach only that node's rows; other
    // connections ignore it.
    virtual void SetPipeNode(std::string_view nodeCode) { static_cast<void>(nodeCode); }

    // A transaction of the server's own; SQLite takes the write lock at once (BEGIN IMMEDIATE).
    virtual void Begin() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;

private:
    std::size_t maxPacketBytes_ = SIZE_MAX;
};

// How the data pipe reaches a PostgreSQL database (SQLite has no roles and ignores it).
struct PipeSettings {
    // The connection string of the pipe's own role; empty: the database's own with the user
    // kav_pipe, a role the server creates when it may.
    std::string url;
    // Turns row security by node on or off for the pipe's role and keeps it so in the database;
    // empty: as the database has it (off in a new one).
    std::optional<bool> rowSecurity;
};

class Database {
public:
    virtual ~Database() = default;
    // "sqlite:PATH" or a PostgreSQL connection string ("postgresql://..." or "host=... dbname=...").
    // Raises EDatabase when the database cannot be opened.
    static std::unique_ptr<Database> Open(const std::string& url, const PipeSettings& pipe = {});

    virtual Backend Kind() const = 0;
    virtual std::unique_ptr<Connection> Connect() = 0;
    // A connection for the data pipe. Its client statements (GetData, GetMasterDetailData,
    // ExecSQL) never read or write a credential column (ECredentialColumn) nor write a table the
    // server keeps (EDatabase), see server/db/pipeaccess.h; on PostgreSQL it is a session of the
    // pipe's own role, which needs EnsureSchema to have run once since this server started.
    virtual std::unique_ptr<Connection> ConnectPipe() = 0;
    // Brings the database to the current schema in one transaction (server/db/schemasetup.h):
    // creates it when the database has no tables, runs the upgrade steps on an older one. Raises
    // ESchemaRefused for a newer or foreign database and EDatabase when a step fails; the database
    // is then left as it was. On PostgreSQL it then gives the pipe's role its privileges and
    // policies on every table (server/db/postgresqlpipe.h), at every call.
    virtual SchemaUpgrade EnsureSchema() = 0;
};

} // namespace kav::server
