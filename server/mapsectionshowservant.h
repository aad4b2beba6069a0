#pragma once
// TKavMapSectionShow: the map section show servant (services/mapsectionshow): a venue map's sections of
// the caller's node, read and saved (server/layout/sectionlayout.h) after checking the session; each
// save one transaction.

#include "server/serverservices.h"
#include "services/mapsectionshow/tpmapsectionshow.h"

namespace kav::server {

class TKavMapSectionShow final : public TTPMapSectionShow_serv {
public:
    explicit TKavMapSectionShow(const ServerServices& services) : services_(services) {}

    Variant GetSections(const std::string& Context, const std::string& MapCode) override;
    std::int32_t SetSections(const std::string& Context, const std::string& MapCode,
                             const Variant& SectionDelta) override;

private:
    const ServerServices& services_;
};

} // namespace kav::server
