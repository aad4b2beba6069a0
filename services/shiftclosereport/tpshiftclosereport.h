#pragma once
// The shift close report binding: TTPShiftCloseReport (the client proxy), TTPShiftCloseReport_stub
// (registered under "ITPShiftCloseReport" when this library is loaded) and TTPShiftCloseReport_serv (the
// servant a server derives).
//
// Proxy methods raise what a remote call raises (see rpc/pelioclient.h). A proxy must not outlive its
// client and, like it, serves one thread.

#include "rpc/pelioclient.h"
#include "rpc/registry.h"
#include "services/shiftclosereport/tpshiftclosereport_int.h"

namespace kav {

class TTPShiftCloseReport_proxy : public pelio::TPelioProxy, public ITPShiftCloseReport {
public:
    using pelio::TPelioProxy::TPelioProxy;

    Variant GetShiftClose(const std::string& Context, const std::string& SellerCode,
                          const std::string& FromTime, const std::string& ToTime) override;
};

class TTPShiftCloseReport : public TTPShiftCloseReport_proxy {
public:
    using TTPShiftCloseReport_proxy::TTPShiftCloseReport_proxy;
};

class TTPShiftCloseReport_serv : public pelio::TPelioServant, public ITPShiftCloseReport {
public:
    // Defined in the library, so that a server deriving a servant loads it and the stub's registration.
    ~TTPShiftCloseReport_serv() override;
};

class TTPShiftCloseReport_stub
    : public pelio::TRemoteStub<TTPShiftCloseReport_serv, shift_close_report_ops::GetShiftClose> {};

} // namespace kav
