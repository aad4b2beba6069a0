#pragma once
// The collect report bindings: for each of ITPPerformCollectReport, ITPUserCollectReport and
// ITPGroupCollectReport a client proxy (TTPXxx), a stub (registered under the interface's name when this
// library is loaded) and the servant base a server derives (TTPXxx_serv).
//
// Proxy methods raise what a remote call raises (see rpc/pelioclient.h). A proxy must not outlive its
// client and, like it, serves one thread.

#include "rpc/pelioclient.h"
#include "rpc/registry.h"
#include "services/collectreport/tpcollectreport_int.h"

namespace kav {

class TTPPerformCollectReport_proxy : public pelio::TPelioProxy, public ITPPerformCollectReport {
public:
    using pelio::TPelioProxy::TPelioProxy;

    Variant GetPriceLevel(const std::string& Context, const std::string& ProductList) override;
    Variant GetSeatAmount(const std::string& Context, const std::string& MapCodes,
                          const std::string& ProductCodes, const std::string& FromTime,
                          const std::string& ToTime, bool ByPeriod, bool CountAddedSeats) override;
};
class TTPPerformCollectReport : public TTPPerformCollectReport_proxy {
public:
    using TTPPerformCollectReport_proxy::TTPPerformCollectReport_proxy;
};
class TTPPerformCollectReport_serv : public pelio::TPelioServant, public ITPPerformCollectReport {
public:
    // Defined in the library, so that a server deriving a servant loads it and the stub's registration.
    ~TTPPerformCollectReport_serv() override;
};
class TTPPerformCollectReport_stub
    : public pelio::TRemoteStub<TTPPerformCollectReport_serv, perform_collect_report_ops::GetPriceLevel,
                                perform_collect_report_ops::GetSeatAmount> {};

class TTPUserCollectReport_proxy : public pelio::TPelioProxy, public ITPUserCollectReport {
public:
    using pelio::TPelioProxy::TPelioProxy;

    Variant GetPriceLevel(const std::string& Context, const std::string& ProductList) override;
};
class TTPUserCollectReport : public TTPUserCollectReport_proxy {
public:
    using TTPUserCollectReport_proxy::TTPUserCollectReport_proxy;
};
class TTPUserCollectReport_serv : public pelio::TPelioServant, public ITPUserCollectReport {
public:
    ~TTPUserCollectReport_serv() override;
};
class TTPUserCollectReport_stub
    : public pelio::TRemoteStub<TTPUserCollectReport_serv, user_collect_report_ops::GetPriceLevel> {};

class TTPGroupCollectReport_proxy : public pelio::TPelioProxy, public ITPGroupCollectReport {
public:
    using pelio::TPelioProxy::TPelioProxy;

    Variant GetPriceLevel(const std::string& Context, const std::string& ProductList) override;
};
class TTPGroupCollectReport : public TTPGroupCollectReport_proxy {
public:
    using TTPGroupCollectReport_proxy::TTPGroupCollectReport_proxy;
};
class TTPGroupCollectReport_serv : public pelio::TPelioServant, public ITPGroupCollectReport {
public:
    ~TTPGroupCollectReport_serv() override;
};
class TTPGroupCollectReport_stub
    : public pelio::TRemoteStub<TTPGroupCollectReport_serv, group_collect_report_ops::GetPriceLevel> {};

} // namespace kav
