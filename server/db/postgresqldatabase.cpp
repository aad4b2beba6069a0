#include "server/db/postgresqldatabase.h"

#include "server/db/packetstream.h"
#include "server/db/postgresqlpipe.h"
#include "server/db/resultrows.h"
#include "server/db/schemasetup.h"
#include "server/db/sqldialect.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <libpq-fe.h>
#include <mutex>
#include <type_traits>
#include <unordered_map>

namespace kav::server {
namespace {

using detail::ColumnKind;
using detail::ResultRows;

// Type OIDs of pg_type that results carry.
enum Oid_ : Oid {
    kBool = 16,
    kChar = 18,
    kName = 19,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kText = 25,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kBpchar = 1042,
    kVarchar = 1043,
    kDate = 1082,
    kTimestamp = 1114,
    kTimestampTz = 1184,
    kNumeric = 1700,
};

struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

struct ConnDeleter {
    void operator()(PGconn* c) const { PQfinish(c); }
};
using Handle = std::unique_ptr<PGconn, ConnDeleter>;

ColumnKind KindOf(Oid type) {
    switch (type) {
    case kBool:
        return ColumnKind::Boolean;
    case kInt2:
        return ColumnKind::Smallint;
    case kInt4:
        return ColumnKind::Integer;
    case kInt8:
    case kOid:
        return ColumnKind::Largeint;
    case kFloat4:
    case kFloat8:
    case kNumeric:
        return ColumnKind::Float;
    case kDate:
    case kTimestamp:
    case kTimestampTz:
        return ColumnKind::DateTime;
    default:
        return ColumnKind::String;
    }
}

// A value in libpq's text form as a value of its column's kind; as text when it does not parse
// (the column then widens to text).
detail::CellValue CellOf(const PGresult* result, int row, int column, ColumnKind kind) {
    detail::CellValue value;
    if (PQgetisnull(result, row, column)) return value;
    const char* text = PQgetvalue(result, row, column);
    const char* end = text + PQgetlength(result, row, column);
    if (kind == ColumnKind::Smallint || kind == ColumnKind::Integer || kind == ColumnKind::Largeint) {
        auto [stop, ec] = std::from_chars(text, end, value.integer);
        if (ec == std::errc() && stop == end) {
            value.kind = detail::Cell::Kind::Integer;
            return value;
        }
    } else if (kind == ColumnKind::Float) {
        auto [stop, ec] = std::from_chars(text, end, value.real);
        if (ec == std::errc() && stop == end) {
            value.kind = detail::Cell::Kind::Float;
            return value;
        }
    } else if (kind == ColumnKind::Boolean) {
        value.kind = detail::Cell::Kind::Integer;
        value.integer = text[0] == 't';
        return value;
    }
    value.kind = detail::Cell::Kind::Text;
    value.text = std::string_view(text, static_cast<std::size_t>(end - text));
    return value;
}

void AppendCells(ResultRows& rows, const PGresult* result) {
    const int columns = PQnfields(result);
    const int count = PQntuples(result);
    rows.cells.reserve(rows.cells.size() +
                       static_cast<std::size_t>(count) * static_cast<std::size_t>(columns));
    for (int r = 0; r < count; ++r)
        for (int c = 0; c < columns; ++c)
            rows.Add(CellOf(result, r, c, rows.columns[static_cast<std::size_t>(c)].kind));
}

std::vector<detail::ResultColumn> ColumnsOf(const PGresult* result) {
    std::vector<detail::ResultColumn> columns;
    for (int c = 0; c < PQnfields(result); ++c) {
        detail::ResultColumn column;
        column.name = PQfname(result, c);
        auto type = PQftype(result, c);
        column.kind = KindOf(type);
        if ((type == kVarchar || type == kBpchar) && PQfmod(result, c) > 4)
            column.size = PQfmod(result, c) - 4;
        columns.push_back(std::move(column));
    }
    return columns;
}

ResultRows RowsOf(const PGresult* result) {
    ResultRows rows;
    rows.columns = ColumnsOf(result);
    AppendCells(rows, result);
    return rows;
}

// The result as a packet, without a copy of its rows: they are read from libpq's result, again
// from the first whenever the stream asks.
std::string PacketOf(const PGresult* result, std::size_t maxBytes) {
    auto columns = ColumnsOf(result);
    std::vector<ColumnKind> kinds;
    for (const auto& column : columns)
        kinds.push_back(column.kind);
    detail::PacketStream packet(std::move(columns), maxBytes);
    const int rows = PQntuples(result);
    for (bool complete = false; !complete;) {
        complete = true;
        for (int r = 0; r < rows && complete; ++r) {
            packet.BeginRow();
            for (int c = 0; c < static_cast<int>(kinds.size()) && complete; ++c)
                complete = packet.Add(CellOf(result, r, c, kinds[static_cast<std::size_t>(c)]));
        }
    }
    return packet.Packet();
}

// The local zone of this process in a form PostgreSQL knows: its name, or failing that the
// current offset as a POSIX zone ("<+0800>-08:00"; POSIX counts hours west).
std::string LocalTimeZone() {
    if (const char* tz = std::getenv("TZ"); tz && *tz && *tz != ':') return tz;
    std::error_code ec;
    auto target = std::filesystem::read_symlink("/etc/localtime", ec).string();
    if (auto at = target.find("zoneinfo/"); !ec && at != std::string::npos) return target.substr(at + 9);
    std::ifstream file("/etc/timezone");
    std::string name;
    if (file >> name) return name;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int east = static_cast<int>(local.tm_gmtoff / 60);
    const int hours = std::abs(east) / 60, minutes = std::abs(east) % 60;
    char zone[64];
    std::snprintf(zone, sizeof zone, "<%c%02d%02d>%c%02d:%02d", east < 0 ? '-' : '+', hours, minutes,
                  east < 0 ? '+' : '-', hours, minutes);
    return zone;
}

// Where a connection goes: the connection string, and the user that replaces the string's own
// when not empty.
struct Target {
    std::string url;
    std::string user;
};

// The owner's connection that records the node of every pipe session of one database, shared by
// the pipe connections of all threads (a session's node changes seldom).
class PipeNodeBinder final {
public:
    explicit PipeNodeBinder(std::string url) : url_(std::move(url)) {}
    void Bind(int pid, const std::string& nodeCode, bool newSession);

private:
    std::string url_;
    std::mutex mutex_;
    std::unique_ptr<Connection> owner_;
};

class PostgreSQLConnection final : public Connection {
public:
    explicit PostgreSQLConnection(const Target& target) {
        const char* keys[] = {"dbname", "client_encoding", "user", nullptr};
        const char* values[] = {target.url.c_str(), "UTF8", target.user.c_str(), nullptr};
        if (target.user.empty()) keys[2] = nullptr;
        conn_.reset(PQconnectdbParams(keys, values, 1));
        if (!conn_) throw EDatabase("Cannot connect to PostgreSQL: out of memory");
        if (PQstatus(conn_.get()) != CONNECTION_OK)
            throw EDatabase("Cannot connect to PostgreSQL" +
                            (target.user.empty() ? "" : " as " + target.user) + ": " + ErrorText());
        Setup();
    }
    PostgreSQLConnection(const PostgreSQLConnection&) = delete;
    PostgreSQLConnection& operator=(const PostgreSQLConnection&) = delete;

    Backend Kind() const override { return Backend::PostgreSQL; }

    // Makes this a pipe connection: its client statements first bind its session to the node of
    // SetPipeNode through `binder`, and refusals of the pipe's limits raise their own errors.
    void ServePipe(std::shared_ptr<PipeNodeBinder> binder) { binder_ = std::move(binder); }
    void SetPipeNode(std::string_view nodeCode) override { node_ = nodeCode; }

    std::string GetData(std::string_view sql) override {
        PrepareClientStatement();
        return ReadOnly([&] {
            auto result = Run(std::string(sql), {});
            if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
                throw EDatabase("GetData runs only read-only queries");
            return PacketOf(result.get(), MaxPacketBytes());
        });
    }

    std::string GetMasterDetailData(std::string_view masterSql, std::string_view detailName,
                                    std::string_view detailSql) override {
        PrepareClientStatement();
        return ReadOnly([&] {
            auto master = Run(std::string(masterSql), {});
            if (PQresultStatus(master.get()) != PGRES_TUPLES_OK)
                throw EDatabase("GetData runs only read-only queries");
            auto masterRows = RowsOf(master.get());
            auto detail = RewriteForPostgreSQL(detailSql);
            std::vector<int> sources;
            for (const auto& name : detail.names) {
                auto column = detail::ColumnIndexOf(masterRows, name);
                if (!column) throw EDatabase("No master column for the detail parameter :" + name);
                sources.push_back(static_cast<int>(*column));
            }
            Check(Result(PQprepare(conn_.get(), "", detail.sql.c_str(), static_cast<int>(sources.size()),
                                   nullptr)),
                  PGRES_COMMAND_OK);
            ResultRows details;
            std::vector<std::size_t> ends;
            std::vector<const char*> params(sources.size());
            for (int r = 0; r < PQntuples(master.get()); ++r) {
                for (std::size_t i = 0; i < sources.size(); ++i)
                    params[i] = PQgetisnull(master.get(), r, sources[i])
                                    ? nullptr
                                    : PQgetvalue(master.get(), r, sources[i]);
                Result rows(PQexecPrepared(conn_.get(), "", static_cast<int>(params.size()), params.data(),
                                           nullptr, nullptr, 0));
                Check(rows, PGRES_TUPLES_OK);
                if (details.columns.empty())
                    details = RowsOf(rows.get());
                else
                    AppendCells(details, rows.get());
                ends.push_back(details.RowCount());
            }
            if (details.columns.empty()) { // no master rows: the detail's columns still give the fields
                Result described(PQdescribePrepared(conn_.get(), ""));
                Check(described, PGRES_COMMAND_OK);
                details = RowsOf(described.get());
            }
            return detail::MasterDetailPacketOf(masterRows, detailName, details, ends, MaxPacketBytes());
        });
    }

    int ExecSQL(std::string_view sql) override {
        PrepareClientStatement();
        auto keyword = LeadingKeyword(sql);
        if (keyword != "insert" && keyword != "update" && keyword != "delete")
            throw EDatabase("ExecSQL runs one insert, update or delete, not '" + keyword + "'");
        Guarded(Outcome::Keep, [&] {
            auto result = Run(std::string(sql), {});
            Check(result, PGRES_COMMAND_OK);
            std::string_view status = PQcmdStatus(result.get());
            if (!status.starts_with("INSERT") && !status.starts_with("UPDATE") &&
                !status.starts_with("DELETE"))
                throw EDatabase("ExecSQL runs one insert, update or delete");
            return 0;
        });
        return 1;
    }

    std::int64_t Execute(std::string_view sql, const std::vector<SqlValue>& params) override {
        ReconnectIfLost();
        Result result;
        if (params.empty()) {
            result.reset(PQexec(conn_.get(), std::string(sql).c_str()));
            if (PQresultStatus(result.get()) != PGRES_TUPLES_OK) Check(result, PGRES_COMMAND_OK);
        } else {
            result = RunPrepared(NumberedParametersForPostgreSQL(sql), params);
            if (PQresultStatus(result.get()) != PGRES_TUPLES_OK) Check(result, PGRES_COMMAND_OK);
        }
        const char* count = PQcmdTuples(result.get());
        return *count ? std::atoll(count) : 0;
    }

    std::vector<std::vector<SqlValue>> Select(std::string_view sql,
                                              const std::vector<SqlValue>& params) override {
        ReconnectIfLost();
        auto result = RunPrepared(NumberedParametersForPostgreSQL(sql), params);
        Check(result, PGRES_TUPLES_OK);
        auto rows = RowsOf(result.get());
        std::vector<std::vector<SqlValue>> out(rows.RowCount());
        for (std::size_t r = 0; r < out.size(); ++r)
            for (std::size_t c = 0; c < rows.columns.size(); ++c)
                out[r].push_back(rows.ValueOf(rows.At(r, c)));
        return out;
    }

    void Begin() override {
        ReconnectIfLost();
        Command("begin");
        inTransaction_ = true;
    }
    void Commit() override {
        inTransaction_ = false;
        Command("commit");
    }
    void Rollback() override {
        inTransaction_ = false;
        if (PQstatus(conn_.get()) == CONNECTION_BAD) return ReconnectIfLost(); // nothing left to undo
        Command("rollback");
    }

private:
    Handle conn_;
    bool inTransaction_ = false;
    std::shared_ptr<PipeNodeBinder> binder_; // set for a pipe connection
    std::string node_;                       // a pipe session without one sees no node's rows
    int boundPid_ = 0;
    std::string boundNode_;

    // A client statement runs on a live session, which a pipe connection has bound to its node.
    void PrepareClientStatement() {
        ReconnectIfLost();
        if (!binder_) return;
        const int pid = PQbackendPID(conn_.get());
        if (pid == boundPid_ && node_ == boundNode_) return;
        binder_->Bind(pid, node_, pid != boundPid_);
        boundPid_ = pid;
        boundNode_ = node_;
    }

    // Session settings every statement relies on; run on every (re)connection.
    void Setup() {
        PQsetNoticeProcessor(
            conn_.get(), [](void*, const char*) {}, nullptr);
        std::string setup = "set DateStyle = ISO; set standard_conforming_strings = on";
        auto zone = LocalTimeZone();
        if (char* literal = PQescapeLiteral(conn_.get(), zone.c_str(), zone.size())) {
            setup += "; set TimeZone = " + std::string(literal);
            PQfreemem(literal);
        }
        Check(Result(PQexec(conn_.get(), setup.c_str())), PGRES_COMMAND_OK);
    }

    // A connection the server dropped (restart, terminated backend) is opened again by the next
    // call; the call that met the loss has raised already. Inside a transaction every call
    // raises until Rollback, so that no statement of it runs on a new session by itself.
    void ReconnectIfLost() {
        if (PQstatus(conn_.get()) != CONNECTION_BAD) return;
        if (inTransaction_) throw EDatabase("The connection to PostgreSQL was lost inside a transaction");
        PQreset(conn_.get());
        prepared_.clear(); // prepared statements belong to the session that is gone
        boundPid_ = 0;     // a new session, whatever its process id: its node is recorded afresh
        if (PQstatus(conn_.get()) != CONNECTION_OK)
            throw EDatabase("Cannot connect to PostgreSQL: " + ErrorText());
        Setup();
    }

    std::string ErrorText() const {
        std::string text = PQerrorMessage(conn_.get());
        while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
            text.pop_back();
        return text;
    }

    void Check(const Result& result, ExecStatusType expected) const {
        if (!result) throw EDatabase(ErrorText());
        if (PQresultStatus(result.get()) == expected) return;
        std::string text = PQresultErrorMessage(result.get());
        while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
            text.pop_back();
        if (const char* state = PQresultErrorField(result.get(), PG_DIAG_SQLSTATE); binder_ && state)
            RaisePipeRefusal(state, text);
        throw EDatabase(text.empty() ? ErrorText() : text);
    }

    void Command(const char* sql) { Check(Result(PQexec(conn_.get(), sql)), PGRES_COMMAND_OK); }
    // After a failure: the first error is the one to report.
    void TryCommand(const char* sql) noexcept { PQclear(PQexec(conn_.get(), sql)); }

    // Parameter values as libpq takes them: texts, null pointers for nulls.
    struct ParamTexts {
        std::vector<std::string> texts;
        std::vector<const char*> values;
        explicit ParamTexts(const std::vector<SqlValue>& params)
            : texts(params.size()), values(params.size()) {
            for (std::size_t i = 0; i < params.size(); ++i) {
                const auto& p = params[i];
                if (const auto* n = std::get_if<std::int64_t>(&p))
                    texts[i] = std::to_string(*n);
                else if (const auto* d = std::get_if<double>(&p)) {
                    char buffer[32];
                    texts[i].assign(buffer, std::to_chars(buffer, buffer + sizeof buffer, *d).ptr);
                } else if (const auto* s = std::get_if<std::string>(&p))
                    texts[i] = *s;
                values[i] = std::holds_alternative<std::monostate>(p) ? nullptr : texts[i].c_str();
            }
        }
        int Count() const { return static_cast<int>(values.size()); }
    };

    Result Checked(Result result) const {
        auto status = PQresultStatus(result.get());
        if (status == PGRES_EMPTY_QUERY) throw EDatabase("The SQL text holds no statement");
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) Check(result, PGRES_COMMAND_OK);
        return result;
    }

    // One statement through the extended protocol, which refuses stacked statements.
    Result Run(const std::string& sql, const std::vector<SqlValue>& params) {
        const ParamTexts p(params);
        return Checked(Result(PQexecParams(conn_.get(), sql.c_str(), p.Count(), nullptr, p.values.data(),
                                           nullptr, nullptr, 0)));
    }

    // One of the server's own statements, prepared at its first run on this session and reused:
    // parsing and planning them again at every call took longer than running them. Texts beyond
    // the first kMaxPrepared run unprepared, so that texts built with values cannot fill memory.
    static constexpr std::size_t kMaxPrepared = 512;
    std::unordered_map<std::string, std::string> prepared_; // text -> statement name

    Result RunPrepared(const std::string& sql, const std::vector<SqlValue>& params) {
        auto found = prepared_.find(sql);
        if (found == prepared_.end()) {
            if (prepared_.size() >= kMaxPrepared) return Run(sql, params);
            const std::string name = "kav_" + std::to_string(prepared_.size());
            Checked(Result(PQprepare(conn_.get(), name.c_str(), sql.c_str(), 0, nullptr)));
            found = prepared_.emplace(sql, name).first;
        }
        const ParamTexts p(params);
        return Checked(Result(PQexecPrepared(conn_.get(), found->second.c_str(), p.Count(), p.values.data(),
                                             nullptr, nullptr, 0)));
    }

    enum class Outcome { Keep, Undo };

    // Runs `work` inside a transaction of its own, or inside a savepoint of the caller's
    // transaction, then keeps or undoes what it did. A failure undoes it and leaves the
    // connection usable. Work that will be undone runs read-only where the transaction is its own.
    template <typename F> std::invoke_result_t<F> Guarded(Outcome outcome, F&& work) {
        const bool keep = outcome == Outcome::Keep;
        if (inTransaction_) {
            constexpr const char* kUndo =
                "rollback to savepoint kav_statement; release savepoint kav_statement";
            Command("savepoint kav_statement");
            try {
                auto result = work();
                Command(keep ? "release savepoint kav_statement" : kUndo);
                return result;
            } catch (...) {
                TryCommand(kUndo);
                throw;
            }
        }
        Command(keep ? "begin" : "begin transaction read only");
        try {
            auto result = work();
            Command(keep ? "commit" : "rollback");
            return result;
        } catch (...) {
            TryCommand("rollback");
            throw;
        }
    }

    // A read always ends in a rollback, so that nothing it did (settings included) outlives it.
    template <typename F> std::string ReadOnly(F&& work) {
        return Guarded(Outcome::Undo, std::forward<F>(work));
    }
};

void PipeNodeBinder::Bind(int pid, const std::string& nodeCode, bool newSession) {
    std::lock_guard lock(mutex_);
    if (!owner_) owner_ = std::make_unique<PostgreSQLConnection>(Target{url_, {}});
    BindPipeNode(*owner_, pid, nodeCode, newSession);
}

class PostgreSQLDatabase final : public Database {
public:
    PostgreSQLDatabase(std::string url, const PipeSettings& pipe)
        : url_(std::move(url)),
          pipe_(pipe.url.empty() ? Target{url_, std::string(kDefaultPipeRole)} : Target{pipe.url, {}}),
          ownRole_(pipe.url.empty()), rowSecurity_(pipe.rowSecurity),
          binder_(std::make_shared<PipeNodeBinder>(url_)) {
        PostgreSQLConnection check(Target{url_, {}});
    }

    Backend Kind() const override { return Backend::PostgreSQL; }
    std::unique_ptr<Connection> Connect() override {
        return std::make_unique<PostgreSQLConnection>(Target{url_, {}});
    }
    std::unique_ptr<Connection> ConnectPipe() override {
        auto connection = std::make_unique<PostgreSQLConnection>(pipe_);
        connection->ServePipe(binder_);
        return connection;
    }

    SchemaUpgrade EnsureSchema() override {
        PostgreSQLConnection connection(Target{url_, {}});
        const SchemaUpgrade upgrade = EnsureCurrentSchema(connection);
        if (ownRole_) EnsurePipeRole(connection, pipe_.user);
        PostgreSQLConnection pipe(pipe_);
        const auto role = pipe.Select("select current_user", {});
        GrantPipeAccess(connection, std::get<std::string>(role.at(0).at(0)), rowSecurity_);
        return upgrade;
    }

private:
    std::string url_;
    Target pipe_;
    bool ownRole_; // the pipe's role is kav_pipe, made by the server when missing
    std::optional<bool> rowSecurity_;
    std::shared_ptr<PipeNodeBinder> binder_;
};

} // namespace

std::unique_ptr<Database> OpenPostgreSQLDatabase(const std::string& url, const PipeSettings& pipe) {
    return std::make_unique<PostgreSQLDatabase>(url, pipe);
}

} // namespace kav::server
