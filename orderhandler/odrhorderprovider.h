#pragma once
// TodrHOrderInfoDataProvider: the order searches, the seat fetch, the site switches the order
// windows ask for and the data set of the Excel export, through the remote data pipe.
//
// Each search returns a new list the caller owns; the lists hold copies, so they stay valid across
// later searches. The records' seat loaders call back into this provider, which must therefore
// outlive them, as must the pipe, the context and the look-up provider. Remote failures pass to
// the caller unchanged. Thread safety: none; one provider and its pipe serve one thread.

#include "host/kavcontext.h"
#include "host/membersys.h"
#include "host/orderhandlerrights.h"
#include "orderhandler/odrhbinding.h"
#include "orderhandler/odrhcodetables.h"
#include "orderhandler/odrhdataprovider.h"
#include "orderhandler/odrhrecords.h"
#include "platform/dataset/clientdataset.h"
#include "services/dbpipe/tpdbpipe_int.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kav::orderhandler {

// What the order handler's rights object and the member system answer, as far as this provider
// needs them; unset questions answer "no" and an empty name.
struct TOrderOutsideLookups {
    TCanViewOrders canViewOrders;
    std::function<bool(int column)>
        canCustomerToExcel; // 1 name, 2 cell phone, 3 identity number, 4 telephone
    std::function<std::string(const std::string& clientType)> customerTypeName;
};

// The questions above answered by the rights object and the member system, which must outlive
// every provider the result is given to.
TOrderOutsideLookups OutsideLookupsOf(const ISPOrderHandler& rights, IKavMemberSys& memberSys);

class TodrHOrderInfoDataProvider {
public:
    TodrHOrderInfoDataProvider(ITPDBPipe& pipe, const TKavContext& context, TodrHDataProvider& lookups,
                               TOrderOutsideLookups outside = {});
    TodrHOrderInfoDataProvider(const TodrHOrderInfoDataProvider&) = delete;
    TodrHOrderInfoDataProvider& operator=(const TodrHOrderInfoDataProvider&) = delete;

    void SetOutsideLookups(TOrderOutsideLookups outside) { outside_ = std::move(outside); }

    std::unique_ptr<TodrHOrderInfoList> SearchOrderHandlerInfoEx(const std::string& orderCode);
    std::unique_ptr<TodrHOrderInfoList> SearchOrderHandlerInfoExPS(const std::string& password);
    std::unique_ptr<TodrHOrderInfoList>
    SearchOrderHandlerInfoEx(const TOrderHandlerSearchCondition& condition);

    // The seats of one order; their rows are also kept as the seat copy (GetOrderSeatsInfo).
    std::unique_ptr<TodrHSeatInfoList> SearchOrderHandlerSeatInfo(const std::string& nodeCode,
                                                                  const std::string& orderCode);
    // The seat rows of the last seat fetch as a data packet; empty before the first.
    std::string GetOrderSeatsInfo() const;

    // The orders of the last search as the export data set, rebuilt at each call and owned by the
    // provider: the order columns with display labels, the customer name, cell phone, identity
    // number and telephone columns only as canCustomerToExcel(1..4) allows, and the calculated
    // display names of source, customer type, shipping way and pay mode and the continued time.
    // Text sizes are declared as the export layout gives them; longer values are kept whole.
    TClientDataSet& GetExportExcelDS();
    // The price lines of the exported orders, one row each with its OrderCode; owned by the provider.
    TClientDataSet& GetDiscountExcelDS();

    // ISVALID of the switch ORDER_VALID_DAY, N when it has no row.
    std::string IsOrderVaildDay();
    // Y when the switch CONTROLOUTPRINTKIND is Y, else N.
    std::string GetSysInfo();
    // Whether the order's pay mode (of online orders) prints a statement; the member id takes no part.
    bool Get_IsPrintNote(const std::string& memberId, const std::string& payModeCode);

    const std::string& LastOrderSQL() const noexcept { return orderSql_; }

private:
    std::unique_ptr<TodrHOrderInfoList> Search(std::string masterSql);
    // ISVALID of the first row; nullopt when there is none.
    std::optional<std::string> SwitchValue(const std::string& sql);
    void FillExportRows();

    ITPDBPipe& pipe_;
    const TKavContext& context_;
    TodrHDataProvider& lookups_;
    TOrderOutsideLookups outside_;
    TClientDataSet orders_;
    TClientDataSet seats_;
    TClientDataSet export_;
    TClientDataSet exportDiscounts_;
    std::string orderSql_;
    std::string seatSql_;
};

} // namespace kav::orderhandler
