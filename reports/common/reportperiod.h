#pragma once
// The sale period of a report, as the report condition box gives it: each bound set or not.

#include "platform/core/datetime.h"

#include <optional>
#include <string>

namespace kav::reports {

// The text of a bound that is not set: date-time zero, as the services take it.
inline constexpr const char* kUnsetTimeText = "1899-12-30 00:00:00";

struct TReportPeriod {
    std::optional<TDateTime> from, to;

    // Both bounds set: only then is anything restricted by the period.
    bool Bounded() const { return from && to; }
    // Both set and the end earlier than the start.
    bool Reversed() const { return Bounded() && *to < *from; }
    // "YYYY-MM-DD hh:mm:ss", or kUnsetTimeText.
    std::string FromText() const;
    std::string ToText() const;
    // "YYYY-MM-DD" of the period the report applied; empty when it applied none.
    std::string PrintedFrom() const;
    std::string PrintedTo() const;
};

} // namespace kav::reports
