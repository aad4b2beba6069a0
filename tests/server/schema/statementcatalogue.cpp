#include "statementcatalogue.h"

#include <fstream>
#include <optional>
#include <stdexcept>

namespace kav::test {
namespace {

std::vector<CatalogueStatement> ReadCatalogue() {
    std::ifstream in(KAV_SOURCE_DIR "/server/schema/statements.sql");
    if (!in) throw std::runtime_error("statement catalogue not found under " KAV_SOURCE_DIR);
    auto value = [](const std::string& line, const std::string& key) -> std::optional<std::string> {
        const auto prefix = "-- " + key + ": ";
        if (line.rfind(prefix, 0) != 0) return std::nullopt;
        return line.substr(prefix.size());
    };
    std::vector<CatalogueStatement> statements;
    CatalogueStatement entry;
    for (std::string line; std::getline(in, line);) {
        if (auto id = value(line, "id")) {
            entry.id = *id;
        } else if (auto call = value(line, "call")) {
            entry.call = *call;
        } else if (auto detail = value(line, "detail")) {
            entry.detail = *detail;
        } else if (!line.empty() && line.rfind("--", 0) != 0) {
            entry.sql = line;
            statements.push_back(entry);
            entry = {};
        }
    }
    return statements;
}

} // namespace

const std::vector<CatalogueStatement>& StatementCatalogue() {
    static const auto statements = ReadCatalogue();
    return statements;
}

const CatalogueStatement& CataloguedStatement(const std::string& id) {
    for (const auto& statement : StatementCatalogue())
        if (statement.id == id) return statement;
    throw std::runtime_error("no catalogue entry " + id);
}

} // namespace kav::test
