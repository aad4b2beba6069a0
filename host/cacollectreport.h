#pragma once
// Access classes of the collect report services (services/collectreport), with the services' operation
// names and parameter order. Created without arguments they work over the shared connection (ORB); given a
// client they work over that one, which must outlive them. They raise what the proxies raise
// (EosRemoteException with the server's message, EosException for a lost connection). Threading: that of
// their client.

#include "services/collectreport/tpcollectreport.h"

#include <string>

namespace kav {

class TCAPerformCollectReport final {
public:
    TCAPerformCollectReport();
    explicit TCAPerformCollectReport(pelio::TPelioClient& client);
    TCAPerformCollectReport(const TCAPerformCollectReport&) = delete;
    TCAPerformCollectReport& operator=(const TCAPerformCollectReport&) = delete;

    Variant GetPriceLevel(const std::string& context, const std::string& productList);
    Variant GetSeatAmount(const std::string& context, const std::string& mapCodes,
                          const std::string& productCodes, const std::string& fromTime,
                          const std::string& toTime, bool byPeriod, bool countAddedSeats);

private:
    TTPPerformCollectReport proxy_;
};

class TCAUserCollectReport final {
public:
    TCAUserCollectReport();
    explicit TCAUserCollectReport(pelio::TPelioClient& client);
    TCAUserCollectReport(const TCAUserCollectReport&) = delete;
    TCAUserCollectReport& operator=(const TCAUserCollectReport&) = delete;

    Variant GetPriceLevel(const std::string& context, const std::string& productList);

private:
    TTPUserCollectReport proxy_;
};

class TCAGroupCollectReport final {
public:
    TCAGroupCollectReport();
    explicit TCAGroupCollectReport(pelio::TPelioClient& client);
    TCAGroupCollectReport(const TCAGroupCollectReport&) = delete;
    TCAGroupCollectReport& operator=(const TCAGroupCollectReport&) = delete;

    Variant GetPriceLevel(const std::string& context, const std::string& productList);

private:
    TTPGroupCollectReport proxy_;
};

} // namespace kav
