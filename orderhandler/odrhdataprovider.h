#pragma once
// TodrHDataProvider: the order handler's look-ups (venues, product classes, sections, pay modes,
// credit companies, certificate types, site switches), the product search and the write-back of
// an order's customer details, all through the remote data pipe.
//
// Every call passes the context's current text, read at the call. The pipe and the context must
// outlive the provider. Remote failures pass to the caller unchanged (EosException and its kin).
// Thread safety: none; the provider and its pipe serve one thread.

#include "host/kavcontext.h"
#include "orderhandler/odrhrecords.h"
#include "orderhandler/odrhtypes.h"
#include "platform/dataset/clientdataset.h"
#include "services/dbpipe/tpdbpipe_int.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kav::orderhandler {

// The customer details of an order as the customer dialog writes them back.
struct TCustomerClientInfo {
    std::string orderCode;
    std::string name;
    std::string address;
    std::string telephone;
    std::string cellPhone;
    std::string identityNumber;
    std::string comment;
    std::string invoiceHead;
    std::string shippingWay;
    std::int32_t identTypeId = 0;
    // The order shows masked customer details (a partner's web sale): only the comment of the customer
    // row is written, so the masks never replace the real name, phones, address and certificate.
    bool customerMasked = false;
};

// The action module of the pay modes offered for an order source: "02" for source 2, "03" for 3, else empty.
std::string ActionModuleOf(const std::string& orderFrom);

class TodrHDataProvider {
public:
    TodrHDataProvider(ITPDBPipe& pipe, const TKavContext& context);
    TodrHDataProvider(const TodrHDataProvider&) = delete;
    TodrHDataProvider& operator=(const TodrHDataProvider&) = delete;

    // Read once, then kept.
    const std::vector<TCertificateInfo>& GetCertificateTypes();
    // Identity type id of the first certificate type with that code, -1 when none.
    int GetCertificateID(const std::string& certificateType);
    // Collect at the box office and delivered to the door.
    const std::vector<TShippingWayTypeInfoRecord>& GetShippingWays() const;

    // Each list starts with an entry whose code and name are empty.
    std::vector<TPlaceItem> GetPlace();
    std::unique_ptr<TClientDataSet> GetPlaceDataSource();
    std::vector<TProductClassItem> GetProductClass();
    std::vector<TSectionItem> GetSections(const std::string& productCode);

    // The pay modes with their action modules, read once into a kept table.
    TClientDataSet& GetPayModeData();
    // The pay modes offered for an order source (action module 02 for source 2, 03 for 3, empty
    // otherwise), in display order. Leaves the kept table unfiltered.
    std::vector<TPayModeItem> GetPayModes(const std::string& orderFrom);
    // The site's valid credit companies, read once into a kept table.
    TClientDataSet& GetCreditCompanyData();
    std::vector<TCreditCompanyItem> GetCreditCompanyList();
    // Whether a pay mode of that action module prints a statement; independent of any earlier
    // GetPayModes. Loads the pay-mode and credit company tables when not yet loaded.
    bool NeedPrintNote(const std::string& actionModule, const std::string& payModeCode);
    // The name of the pay mode with that code among GetPayModes(orderFrom), empty when none.
    std::string GetPayModeDisplayName(const std::string& orderFrom, const std::string& payModeCode);
    // Index of the member-card pay mode (M) in the list, 0 when none.
    static int GetFeeMemberPayModes(const std::vector<TPayModeItem>& payModes);
    // Index of the pay mode with that code in the list, 0 when none.
    static int GetCurrentPayModes(const std::string& code, const std::vector<TPayModeItem>& payModes);

    bool NeedPostPurchaInfo();
    // ISVALID of the switch CONNECTUMNBYDB, empty when the switch has no row.
    std::string GetConnectUmnByDB();

    // Performances on sale (status 5 or 6) happening between the two date-time texts, narrowed by
    // the non-empty ones of venue, class and name fragment. The result replaces the previous one.
    TClientDataSet& SearchProduct(const std::string& placeCode, const std::string& classCode,
                                  const std::string& fromTime, const std::string& toTime,
                                  const std::string& name);

    // Writes the customer row (only its comment for a masked customer), then, only when that changed one
    // row, the order's invoice head and shipping way. Two separate requests: when the second fails the first stays done. True only
    // when both changed one row.
    bool UpdateCustomerClientInfo(const TCustomerClientInfo& info);

private:
    void Load(TClientDataSet& dataSet, const std::string& sql);
    std::vector<TCodeNameItem> CodeNameList(const std::string& sql);

    ITPDBPipe& pipe_;
    const TKavContext& context_;
    TClientDataSet payModes_;
    TClientDataSet creditCompanies_;
    TClientDataSet products_;
    std::optional<std::vector<TCertificateInfo>> certificateTypes_;
};

} // namespace kav::orderhandler
