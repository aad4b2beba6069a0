#pragma once
// TCASaleSearchShow: access to the sale search service (ITPSaleSearchShow) as host/caservice.h
// describes.

#include "host/caservice.h"
#include "services/salesearchshow/tpsalesearchshow.h"

namespace kav {

class TCASaleSearchShow final : public TCAServiceAccess<TTPSaleSearchShow> {
public:
    using TCAServiceAccess::TCAServiceAccess;
};

} // namespace kav
