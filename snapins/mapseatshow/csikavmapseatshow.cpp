// csiKavMapSeatShow: the plug-in the client shell loads to offer the seat layout ("座位划定") in its
// 窗口 menu; unloading it takes the entry away again.

#include "host/snapin/snapinregistry.h"
#include "mapseatshow/cimapseatshow.h"

namespace {

const kav::TSnapInRegistration registration{"CIMapSeatShow", kav::SnapInClass<kav::TCIMapSeatShow>(),
                                            "座位划定"};

} // namespace
