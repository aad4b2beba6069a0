#pragma once
// Parameters for tests that run every catalogue statement on every test backend: one case per
// (backend, statement index), named "<backend>_<statement id>".

#include "statementcatalogue.h"
#include "testdatabase.h"

#include <cctype>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace kav::server::test {

using CatalogueCase = std::tuple<Backend, std::size_t>;

inline std::vector<CatalogueCase> CatalogueCases() {
    std::vector<CatalogueCase> cases;
    for (auto backend : TestBackends())
        for (std::size_t i = 0; i < kav::test::StatementCatalogue().size(); ++i)
            cases.emplace_back(backend, i);
    return cases;
}

inline std::string CatalogueCaseName(const ::testing::TestParamInfo<CatalogueCase>& info) {
    auto name = BackendName(std::get<0>(info.param)) + "_" +
                kav::test::StatementCatalogue()[std::get<1>(info.param)].id;
    for (auto& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

} // namespace kav::server::test
