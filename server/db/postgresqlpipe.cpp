#include "server/db/postgresqlpipe.h"

#include "platform/core/textcodec.h"
#include "server/db/pipeaccess.h"
#include "server/db/transaction.h"

#include <map>
#include <vector>

namespace kav::server {

namespace {

// Serialises the grants with the schema work of other servers starting on the same database.
constexpr const char* kSchemaLock = "select pg_advisory_xact_lock(4206111)";
constexpr std::string_view kPolicy = "kav_pipe_node";

std::string Text(const SqlValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    return {};
}

bool IsTrue(const SqlValue& value) {
    const auto* number = std::get_if<std::int64_t>(&value);
    return number && *number != 0;
}

std::string Quoted(std::string_view identifier) {
    std::string quoted = "\"";
    for (char c : identifier) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

struct Table {
    std::vector<std::string> columns;
    bool rowSecurity = false;
    bool hasNode = false;
};

std::map<std::string, Table> TablesOfSchema(Connection& owner) {
    std::map<std::string, Table> tables;
    for (const auto& row : owner.Select("select c.relname, a.attname, c.relrowsecurity from pg_class c "
                                        "join pg_namespace n on n.oid = c.relnamespace "
                                        "and n.nspname = current_schema() "
                                        "join pg_attribute a on a.attrelid = c.oid and a.attnum > 0 "
                                        "and not a.attisdropped "
                                        "where c.relkind in ('r', 'p') order by c.relname, a.attnum")) {
        Table& table = tables[Text(row[0])];
        table.columns.push_back(Text(row[1]));
        table.rowSecurity = IsTrue(row[2]);
        table.hasNode = table.hasNode || AsciiUpper(Text(row[1])) == "NODECODE";
    }
    return tables;
}

void RefuseAllSeeingRole(Connection& owner, const std::string& role) {
    const auto rows = owner.Select("select rolsuper, rolbypassrls, pg_has_role(?1, current_user, 'MEMBER') "
                                   "from pg_roles where rolname = ?1",
                                   {role});
    if (rows.empty()) throw EDatabase("The data pipe's role " + role + " does not exist");
    if (IsTrue(rows[0][0]) || IsTrue(rows[0][1]) || IsTrue(rows[0][2]))
        throw EDatabase(
            "The data pipe's role " + role +
            " reaches every row and column (a superuser, a role bypassing row security, or the "
            "owner of the tables or a member of the owner's role): give the pipe a role of its own");
}

// The privileges of one table, granted afresh.
std::string TableGrants(const std::string& name, const Table& table, const std::string& role) {
    const std::string target = Quoted(name);
    std::string script = "revoke all on " + target + " from " + role + ";\n";
    std::string open;
    for (const std::string& column : table.columns)
        if (!IsCredentialColumn(name, column)) open += (open.empty() ? "" : ", ") + Quoted(column);
    // A table with a credential column is reached through its other columns only.
    const std::string readable = CredentialColumnOf(name) ? "select (" + open + ")" : "select";
    if (IsServerKeptTable(name))
        return script + "grant " + readable + " on " + target + " to " + role + ";\n";
    if (!CredentialColumnOf(name))
        return script + "grant select, insert, update, delete on " + target + " to " + role + ";\n";
    return script + "grant " + readable + ", update (" + open + "), delete on " + target + " to " + role +
           ";\n";
}

} // namespace

void EnsurePipeRole(Connection& owner, const std::string& role) {
    auto exists = [&] { return !owner.Select("select 1 from pg_roles where rolname = ?1", {role}).empty(); };
    if (exists()) return;
    try {
        owner.Execute("create role " + Quoted(role) + " login");
    } catch (const EDatabase& e) {
        if (exists()) return; // another server made it meanwhile
        throw EDatabase("The data pipe's role " + role + " does not exist and cannot be created (" +
                        e.what() + "): create it (create role " + role +
                        " login password '...') or give kav-server --pipe-db with a role of its own");
    }
}

void GrantPipeAccess(Connection& owner, const std::string& role, std::optional<bool> rowSecurity) {
    InTransaction(owner, [&] {
        owner.Select(kSchemaLock);
        RefuseAllSeeingRole(owner, role);
        owner.Execute("create table if not exists KAV_PIPE_NODE (PID integer not null, "
                      "NODECODE varchar(2) not null, primary key (PID))");
        const std::string schema = Quoted(Text(owner.Select("select current_schema()").at(0).at(0)));
        const std::string pipe = Quoted(role);
        const auto tables = TablesOfSchema(owner);
        std::map<std::string, std::string> policyRoles; // table -> the roles its node policy is for
        for (const auto& row :
             owner.Select("select tablename::text, array_to_string(roles, ',') from pg_policies "
                          "where schemaname = current_schema() and policyname = ?1",
                          {std::string(kPolicy)}))
            policyRoles[Text(row[0])] = Text(row[1]);

        bool anyOn = false;
        for (const auto& [name, table] : tables)
            anyOn = anyOn || (table.hasNode && table.rowSecurity);
        const bool wanted = rowSecurity.value_or(anyOn);

        const std::string node =
            "NODECODE = (select NODECODE from " + schema + ".KAV_PIPE_NODE where PID = pg_backend_pid())";
        std::string script = "grant usage on schema " + schema + " to " + pipe + ";\n" +
                             "alter default privileges in schema " + schema +
                             " grant select, insert, update, delete on tables to " + pipe + ";\n";
        for (const auto& [name, table] : tables) {
            script += TableGrants(name, table, pipe);
            if (!table.hasNode || AsciiUpper(name) == "KAV_PIPE_NODE") continue;
            const std::string target = Quoted(name);
            const auto policy = policyRoles.find(name);
            if (policy == policyRoles.end() || policy->second != role) {
                if (policy != policyRoles.end())
                    script += "drop policy " + std::string(kPolicy) + " on " + target + ";\n";
                script += "create policy " + std::string(kPolicy) + " on " + target + " to " + pipe +
                          " using (" + node + ") with check (" + node + ");\n";
            }
            if (table.rowSecurity != wanted)
                script +=
                    "alter table " + target + (wanted ? " enable" : " disable") + " row level security;\n";
        }
        owner.Execute(script);
    });
}

void BindPipeNode(Connection& owner, int pid, const std::string& nodeCode, bool newSession) {
    if (newSession)
        owner.Execute("delete from KAV_PIPE_NODE where PID not in (select pid from pg_stat_activity)");
    owner.Execute("insert into KAV_PIPE_NODE (PID, NODECODE) values (?1, ?2) "
                  "on conflict (PID) do update set NODECODE = excluded.NODECODE",
                  {std::int64_t{pid}, nodeCode});
}

void RaisePipeRefusal(std::string_view sqlState, std::string_view message) {
    if (sqlState != "42501") return; // insufficient_privilege
    // The message names the table in any language of the server: "permission denied for table x".
    const std::string text = AsciiUpper(message);
    auto names = [&](std::string_view table) {
        for (std::size_t at = text.find(table); at != std::string::npos; at = text.find(table, at + 1)) {
            const std::size_t end = at + table.size();
            auto isNamePart = [&](std::size_t i) {
                const char c = text[i];
                return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
            };
            if ((at == 0 || !isNamePart(at - 1)) && (end == text.size() || !isNamePart(end))) return true;
        }
        return false;
    };
    for (const CredentialColumn& credential : kCredentialColumns)
        if (names(credential.table)) throw ECredentialColumn(QualifiedName(credential));
    for (std::string_view kept : kServerKeptTables)
        if (names(kept)) RefuseKeptTableWrite(kept);
}

} // namespace kav::server
