#include "host/kavcontext.h"

namespace kav {

void TKavContext::SetAsString(std::string_view text) {
    values_ = TContextText::Parse(text);
    text_ = text;
}

} // namespace kav
