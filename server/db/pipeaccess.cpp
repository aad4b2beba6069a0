#include "server/db/pipeaccess.h"

#include "platform/core/textcodec.h"
#include "server/db/database.h"

#include <algorithm>

namespace kav::server {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && AsciiUpper(a) == AsciiUpper(b);
}

} // namespace

bool IsCredentialColumn(std::string_view table, std::string_view column) {
    return std::ranges::any_of(kCredentialColumns, [&](const CredentialColumn& credential) {
        return SameName(credential.table, table) && SameName(credential.column, column);
    });
}

const CredentialColumn* CredentialColumnOf(std::string_view table) {
    for (const CredentialColumn& credential : kCredentialColumns)
        if (SameName(credential.table, table)) return &credential;
    return nullptr;
}

bool IsServerKeptTable(std::string_view table) {
    return std::ranges::any_of(kServerKeptTables,
                               [&](std::string_view kept) { return SameName(kept, table); });
}

std::string QualifiedName(const CredentialColumn& column) {
    return std::string(column.table) + "." + std::string(column.column);
}

void RefuseKeptTableWrite(std::string_view table) {
    throw EDatabase(std::string(kServerKeptTableText) + AsciiUpper(table));
}

} // namespace kav::server
