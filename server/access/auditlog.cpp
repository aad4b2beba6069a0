#include "server/access/auditlog.h"

#include "platform/core/datetime.h"
#include "server/ticketoffice/counter.h"

namespace kav::server {

std::string Clipped(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) return std::string(text);
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return std::string(text.substr(0, end));
}

void WriteAudit(Connection& owner, const AuditEvent& event) {
    const std::int64_t id =
        DrawNumbers(owner, "AUDITLOG", 1, "select coalesce(max(AUDITID), 0) from KAV_AUDIT_LOG");
    owner.Execute(
        "insert into KAV_AUDIT_LOG (AUDITID, EVENTTIME, EVENTKIND, NODECODE, USERCODE, ADDRESS, DETAIL) "
        "values (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
        {id, FormatDateTimeIso(Now()), std::string(event.kind), Clipped(event.nodeCode, 2),
         Clipped(event.userCode, 64), Clipped(event.address, 64), Clipped(event.detail, 256)});
}

} // namespace kav::server
