#pragma once
// The order handler package's shared objects and the free functions over them. The objects are
// created on first use over the shared connection (ORB) and live until FreeOrderHandlerPackage, or
// until the package's library is unloaded or the process ends, when they go in the same order. All of
// them belong to the GUI thread.

#include "host/kavcontext.h"
#include "orderhandler/odrhasyncseats.h"
#include "orderhandler/odrhdataprovider.h"
#include "orderhandler/odrhorderprovider.h"
#include "salecore/usaleticketcoreintf.h"

#include <string>
#include <vector>

namespace kav::orderhandler {

// The package's login context; the main window loads the shell's context text into it.
TKavContext& odrHContext();
TodrHDataProvider& odrHDataProvider();
TodrHOrderInfoDataProvider& odrHOrderInfoDataProvider();
// The order handler's rights object and the member system, over the package's pipe; the main
// window initialises them and publishes them with PublishOrderHandlerRights.
ISPOrderHandler& odrHRights();
IKavMemberSys& odrHMemberSys();
// The background seat fetcher, with the shared connection's host and port.
TAsyncGetSeatInfo& AsyncGetSeatInfo();
// The sale core the order windows cancel and sell through (_SaleTicketCoreIntf).
ISaleTicketCoreIntf& odrHSaleCore();

// The pipe the package's providers, rights object and member system use, in place of a data pipe
// proxy on the shared connection (null: that proxy again); and the sale core in place of the process's
// one. For tests that watch or stand in for the server; call them while the package holds no objects
// (before first use, or after FreeOrderHandlerPackage). The objects must outlive their use.
void UseOrderHandlerPipe(ITPDBPipe* pipe);
void UseOrderHandlerSaleCore(ISaleTicketCoreIntf* core);

// Makes the main window's rights (and member system names) current for the order sources, the
// export columns and the bound records. Until then no order source is offered.
void PublishOrderHandlerRights(TOrderOutsideLookups rights);
// The same from the main window's rights object and member system, which stay in use until
// FreeOrderHandlerPackage or the next publication.
void PublishOrderHandlerRights(const ISPOrderHandler& rights, IKavMemberSys& memberSys);
// The order sources the current rights allow to view.
TOrderFromTypeInfoArr GetOrderFromTypeInfos();

// Frees the objects, users before what they use: background fetcher (waiting for it), order
// provider, look-up provider, published rights, rights object and member system, pipe proxy,
// context.
void FreeOrderHandlerPackage();

// Forwarders to the shared look-up provider and the code tables.
const std::vector<TShippingWayTypeInfoRecord>& GetShippingWays();
const std::vector<TCertificateInfo>& GetCertificateTypes();
int GetCertificateID(const std::string& certificateType);
std::string GetOrderFromDisplayName(const std::string& code);
std::string GetPayModeDisplayName(const std::string& orderFrom, const std::string& payModeCode);
bool UpdateCustomerClientInfo(const TCustomerClientInfo& info);

} // namespace kav::orderhandler
