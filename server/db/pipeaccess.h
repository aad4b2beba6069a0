#pragma once
// What the data pipe may never reach, whatever SQL a client sends: the credential columns (read
// or written) and the tables the server keeps for itself (written). The SQLite backend enforces it
// with an authorizer on its pipe connections, the PostgreSQL backend with the privileges of the
// pipe's own role (server/db/postgresqlpipe.h). Names are matched ignoring ASCII letter case.

#include <string>
#include <string_view>

namespace kav::server {

struct CredentialColumn {
    std::string_view table;
    std::string_view column;
};

// Password hashes: whoever reads one can guess its password offline, and whoever writes one
// chooses the password. (Session signing keys live in a key file, never in a column.)
inline constexpr CredentialColumn kCredentialColumns[] = {
    {"KAV_USER", "PASSWORDHASH"},
    {"KAV_MEMBER", "CARDPASSWORDHASH"},
};

// The audit, the login throttle, the pipe's node binding, the print log and the member system's
// cards and purchases (balances are money): a client may read them (a manager reads the audit and
// the print log) but never change them.
inline constexpr std::string_view kServerKeptTables[] = {"KAV_AUDIT_LOG", "KAV_LOGIN_THROTTLE",
                                                         "KAV_PIPE_NODE", "KAV_PRINT_LOG",
                                                         "KAV_MEMBER",    "KAV_MEMBER_PURCHASE"};

bool IsCredentialColumn(std::string_view table, std::string_view column);
// The first credential column of `table`, or null when it has none.
const CredentialColumn* CredentialColumnOf(std::string_view table);
bool IsServerKeptTable(std::string_view table);

// "TABLE.COLUMN" in upper case, as refusals name it.
std::string QualifiedName(const CredentialColumn& column);

// The refusal of a pipe statement that would write a table the server keeps, followed by the table.
inline constexpr std::string_view kServerKeptTableText = "数据通道不能修改由服务器维护的表 ";

// Raises the EDatabase of a pipe statement that would write a table the server keeps.
[[noreturn]] void RefuseKeptTableWrite(std::string_view table);

} // namespace kav::server
