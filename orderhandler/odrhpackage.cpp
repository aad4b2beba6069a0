#include "orderhandler/odrhpackage.h"

#include "host/orb.h"
#include "orderhandler/odrhcodetables.h"
#include "services/dbpipe/tpdbpipe.h"

#include <memory>

namespace kav::orderhandler {

namespace {

struct Package {
    // Declared in the order of use, so that each is created after what it uses.
    std::unique_ptr<TKavContext> context;
    std::unique_ptr<TTPDBPipe> pipe;
    ITPDBPipe* pipeInUse = nullptr; // a test's, or null for the proxy
    ISaleTicketCoreIntf* saleCore = nullptr; // a test's, or null for the process's core
    std::unique_ptr<TSPOrderHandler> rightsObject;
    std::unique_ptr<TKavMemberSys> memberSys;
    std::unique_ptr<TodrHDataProvider> lookups;
    std::unique_ptr<TodrHOrderInfoDataProvider> orders;
    std::unique_ptr<TAsyncGetSeatInfo> asyncSeats;
    TOrderOutsideLookups rights;
};

Package& Shared() {
    static Package package;
    return package;
}

ITPDBPipe& Pipe() {
    Package& p = Shared();
    if (p.pipeInUse) return *p.pipeInUse;
    if (!p.pipe) p.pipe = std::make_unique<TTPDBPipe>(&ORB());
    return *p.pipe;
}

} // namespace

TKavContext& odrHContext() {
    Package& p = Shared();
    if (!p.context) p.context = std::make_unique<TKavContext>();
    return *p.context;
}

TodrHDataProvider& odrHDataProvider() {
    Package& p = Shared();
    if (!p.lookups) p.lookups = std::make_unique<TodrHDataProvider>(Pipe(), odrHContext());
    return *p.lookups;
}

TodrHOrderInfoDataProvider& odrHOrderInfoDataProvider() {
    Package& p = Shared();
    if (!p.orders)
        p.orders =
            std::make_unique<TodrHOrderInfoDataProvider>(Pipe(), odrHContext(), odrHDataProvider(), p.rights);
    return *p.orders;
}

ISPOrderHandler& odrHRights() {
    Package& p = Shared();
    if (!p.rightsObject) p.rightsObject = std::make_unique<TSPOrderHandler>(Pipe());
    return *p.rightsObject;
}

IKavMemberSys& odrHMemberSys() {
    Package& p = Shared();
    if (!p.memberSys) p.memberSys = std::make_unique<TKavMemberSys>(Pipe());
    return *p.memberSys;
}

TAsyncGetSeatInfo& AsyncGetSeatInfo() {
    Package& p = Shared();
    if (!p.asyncSeats) p.asyncSeats = std::make_unique<TAsyncGetSeatInfo>(ORB().GetHost(), ORB().GetPort());
    return *p.asyncSeats;
}

ISaleTicketCoreIntf& odrHSaleCore() {
    Package& p = Shared();
    return p.saleCore ? *p.saleCore : _SaleTicketCoreIntf();
}

void UseOrderHandlerPipe(ITPDBPipe* pipe) {
    Shared().pipeInUse = pipe;
}

void UseOrderHandlerSaleCore(ISaleTicketCoreIntf* core) {
    Shared().saleCore = core;
}

void PublishOrderHandlerRights(TOrderOutsideLookups rights) {
    Package& p = Shared();
    p.rights = std::move(rights);
    if (p.orders) p.orders->SetOutsideLookups(p.rights);
}

void PublishOrderHandlerRights(const ISPOrderHandler& rights, IKavMemberSys& memberSys) {
    PublishOrderHandlerRights(OutsideLookupsOf(rights, memberSys));
}

TOrderFromTypeInfoArr GetOrderFromTypeInfos() {
    return OrderFromTypeInfos(Shared().rights.canViewOrders);
}

void FreeOrderHandlerPackage() {
    Package& p = Shared();
    p.asyncSeats.reset();
    p.orders.reset();
    p.lookups.reset();
    p.rights = {}; // its questions refer to the rights object and the member system
    p.memberSys.reset();
    p.rightsObject.reset();
    p.pipe.reset();
    p.context.reset();
}

const std::vector<TShippingWayTypeInfoRecord>& GetShippingWays() {
    return odrHDataProvider().GetShippingWays();
}

const std::vector<TCertificateInfo>& GetCertificateTypes() {
    return odrHDataProvider().GetCertificateTypes();
}

int GetCertificateID(const std::string& certificateType) {
    return odrHDataProvider().GetCertificateID(certificateType);
}

std::string GetOrderFromDisplayName(const std::string& code) {
    return GetOrderFromDisplayName(code, Shared().rights.canViewOrders);
}

std::string GetPayModeDisplayName(const std::string& orderFrom, const std::string& payModeCode) {
    return odrHDataProvider().GetPayModeDisplayName(orderFrom, payModeCode);
}

bool UpdateCustomerClientInfo(const TCustomerClientInfo& info) {
    return odrHDataProvider().UpdateCustomerClientInfo(info);
}

} // namespace kav::orderhandler
