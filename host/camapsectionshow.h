#pragma once
// Access class of the map section service (services/mapsectionshow). Created without arguments it
// works over the shared connection (ORB); given a client it works over that one, which must outlive
// it. It raises what the proxy raises (EosRemoteException with the server's text, EosException for a
// lost connection). Threading: that of its client.

#include "services/mapsectionshow/tpmapsectionshow.h"

#include <cstdint>
#include <string>

namespace kav {

class TCAMapSectionShow {
public:
    TCAMapSectionShow();
    explicit TCAMapSectionShow(pelio::TPelioClient& client);
    TCAMapSectionShow(const TCAMapSectionShow&) = delete;
    TCAMapSectionShow& operator=(const TCAMapSectionShow&) = delete;

    // The map's sections.
    Variant GetSections(const std::string& context, const std::string& mapCode);
    // Saves the delta of those sections; answers how many were saved.
    std::int32_t SetSections(const std::string& context, const std::string& mapCode,
                             const Variant& sectionDelta);

private:
    TTPMapSectionShow proxy_;
};

} // namespace kav
