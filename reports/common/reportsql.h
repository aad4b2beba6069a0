#pragma once
// The SQL with which the collect reports read the sales ledger (KAV_REPORT_SHOW) through the data pipe.
// Result column names are part of the contract: the data modules read them. Every code goes into the text
// through SqlQuote, so an apostrophe in a code stays inside its literal.
//
// The period restricts the ledger only when both of its bounds are set; a ledger row without a sale class,
// an order source, an accounting group or an order creator counts as not the partner's (nulls compare as
// empty text), so that no sale drops out of both the own and the partner's figures.

#include "reports/common/reportperiod.h"

#include <string>
#include <vector>

namespace kav::reports {

// Whose sales a performance report counts.
enum class TSaleSource { All = 0, Own = 1, Partner = 2 };
// Which orders the user and group reports count ("类型:"): all, system (not online), online.
enum class TSaleType { All = 0, System = 1, Online = 2 };
// Which side's sales ("分组:"): all, the theatre's, the partner's.
enum class TSaleSide { All = 0, Theatre = 1, Partner = 2 };

// The codes as quoted literals joined by commas ("'P0001','P0002'"); empty codes are skipped.
std::string QuotedCodeList(const std::vector<std::string>& codes);

// The sale rows of the performance report.
std::string PerformSaleSQL(const std::string& nodeCode, const std::string& productList,
                           const TReportPeriod& period, TSaleSource source,
                           const std::string& partnerHomePage);
// Money per product, pay mode and price level of the same sales.
std::string PerformPaymentSQL(const std::string& nodeCode, const std::string& productList,
                              const TReportPeriod& period, TSaleSource source,
                              const std::string& partnerHomePage);
// The sale rows of the user report.
std::string UserSaleSQL(const std::string& nodeCode, const std::string& userList,
                        const std::string& productList, const TReportPeriod& period, TSaleType type,
                        TSaleSide side, const std::string& partnerHomePage);
// The sale rows of the group report.
std::string GroupSaleSQL(const std::string& nodeCode, const std::string& groupList,
                         const std::string& productList, const TReportPeriod& period, TSaleType type,
                         TSaleSide side, const std::string& partnerHomePage);

} // namespace kav::reports
