#pragma once
// KAV_AUDIT_LOG: what managers may need to see about access. Rows are only ever added, by the
// server's own connection; the data pipe may read them but not change them.

#include "server/db/database.h"

#include <string>
#include <string_view>

namespace kav::server {

namespace audit_kind {
inline constexpr std::string_view Login = "LOGIN";
inline constexpr std::string_view LoginFailed = "LOGINFAILED";   // wrong password or unknown user code
inline constexpr std::string_view LoginLocked = "LOGINLOCKED";   // refused at once during a lock
inline constexpr std::string_view LoginRefused = "LOGINREFUSED"; // right password, disabled user
inline constexpr std::string_view Lock = "LOCK";
inline constexpr std::string_view PipeRefused = "PIPEREFUSED"; // a statement reached a credential column
} // namespace audit_kind

struct AuditEvent {
    std::string_view kind;
    std::string nodeCode;
    std::string userCode;
    std::string address;
    std::string detail;
};

// Adds `event`, at the server's current time, inside the caller's transaction on `owner` (its
// number comes from the KAV_COUNTER row 'AUDITLOG'). Texts longer than their columns are cut.
void WriteAudit(Connection& owner, const AuditEvent& event);

// `text` cut to at most `bytes` bytes, never inside a UTF-8 character.
std::string Clipped(std::string_view text, std::size_t bytes);

} // namespace kav::server
