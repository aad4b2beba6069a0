// A window package that cannot be loaded: it needs a variable that no library defines.

#include "host/snapin/formsnapin.h"
#include "host/snapin/snapinregistry.h"

extern "C" int kav_test_symbol_nobody_defines;

namespace {

class TCIBroken final : public kav::TKavFormSnapIn<QWidget> {};

const int required = kav_test_symbol_nobody_defines;
const kav::TSnapInRegistration registration{"CIBroken", kav::SnapInClass<TCIBroken>(),
                                            std::to_string(required)};

} // namespace
