// The printing half of TSaleTicketCoreImpl: choosing the face, making each ticket at the ticket
// office and printing it, and printing again the tickets of an order.

#include "host/sqltext.h"
#include "platform/core/textcodec.h"
#include "platform/widgets/ticketface.h"
#include "rpc/exceptions.h"
#include "salecore/usaleticketcoreimpl.h"

namespace kav {

namespace {

std::string Text(TClientDataSet& dataSet, std::string_view name) {
    TField* field = dataSet.FindField(name);
    return field ? field->AsString() : std::string();
}

bool HasRecord(const TClientDataSet& dataSet) {
    return dataSet.Active() && !dataSet.IsEmpty();
}

} // namespace

std::string FitPIC(const std::string& Extra, const std::string& Pic) {
    const std::size_t bar = Extra.rfind('|');
    std::string fitted = bar == std::string::npos ? std::string() : Extra.substr(0, bar + 1);
    if (Pic.find_first_not_of(" \t") != std::string::npos) fitted += Pic;
    return fitted;
}

void TSaleTicketCoreImpl::BindFace(TKavTicketFace& Face) {
    face_ = &Face;
    Face.SetDataSource(&module_.cdsTicket);
    Face.SetFaceSource(&module_.cdsTicketFace);
    Face.SetElementSource(HasRecord(module_.cdsTicketFace) ? &module_.cdsElement() : nullptr);
}

void TSaleTicketCoreImpl::UpdateTicketFace(const std::string& SectionCode,
                                           const std::string& SectionGroupCode) {
    TClientDataSet& faces = module_.cdsTicketFace;
    if (!HasRecord(faces)) return;
    std::string style = "1";
    bool matched = false;
    for (faces.First(); !faces.Eof() && !matched; faces.Next()) {
        TClientDataSet& sections = module_.cdsFaceSection();
        for (sections.First(); !sections.Eof(); sections.Next()) {
            const std::string code = Text(sections, "SECTIONCODE");
            if (Text(sections, "SECTIONTYPE") == "2" ? code == SectionCode : code == SectionGroupCode) {
                style = Text(faces, "TICKETSTYLE");
                matched = true;
                break;
            }
        }
    }
    if (!faces.Locate("TICKETSTYLE", {style})) {
        faces.Close(); // no face to print with; the check before printing says so
        return;
    }

    TClientDataSet& elements = module_.cdsElement();
    std::optional<std::string> picture;
    for (elements.First(); !elements.Eof(); elements.Next()) {
        if (!EqualsIgnoringCase(Text(elements, "ELEMENTTYPE"), "TSImage")) continue;
        if (!picture) {
            TClientDataSet rows;
            rows.SetData(Query(SqlFormat("Select BACKPIC from KAV_SECTION_SHOW where SECTIONCODE = '%s'",
                                         {SectionCode}))
                             .ByteArrayView());
            picture = rows.IsEmpty() ? std::string() : rows.FieldByName("BACKPIC").AsString();
        }
        elements.Edit();
        elements.FieldByName("EXTRASTRING").SetAsString(FitPIC(Text(elements, "EXTRASTRING"), *picture));
        elements.Post();
    }
    elements.First();
}

bool TSaleTicketCoreImpl::FetchTicket(const std::string& OrderCode, const std::string& SeatCode) {
    module_.LoadTicket(ticketOffice_.GetTicketInfo(ContextText(), OrderCode, SeatCode));
    return module_.cdsTicket.Active() && module_.cdsTicket.RecordCount() == 1;
}

TPrintTicket_Result TSaleTicketCoreImpl::PrintRun(const std::string& Context, const std::string* ReprintOrder,
                                                  const std::string& ProductCode,
                                                  const std::string& SectionCode,
                                                  const std::string& SectionGroupCode,
                                                  const std::string& SaleClassCode, Tpt_SeatInfoList& Seats,
                                                  TKavTicketFace& Face, std::string* OrderHandlerTime) {
    TPrintTicket_Result result = R_PT_OK;
    try {
        LoadContext(Context);
        sectionCode_ = SectionCode;
        module_.LoadTicketFaces(ticketFaceShow_.GetTicketFace(ContextText(), ProductCode));
        UpdateTicketFace(SectionCode, SectionGroupCode);
        BindFace(Face);
        Face.UpdateFace();
        Face.UpdateElements();
        // Nothing is numbered for a ticket that could not come out right.
        try {
            Face.CheckUsable();
        } catch (const ETicketFace& e) {
            throw ETicketFace("演出 " + ProductCode + " 没有可用的票面：" + e.what());
        }
        Face.OpenPrinter();

        if (onBeforePrintTickets_) onBeforePrintTickets_();
        for (const auto& seat : Seats) {
            if (seat->Printed) continue;
            const std::string& code = seat->SeatCode;
            // A seat list made afresh for a sale printed in part: the seats already out stay out.
            if (!ReprintOrder && printedSeats_.contains(code)) {
                seat->Printed = true;
                continue;
            }
            const std::string reuseOrder = ReprintOrder                    ? *ReprintOrder
                                           : doubtfulSeats_.contains(code) ? saleOrderCode_
                                                                           : std::string();
            if (reuseOrder.empty() || !FetchTicket(reuseOrder, code)) {
                // From here until it is printed the seat may have a ticket, even if this call fails.
                doubtfulSeats_.insert(code);
                module_.LoadTicket(ticketOffice_.OutputTicket(
                    ContextText(), code, {}, seat->IsGift ? "Y" : "N", SaleClassCode, ProductCode));
            }
            if (!HasRecord(module_.cdsTicket)) {
                result = R_PT_OUTPUTTICKETFAILED;
                SetLastSaleCoreErrorMsg({});
                break;
            }
            if (const std::string order = Text(module_.cdsTicket, "ORDERCODE"); !order.empty())
                BeginSale(order);
            if (OrderHandlerTime) *OrderHandlerTime = Text(module_.cdsTicket, "OrderHandlerTime");
            const std::string seatName = Text(module_.cdsTicket, "FULLSEATNAME");
            if (onBeforePrintATicket_) onBeforePrintATicket_(seatName);
            Face.Print();
            seat->Printed = true;
            doubtfulSeats_.erase(code);
            printedSeats_.insert(code);
            if (onAfterPrintATicket_) onAfterPrintATicket_(seatName);
        }
        if (onAfterPrintTickets_) onAfterPrintTickets_();
    } catch (const pelio::EosException& e) {
        SetLastSaleCoreErrorMsg(e.what());
        result = R_PT_OUTPUTTICKETFAILED;
    } catch (const std::exception& e) {
        SetLastSaleCoreErrorMsg(e.what());
        result = R_PT_UNKNOWERROR;
    }
    return result;
}

TPrintTicket_Result TSaleTicketCoreImpl::PrintTickets(
    const std::string& Context, const std::string& ProductCode, const std::string& SectionCode,
    const std::string& SectionGroupCode, const std::string& SaleClassCode, Tpt_SeatInfoList& Seats,
    TKavTicketFace& Face, std::string& OrderHandlerTime, const std::string& /*CustomText*/) {
    return PrintRun(Context, nullptr, ProductCode, SectionCode, SectionGroupCode, SaleClassCode, Seats, Face,
                    &OrderHandlerTime);
}

TPrintTicket_Result
TSaleTicketCoreImpl::ReprintTickets(const std::string& Context, const std::string& OrderCode,
                                    const std::string& ProductCode, const std::string& SectionCode,
                                    const std::string& SectionGroupCode, const std::string& SaleClassCode,
                                    Tpt_SeatInfoList& Seats, TKavTicketFace& Face) {
    return PrintRun(Context, &OrderCode, ProductCode, SectionCode, SectionGroupCode, SaleClassCode, Seats,
                    Face, nullptr);
}

} // namespace kav
