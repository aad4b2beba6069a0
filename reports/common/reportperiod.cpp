#include "reports/common/reportperiod.h"

namespace kav::reports {

namespace {
std::string BoundText(const std::optional<TDateTime>& bound) {
    return bound ? FormatDateTimeIso(*bound) : kUnsetTimeText;
}
} // namespace

std::string TReportPeriod::FromText() const {
    return BoundText(from);
}

std::string TReportPeriod::ToText() const {
    return BoundText(to);
}

std::string TReportPeriod::PrintedFrom() const {
    return Bounded() ? FormatDateIso(*from) : std::string();
}

std::string TReportPeriod::PrintedTo() const {
    return Bounded() ? FormatDateIso(*to) : std::string();
}

} // namespace kav::reports
