#pragma once
// The command line of kav-report, the reports for the nightly run:
//
//   kav-report perform|user|group|shift --server HOST:PORT --user CODE --password P [options]
//
// Exit status: 0 the report was written; 1 refused or failed (login, an unknown code, the server, a file);
// 2 a command line that cannot be used; 3 nothing to report (the report's own prompt, such as no rows).

#include "platform/core/datetime.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kav::reports {

inline constexpr int kExitWritten = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNothing = 3;

extern const char* const kReportUsage;

// A command line that cannot be used; the message says why.
class EReportUsage : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

enum class TReportKind { Perform, User, Group, Shift };

struct TReportCommand {
    TReportKind kind = TReportKind::Perform;
    std::string host;
    int port = 0;
    std::string user, password;
    std::vector<std::string> products, users, groups;
    std::optional<TDateTime> from, to;
    bool byPeriod = true;        // perform
    std::string source = "0";    // perform: 0 all, 1 own, 2 the partner's
    int type = 0;                // user, group: 0 all, 1 system, 2 online
    int side = 0;                // user, group: 0 all, 1 the theatre's, 2 the partner's
    bool groupByProduct = false; // group
    std::string sortOption = "HappenTime";
    std::string seller; // shift: another seller than the user
    std::string pdf, xlsx, layout;
};

// `arguments` without the program name; `environmentPassword` is KAV_REPORT_PASSWORD, used when no
// --password is given. Raises EReportUsage.
TReportCommand ParseReportCommand(const std::vector<std::string>& arguments,
                                  const std::string& environmentPassword = {});

} // namespace kav::reports
