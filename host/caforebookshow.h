#pragma once
// TCAForeBookShow: access to the fore-book accounting service (ITPForeBookShow) as host/caservice.h
// describes.

#include "host/caservice.h"
#include "services/forebookshow/tpforebookshow.h"

namespace kav {

class TCAForeBookShow final : public TCAServiceAccess<TTPForeBookShow> {
public:
    using TCAServiceAccess::TCAServiceAccess;
};

} // namespace kav
