#include "host/camapsectionshow.h"

#include "host/orb.h"

namespace kav {

TCAMapSectionShow::TCAMapSectionShow() : TCAMapSectionShow(ORB()) {}

TCAMapSectionShow::TCAMapSectionShow(pelio::TPelioClient& client) : proxy_(&client) {}

Variant TCAMapSectionShow::GetSections(const std::string& context, const std::string& mapCode) {
    return proxy_.GetSections(context, mapCode);
}

std::int32_t TCAMapSectionShow::SetSections(const std::string& context, const std::string& mapCode,
                                            const Variant& sectionDelta) {
    return proxy_.SetSections(context, mapCode, sectionDelta);
}

} // namespace kav
