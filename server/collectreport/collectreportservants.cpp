#include "server/collectreport/collectreportservants.h"

#include "host/sqltext.h"
#include "rpc/exceptions.h"
#include "server/collectreport/reportarguments.h"
#include "server/collectreport/seatamount.h"
#include "server/dbpipeservant.h"

namespace kav::server {

namespace {
constexpr std::string_view kProducts = "演出列表";
} // namespace

Variant ReportPriceLevels(const ServerServices& services, const std::string& context,
                          const std::string& productList) {
    const std::string node = services.sessions.Verify(context).Value(context_names::NodeCode);
    std::string codes;
    for (const std::string& code : ParseQuotedCodes(productList, kProducts))
        codes += (codes.empty() ? "" : ",") + SqlQuote(code);
    return PacketResult(
        ThreadConnection(services.database)
            .GetData("select NODECODE, PRODUCTCODE, PRICELEVEL, PRICE from KAV_PRICE_SHOW where "
                     "NODECODE = " +
                     SqlQuote(node) + " and PRODUCTCODE in (" + codes + ") order by PRODUCTCODE, PRICELEVEL"),
        services.maxMessageBytes);
}

Variant TKavPerformCollectReport::GetPriceLevel(const std::string& Context, const std::string& ProductList) {
    return ReportPriceLevels(services_, Context, ProductList);
}

Variant TKavPerformCollectReport::GetSeatAmount(const std::string& Context, const std::string& MapCodes,
                                                const std::string& ProductCodes, const std::string& FromTime,
                                                const std::string& ToTime, bool ByPeriod,
                                                bool CountAddedSeats) {
    SeatAmountQuery query;
    query.node = services_.sessions.Verify(Context).Value(context_names::NodeCode);
    query.mapCodes = ParseCodeLines(MapCodes, "座位图列表");
    query.productCodes = ParseCodeLines(ProductCodes, kProducts);
    if (query.productCodes.empty()) throw pelio::EosRemoteException(std::string(kProducts) + "为空");
    ParseReportTime(FromTime, "起始时间"); // checked; the seats not sold depend on the end only
    const std::optional<std::string> to = ParseReportTime(ToTime, "结束时间");
    if (ByPeriod) query.soldBy = to;
    query.countAddedSeats = CountAddedSeats;
    return PacketResult(SeatAmountPacket(ThreadConnection(services_.database), query),
                        services_.maxMessageBytes);
}

Variant TKavUserCollectReport::GetPriceLevel(const std::string& Context, const std::string& ProductList) {
    return ReportPriceLevels(services_, Context, ProductList);
}

Variant TKavGroupCollectReport::GetPriceLevel(const std::string& Context, const std::string& ProductList) {
    return ReportPriceLevels(services_, Context, ProductList);
}

} // namespace kav::server
