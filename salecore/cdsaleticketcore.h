#pragma once
// TCDSaleTicketCore: the sale core's datasets, and the ticket columns a face prints that the server
// does not send.
//
//   cdsAccount            the payment of one accounting (NODECODE, PKID, ORDERCODE, PAYMODECODE,
//                         CREDITCARDSTYLECODE, CREDITCARDCODE, RELACCEPTABLES)
//   cdsGroupMaxSaleMoney  the agent group's sales-ceiling record, as the group component loads it
//   cdsPayModeMoney       the split of a payment over pay modes (NODECODE, PRODUCTCODE, ORDERCODE,
//                         PAYMODECODE, AMOUNT, REMARK)
//   cdsTicketFace         the performance's faces, each with its elements (qryElement, cdsElement())
//                         and the sections it serves (qrySection, cdsFaceSection()); STYLENAME computed
//   cdsTicket             the ticket being printed, with FULLSEATNAME, QRCODE and DAYOFWEEK computed
//   TempcdsOrder          the collected order, kept in "cdsorder.cds"; ISPrintPriceV and PrintOriginalV
//                         computed
//
// Threading: GUI thread only; one module per sale core.

#include "platform/core/datetime.h"
#include "platform/dataset/clientdataset.h"
#include "rpc/variant.h"

#include <string>
#include <string_view>

namespace kav {

class TCDSaleTicketCore final {
public:
    TCDSaleTicketCore();
    TCDSaleTicketCore(const TCDSaleTicketCore&) = delete;
    TCDSaleTicketCore& operator=(const TCDSaleTicketCore&) = delete;

    TClientDataSet cdsAccount;
    TClientDataSet cdsGroupMaxSaleMoney;
    TClientDataSet cdsPayModeMoney;
    TClientDataSet cdsTicketFace;
    TClientDataSet cdsTicket;
    TClientDataSet TempcdsOrder;

    // The nested detail cursors of the current face; valid until cdsTicketFace is loaded again.
    TClientDataSet& cdsElement();
    TClientDataSet& cdsFaceSection();

    // Loads a ticket packet; a PARVALUE with more than two decimals is rounded to two. An empty
    // packet leaves cdsTicket without records. Raises EDatabaseError for bytes that are no packet.
    void LoadTicket(const pelio::Variant& packet);
    // An empty packet leaves cdsTicketFace closed (no faces).
    void LoadTicketFaces(const pelio::Variant& packet);

    // Empties the payment datasets, ready for one accounting.
    void ClearAccount();
};

// The computed ticket texts, also used where no dataset is at hand.
std::string FullSeatName(std::string_view section, std::string_view floor, std::string_view row,
                         std::string_view seat);
std::string QrCodeText(std::string_view orderNo, std::string_view barcode);
std::string DayOfWeekText(TDateTime date);

} // namespace kav
