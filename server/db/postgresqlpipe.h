#pragma once
// The data pipe's own role on PostgreSQL. Login, the services and the schema work run as the
// owner of the tables; the pipe runs the clients' SQL as a role that
//   - may read, insert, update and delete in every table of the schema, but
//   - has no privilege on a credential column (column privileges: it reads and updates the other
//     columns of those tables and inserts into none of them), and may only read the tables the
//     server keeps (server/db/pipeaccess.h);
//   - with row security by node on, sees and writes only the rows whose NODECODE is the node of
//     the session it serves. A pipe session's node is a row of KAV_PIPE_NODE keyed by its backend
//     process id, written by the owner's connection: no statement the pipe runs can change it.
// Owner-made tables created later get the same plain privileges by default; EnsureSchema (every
// server start) grants everything again, so that new credential tables are covered before the
// first client connects.

#include "server/db/database.h"

#include <optional>
#include <string>
#include <string_view>

namespace kav::server {

// The role the pipe logs in as when the server is not given a pipe connection string.
inline constexpr std::string_view kDefaultPipeRole = "kav_pipe";

// Creates `role` (login, without a password: for local trust or peer authentication) when it does
// not exist. Raises EDatabase saying what to do when the owner may not create roles.
void EnsurePipeRole(Connection& owner, const std::string& role);

// In one transaction of `owner`, serialised with other servers starting: refuses (EDatabase) a
// `role` that would reach every row and column anyway (a superuser, a role bypassing row security,
// the owner or a member of the owner's role); creates KAV_PIPE_NODE; gives `role` its privileges
// and its node policy on every table of the owner's current schema; and turns row security on or
// off as `rowSecurity` says, or when empty as the schema's node tables have it.
void GrantPipeAccess(Connection& owner, const std::string& role, std::optional<bool> rowSecurity);

// Records on `owner` that the pipe session with backend process id `pid` serves `nodeCode`. For a
// new session, rows of sessions that have ended are dropped first.
void BindPipeNode(Connection& owner, int pid, const std::string& nodeCode, bool newSession);

// For an error PostgreSQL raised on a pipe statement (its SQLSTATE and message): raises
// ECredentialColumn when the pipe was refused a credential table, EDatabase when it was refused
// writing a table the server keeps; returns for any other error.
void RaisePipeRefusal(std::string_view sqlState, std::string_view message);

} // namespace kav::server
