#pragma once
// The servants of the collect report services (services/collectreport/tpcollectreport_int.h). Each call
// first checks the caller's session and reads the caller's node only; arguments are checked before the
// database is read (reportarguments.h), and a refusal is an EosRemoteException for the seller.

#include "server/serverservices.h"
#include "services/collectreport/tpcollectreport.h"

namespace kav::server {

class TKavPerformCollectReport final : public TTPPerformCollectReport_serv {
public:
    explicit TKavPerformCollectReport(const ServerServices& services) : services_(services) {}

    Variant GetPriceLevel(const std::string& Context, const std::string& ProductList) override;
    Variant GetSeatAmount(const std::string& Context, const std::string& MapCodes,
                          const std::string& ProductCodes, const std::string& FromTime,
                          const std::string& ToTime, bool ByPeriod, bool CountAddedSeats) override;

private:
    const ServerServices& services_;
};

class TKavUserCollectReport final : public TTPUserCollectReport_serv {
public:
    explicit TKavUserCollectReport(const ServerServices& services) : services_(services) {}

    Variant GetPriceLevel(const std::string& Context, const std::string& ProductList) override;

private:
    const ServerServices& services_;
};

class TKavGroupCollectReport final : public TTPGroupCollectReport_serv {
public:
    explicit TKavGroupCollectReport(const ServerServices& services) : services_(services) {}

    Variant GetPriceLevel(const std::string& Context, const std::string& ProductList) override;

private:
    const ServerServices& services_;
};

// The price levels of the listed products of the caller's node, as the three services answer them.
Variant ReportPriceLevels(const ServerServices& services, const std::string& context,
                          const std::string& productList);

} // namespace kav::server
