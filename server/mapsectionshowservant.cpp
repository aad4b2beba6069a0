#include "server/mapsectionshowservant.h"

#include "server/db/transaction.h"
#include "server/dbpipeservant.h"
#include "server/layout/sectionlayout.h"

namespace kav::server {

Variant TKavMapSectionShow::GetSections(const std::string& Context, const std::string& MapCode) {
    const std::string node = services_.sessions.Verify(Context).Value(context_names::NodeCode);
    return PacketResult(ReadSections(ThreadConnection(services_.database), node, MapCode),
                        services_.maxMessageBytes);
}

std::int32_t TKavMapSectionShow::SetSections(const std::string& Context, const std::string& MapCode,
                                             const Variant& SectionDelta) {
    const std::string node = services_.sessions.Verify(Context).Value(context_names::NodeCode);
    Connection& connection = ThreadConnection(services_.database);
    return InTransaction(connection, [&] { return SaveSections(connection, node, MapCode, SectionDelta); });
}

} // namespace kav::server
