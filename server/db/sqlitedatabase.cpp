#include "server/db/sqlitedatabase.h"

#include "platform/core/textcodec.h"
#include "server/db/packetstream.h"
#include "server/db/pipeaccess.h"
#include "server/db/resultrows.h"
#include "server/db/schemasetup.h"
#include "server/db/sqldialect.h"

#include <cctype>
#include <sqlite3.h>
#include <unordered_map>

namespace kav::server {
namespace {

using detail::ColumnKind;
using detail::ResultRows;

constexpr int kBusyTimeoutMs = 10000;

// What a statement may do, enforced by the authorizer while it is prepared.
enum class Guard { Any, ReadOnly, Write };

struct StatementDeleter {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

struct DbDeleter {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Handle = std::unique_ptr<sqlite3, DbDeleter>;

// What the authorizer allows the statement being prepared, and on a pipe connection what it
// refused of the pipe's limits (pipeaccess.h).
struct Access {
    Guard guard = Guard::Any;
    bool pipe = false;
    std::string credential; // TABLE.COLUMN read or written
    std::string keptTable;  // a server-kept table written
};

std::string_view Name(const char* name) {
    return name ? std::string_view(name) : std::string_view();
}

// `column` is the column an update sets; an insert writes every column, a delete none.
int AuthorizeWrite(Access& access, int action, std::string_view table, std::string_view column) {
    if (access.guard != Guard::Write) return SQLITE_DENY;
    if (!access.pipe) return SQLITE_OK;
    // A credential written is reported as such, also in a table the server keeps.
    const CredentialColumn* credential = CredentialColumnOf(table);
    if (credential &&
        (action == SQLITE_INSERT || (action == SQLITE_UPDATE && IsCredentialColumn(table, column)))) {
        access.credential = QualifiedName(*credential);
        return SQLITE_DENY;
    }
    if (IsServerKeptTable(table)) {
        access.keptTable = table;
        return SQLITE_DENY;
    }
    return SQLITE_OK;
}

int Authorize(void* context, int action, const char* first, const char* second, const char*, const char*) {
    auto& access = *static_cast<Access*>(context);
    if (access.guard == Guard::Any) return SQLITE_OK;
    switch (action) {
    case SQLITE_READ:
        // Called for every column a statement reads, wherever it is named (select list, where,
        // join, sub-select, view, `*` expanded), with the table's and column's declared names.
        if (access.pipe && IsCredentialColumn(Name(first), Name(second))) {
            access.credential = QualifiedName(*CredentialColumnOf(Name(first)));
            return SQLITE_DENY;
        }
        return SQLITE_OK;
    case SQLITE_SELECT:
    case SQLITE_FUNCTION:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    case SQLITE_INSERT:
    case SQLITE_DELETE:
    case SQLITE_UPDATE:
        return AuthorizeWrite(access, action, Name(first), Name(second));
    default: // schema changes, PRAGMA, ATTACH, transactions, ...
        return SQLITE_DENY;
    }
}

ColumnKind KindOfDeclared(const char* declared, int& size) {
    size = 0;
    if (!declared) return ColumnKind::Unknown;
    auto type = AsciiUpper(declared);
    auto has = [&](const char* part) { return type.find(part) != std::string::npos; };
    if (has("CHAR") || has("TEXT") || has("CLOB")) {
        if (auto open = type.find('('); open != std::string::npos) size = std::atoi(type.c_str() + open + 1);
        return ColumnKind::String;
    }
    if (has("TIMESTAMP") || has("DATE") || has("TIME")) return ColumnKind::DateTime;
    if (has("SMALLINT") || has("BOOL")) return ColumnKind::Smallint;
    if (has("BIGINT")) return ColumnKind::Largeint;
    if (has("INT")) return ColumnKind::Integer;
    if (has("REAL") || has("FLOA") || has("DOUB") || has("NUM") || has("DEC") || has("MONEY"))
        return ColumnKind::Float;
    return ColumnKind::Unknown;
}

class SQLiteConnection final : public Connection {
public:
    // A `pipe` connection holds its client statements to the pipe's limits (pipeaccess.h).
    SQLiteConnection(const std::string& path, bool pipe) {
        access_.pipe = pipe;
        sqlite3* raw = nullptr;
        int rc = sqlite3_open_v2(path.c_str(), &raw,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
        db_.reset(raw);
        if (rc != SQLITE_OK)
            throw EDatabase("Cannot open SQLite database '" + path +
                            "': " + (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
        sqlite3_extended_result_codes(raw, 1);
        sqlite3_busy_timeout(raw, kBusyTimeoutMs);
        // No statement may corrupt the file (writable schema, raw page writes).
        sqlite3_db_config(raw, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        // `like` compares letter case as PostgreSQL does.
        Exec("PRAGMA case_sensitive_like = ON");
        // Installed for the connection's life, so that a statement prepared again while it runs
        // (after a schema change) is checked again under the same guard.
        sqlite3_set_authorizer(raw, Authorize, &access_);
    }
    SQLiteConnection(const SQLiteConnection&) = delete;
    SQLiteConnection& operator=(const SQLiteConnection&) = delete;

    Backend Kind() const override { return Backend::SQLite; }

    std::string GetData(std::string_view sql) override {
        auto stmt = Prepare(RewriteForSQLite(sql), Guard::ReadOnly);
        RefuseParameters(stmt.get());
        detail::PacketStream packet(Columns(stmt.get()).columns, MaxPacketBytes());
        while (!StreamRows(stmt.get(), packet))
            sqlite3_reset(stmt.get());
        return packet.Packet();
    }

    std::string GetMasterDetailData(std::string_view masterSql, std::string_view detailName,
                                    std::string_view detailSql) override {
        auto master = Prepare(RewriteForSQLite(masterSql), Guard::ReadOnly);
        auto detail = Prepare(RewriteForSQLite(detailSql), Guard::ReadOnly);
        RefuseParameters(master.get());
        ResultRows masterRows = Columns(master.get());
        ReadRows(master.get(), masterRows);

        // Parameter i + 1 of the detail statement takes the master column sources[i].
        std::vector<std::size_t> sources;
        for (int i = 1; i <= sqlite3_bind_parameter_count(detail.get()); ++i) {
            const char* name = sqlite3_bind_parameter_name(detail.get(), i);
            if (!name || name[0] != ':')
                throw EDatabase("The detail statement's parameters must be written :NAME");
            auto column = detail::ColumnIndexOf(masterRows, name + 1);
            if (!column) throw EDatabase(std::string("No master column for the detail parameter ") + name);
            sources.push_back(*column);
        }
        ResultRows details = Columns(detail.get());
        std::vector<std::size_t> ends;
        for (std::size_t r = 0; r < masterRows.RowCount(); ++r) {
            sqlite3_reset(detail.get());
            for (std::size_t i = 0; i < sources.size(); ++i)
                Bind(detail.get(), static_cast<int>(i + 1), masterRows.ValueOf(masterRows.At(r, sources[i])));
            ReadRows(detail.get(), details);
            ends.push_back(details.RowCount());
        }
        return detail::MasterDetailPacketOf(masterRows, detailName, details, ends, MaxPacketBytes());
    }

    int ExecSQL(std::string_view sql) override {
        auto keyword = LeadingKeyword(sql);
        if (keyword != "insert" && keyword != "update" && keyword != "delete")
            throw EDatabase("ExecSQL runs one insert, update or delete, not '" + keyword + "'");
        auto stmt = Prepare(RewriteForSQLite(sql), Guard::Write);
        if (sqlite3_stmt_readonly(stmt.get())) throw EDatabase("ExecSQL runs one insert, update or delete");
        StepToEnd(stmt.get());
        return 1;
    }

    std::int64_t Execute(std::string_view sql, const std::vector<SqlValue>& params) override {
        if (params.empty()) {
            access_.guard = Guard::Any;
            // A script: every statement in turn.
            std::string text(sql);
            const char* rest = text.c_str();
            while (*rest) {
                sqlite3_stmt* raw = nullptr;
                const char* tail = nullptr;
                if (sqlite3_prepare_v2(db_.get(), rest, -1, &raw, &tail) != SQLITE_OK) Fail();
                Statement stmt(raw);
                rest = tail;
                if (stmt) StepToEnd(stmt.get());
            }
            return sqlite3_changes64(db_.get());
        }
        sqlite3_stmt* stmt = Reusable(sql);
        // Reset whatever happens, so that the kept statement holds no lock and no old values.
        const std::unique_ptr<sqlite3_stmt, void (*)(sqlite3_stmt*)> done(stmt, [](sqlite3_stmt* s) {
            sqlite3_reset(s);
            sqlite3_clear_bindings(s);
        });
        BindAll(stmt, params);
        StepToEnd(stmt);
        return sqlite3_changes64(db_.get());
    }

    std::vector<std::vector<SqlValue>> Select(std::string_view sql,
                                              const std::vector<SqlValue>& params) override {
        auto stmt = Prepare(std::string(sql), Guard::Any);
        BindAll(stmt.get(), params);
        return Rows(stmt.get());
    }

    std::vector<StatementResult> Run(const StatementBatch& batch) override {
        // Outside a transaction the batch is one of its own, as on PostgreSQL.
        const bool own = !TransactionOpen();
        if (own) Begin();
        try {
            std::vector<StatementResult> results;
            for (const auto& statement : batch.Statements()) {
                auto stmt = Prepare(statement.sql, Guard::Any);
                BindAll(stmt.get(), statement.params);
                StatementResult& result = results.emplace_back();
                if (statement.packet) {
                    detail::PacketStream packet(Columns(stmt.get()).columns, MaxPacketBytes());
                    while (!StreamRows(stmt.get(), packet))
                        sqlite3_reset(stmt.get());
                    result.packet = packet.Packet();
                } else {
                    result.rows = Rows(stmt.get());
                }
                result.changed = sqlite3_changes64(db_.get());
            }
            if (own || batch.Commits()) Commit();
            return results;
        } catch (...) {
            if (own) TryExec("ROLLBACK");
            throw;
        }
    }

    void Begin() override { Exec("BEGIN IMMEDIATE"); }
    void Commit() override { Exec("COMMIT"); }
    void Rollback() override { Exec("ROLLBACK"); }
    bool TransactionOpen() const override { return sqlite3_get_autocommit(db_.get()) == 0; }

    void Exec(const char* sql) {
        access_.guard = Guard::Any;
        if (sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail();
    }
    // After a failure: the first error is the one to report.
    void TryExec(const char* sql) noexcept {
        access_.guard = Guard::Any;
        sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr);
    }

private:
    // Statements the server runs again and again (a writer's batches) are prepared once per
    // connection: SQLite parses numbered parameters in time that grows with their square.
    static constexpr std::size_t kKeptStatements = 32;

    Handle db_;
    Access access_;
    std::unordered_map<std::string, Statement> kept_;

    sqlite3_stmt* Reusable(std::string_view sql) {
        access_.guard = Guard::Any;
        auto found = kept_.find(std::string(sql));
        if (found != kept_.end()) return found->second.get();
        Statement stmt = Prepare(std::string(sql), Guard::Any);
        if (kept_.size() >= kKeptStatements) kept_.clear();
        return kept_.emplace(std::string(sql), std::move(stmt)).first->second.get();
    }

    [[noreturn]] void Fail() const { throw EDatabase(sqlite3_errmsg(db_.get())); }

    // Prepares exactly one statement under `guard`; text after it other than blanks, comments
    // and semicolons is refused.
    Statement Prepare(const std::string& sql, Guard guard) {
        sqlite3_stmt* raw = nullptr;
        const char* tail = nullptr;
        access_.guard = guard;
        access_.credential.clear();
        access_.keptTable.clear();
        int rc = sqlite3_prepare_v2(db_.get(), sql.c_str(), static_cast<int>(sql.size()), &raw, &tail);
        Statement stmt(raw);
        if (rc == SQLITE_AUTH) {
            if (!access_.credential.empty()) throw ECredentialColumn(access_.credential);
            if (!access_.keptTable.empty()) RefuseKeptTableWrite(access_.keptTable);
            throw EDatabase(
                guard == Guard::ReadOnly
                    ? "GetData runs only read-only queries: " + std::string(sqlite3_errmsg(db_.get()))
                    : "ExecSQL runs one insert, update or delete: " + std::string(sqlite3_errmsg(db_.get())));
        }
        if (rc != SQLITE_OK) Fail();
        if (!stmt) throw EDatabase("The SQL text holds no statement");
        if (tail && *tail) {
            sqlite3_stmt* next = nullptr;
            access_.guard = Guard::Any; // only to see whether more follows; never run
            rc = sqlite3_prepare_v2(db_.get(), tail, -1, &next, nullptr);
            access_.guard = guard;
            Statement more(next);
            if (rc != SQLITE_OK || more) throw EDatabase("Only one statement may be sent at a time");
        }
        if (guard == Guard::ReadOnly &&
            (!sqlite3_stmt_readonly(stmt.get()) || sqlite3_column_count(stmt.get()) == 0))
            throw EDatabase("GetData runs only read-only queries");
        return stmt;
    }

    // Unbound parameters would silently read as null (PostgreSQL refuses the text outright).
    static void RefuseParameters(sqlite3_stmt* stmt) {
        if (sqlite3_bind_parameter_count(stmt) > 0)
            throw EDatabase(
                std::string("The query has a parameter but nothing to fill it: ") +
                (sqlite3_bind_parameter_name(stmt, 1) ? sqlite3_bind_parameter_name(stmt, 1) : "?"));
    }

    bool Step(sqlite3_stmt* stmt) {
        int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        Fail();
    }

    void StepToEnd(sqlite3_stmt* stmt) {
        while (Step(stmt)) {
        }
    }

    static std::string_view Text(sqlite3_stmt* stmt, int c) {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
        return bytes ? std::string_view(bytes, static_cast<std::size_t>(sqlite3_column_bytes(stmt, c)))
                     : std::string_view();
    }

    static SqlValue Value(sqlite3_stmt* stmt, int c) {
        switch (sqlite3_column_type(stmt, c)) {
        case SQLITE_INTEGER:
            return std::int64_t{sqlite3_column_int64(stmt, c)};
        case SQLITE_FLOAT:
            return sqlite3_column_double(stmt, c);
        case SQLITE_NULL:
            return std::monostate{};
        default:
            return std::string(Text(stmt, c));
        }
    }

    static ResultRows Columns(sqlite3_stmt* stmt) {
        ResultRows rows;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            detail::ResultColumn column;
            const char* name = sqlite3_column_name(stmt, c);
            column.name = name ? name : "";
            column.kind = KindOfDeclared(sqlite3_column_decltype(stmt, c), column.size);
            rows.columns.push_back(std::move(column));
        }
        return rows;
    }

    static detail::CellValue ValueAt(sqlite3_stmt* stmt, int c) {
        detail::CellValue value;
        switch (sqlite3_column_type(stmt, c)) {
        case SQLITE_INTEGER:
            value.kind = detail::Cell::Kind::Integer;
            value.integer = sqlite3_column_int64(stmt, c);
            break;
        case SQLITE_FLOAT:
            value.kind = detail::Cell::Kind::Float;
            value.real = sqlite3_column_double(stmt, c);
            break;
        case SQLITE_NULL:
            break;
        default:
            value.kind = detail::Cell::Kind::Text;
            value.text = Text(stmt, c);
            break;
        }
        return value;
    }

    std::vector<std::vector<SqlValue>> Rows(sqlite3_stmt* stmt) {
        std::vector<std::vector<SqlValue>> rows;
        const int columns = sqlite3_column_count(stmt);
        while (Step(stmt)) {
            auto& row = rows.emplace_back();
            row.reserve(static_cast<std::size_t>(columns));
            for (int c = 0; c < columns; ++c)
                row.push_back(Value(stmt, c));
        }
        return rows;
    }

    void ReadRows(sqlite3_stmt* stmt, ResultRows& rows) {
        const int columns = static_cast<int>(rows.columns.size());
        while (Step(stmt))
            for (int c = 0; c < columns; ++c)
                rows.Add(ValueAt(stmt, c));
    }

    // False when the stream asks for the rows again from the first.
    bool StreamRows(sqlite3_stmt* stmt, detail::PacketStream& packet) {
        const int columns = sqlite3_column_count(stmt);
        while (Step(stmt)) {
            packet.BeginRow();
            for (int c = 0; c < columns; ++c)
                if (!packet.Add(ValueAt(stmt, c))) return false;
        }
        return true;
    }

    void Bind(sqlite3_stmt* stmt, int index, const SqlValue& value) {
        int rc = SQLITE_OK;
        if (const auto* i = std::get_if<std::int64_t>(&value))
            rc = sqlite3_bind_int64(stmt, index, *i);
        else if (const auto* d = std::get_if<double>(&value))
            rc = sqlite3_bind_double(stmt, index, *d);
        else if (const auto* s = std::get_if<std::string>(&value))
            rc = sqlite3_bind_text64(stmt, index, s->data(), s->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        else
            rc = sqlite3_bind_null(stmt, index);
        if (rc != SQLITE_OK) Fail();
    }

    void BindAll(sqlite3_stmt* stmt, const std::vector<SqlValue>& params) {
        if (static_cast<int>(params.size()) != sqlite3_bind_parameter_count(stmt))
            throw EDatabase("The statement takes " + std::to_string(sqlite3_bind_parameter_count(stmt)) +
                            " parameters, given " + std::to_string(params.size()));
        for (std::size_t i = 0; i < params.size(); ++i)
            Bind(stmt, static_cast<int>(i + 1), params[i]);
    }
};

class SQLiteDatabase final : public Database {
public:
    explicit SQLiteDatabase(std::string path) : path_(std::move(path)) {
        SQLiteConnection first(path_, false);
        first.Exec("PRAGMA journal_mode = WAL");
    }

    Backend Kind() const override { return Backend::SQLite; }
    std::unique_ptr<Connection> Connect() override {
        return std::make_unique<SQLiteConnection>(path_, false);
    }
    std::unique_ptr<Connection> ConnectPipe() override {
        return std::make_unique<SQLiteConnection>(path_, true);
    }

    SchemaUpgrade EnsureSchema() override {
        SQLiteConnection connection(path_, false);
        return EnsureCurrentSchema(connection);
    }

private:
    std::string path_;
};

} // namespace

std::unique_ptr<Database> OpenSQLiteDatabase(const std::string& path) {
    return std::make_unique<SQLiteDatabase>(path);
}

} // namespace kav::server
