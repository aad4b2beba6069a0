#pragma once
// The collect report services: what the performance, user and group collect reports read of the server
// besides their sale rows (docs/services.md). `Context` is the caller's signed session context text; every
// operation reads the caller's node only and answers a data packet (a byte-array variant).
//
// GetPriceLevel(Context, ProductList): the price of each price level of the products, rows NODECODE,
//   PRODUCTCODE, PRICELEVEL, PRICE, ordered by product and level. ProductList is the products' codes as
//   SQL string literals joined by commas ("'P0001','P0002'").
// GetSeatAmount(Context, MapCodes, ProductCodes, FromTime, ToTime, ByPeriod, CountAddedSeats): per seat
//   map and product one row MapCode, PRODUCTCODE and for each price level letter L of "ABCDEFGHJKMN"
//   L_TotalAmount (the seats of the level) and L_HoldAmount (those not sold). Codes one per line; an empty
//   MapCodes counts every map of the products. Times "YYYY-MM-DD hh:mm:ss"; empty or date-time zero
//   ("1899-12-30 00:00:00") is not set. With ByPeriod and ToTime set, the seats not sold are those the
//   ledger had not sold by ToTime; otherwise those free now. Added seats count only with CountAddedSeats.
//
// A refused call (no products, a list that is not one of codes, a time that is not one) raises
// EosRemoteException with a message for the seller.

#include "rpc/remote.h"
#include "rpc/variant.h"

#include <string>
#include <string_view>

namespace kav {

using pelio::Variant;

inline constexpr std::string_view kPerformCollectReportInterface = "ITPPerformCollectReport";
inline constexpr std::string_view kUserCollectReportInterface = "ITPUserCollectReport";
inline constexpr std::string_view kGroupCollectReportInterface = "ITPGroupCollectReport";

// The price levels a report has columns for, in column order.
inline constexpr std::string_view kReportPriceLevels = "ABCDEFGHJKMN";

class ITPPerformCollectReport {
public:
    virtual ~ITPPerformCollectReport() = default;

    virtual Variant GetPriceLevel(const std::string& Context, const std::string& ProductList) = 0;
    virtual Variant GetSeatAmount(const std::string& Context, const std::string& MapCodes,
                                  const std::string& ProductCodes, const std::string& FromTime,
                                  const std::string& ToTime, bool ByPeriod, bool CountAddedSeats) = 0;
};

class ITPUserCollectReport {
public:
    virtual ~ITPUserCollectReport() = default;

    virtual Variant GetPriceLevel(const std::string& Context, const std::string& ProductList) = 0;
};

class ITPGroupCollectReport {
public:
    virtual ~ITPGroupCollectReport() = default;

    virtual Variant GetPriceLevel(const std::string& Context, const std::string& ProductList) = 0;
};

namespace perform_collect_report_ops {
using namespace pelio::wire;
using I = ITPPerformCollectReport;
inline constexpr pelio::TRemoteOperation<I, OleVariant, String, String> GetPriceLevel{"GetPriceLevel",
                                                                                      &I::GetPriceLevel};
inline constexpr pelio::TRemoteOperation<I, OleVariant, String, String, String, String, String, Boolean,
                                         Boolean>
    GetSeatAmount{"GetSeatAmount", &I::GetSeatAmount};
} // namespace perform_collect_report_ops

namespace user_collect_report_ops {
using namespace pelio::wire;
using I = ITPUserCollectReport;
inline constexpr pelio::TRemoteOperation<I, OleVariant, String, String> GetPriceLevel{"GetPriceLevel",
                                                                                      &I::GetPriceLevel};
} // namespace user_collect_report_ops

namespace group_collect_report_ops {
using namespace pelio::wire;
using I = ITPGroupCollectReport;
inline constexpr pelio::TRemoteOperation<I, OleVariant, String, String> GetPriceLevel{"GetPriceLevel",
                                                                                      &I::GetPriceLevel};
} // namespace group_collect_report_ops

} // namespace kav
