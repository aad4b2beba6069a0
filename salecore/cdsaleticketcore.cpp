#include "salecore/cdsaleticketcore.h"

#include <cmath>

namespace kav {

namespace {

// Blanks and control characters at either end, as the ticket texts are trimmed.
std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

void AddCalculated(TClientDataSet& dataSet, const char* name, int size) {
    dataSet.AddFieldDef(name, TFieldType::ftString, size).kind = TFieldKind::fkCalculated;
}

std::string Text(TClientDataSet& dataSet, std::string_view name) {
    TField* field = dataSet.FindField(name);
    return field ? field->AsString() : std::string();
}

void DefineAccount(TClientDataSet& cds) {
    cds.AddFieldDef("NODECODE", TFieldType::ftString, 2);
    cds.AddFieldDef("PKID", TFieldType::ftInteger);
    cds.AddFieldDef("ORDERCODE", TFieldType::ftString, 20);
    cds.AddFieldDef("PAYMODECODE", TFieldType::ftString, 1);
    cds.AddFieldDef("CREDITCARDSTYLECODE", TFieldType::ftString, 8);
    cds.AddFieldDef("CREDITCARDCODE", TFieldType::ftString, 32);
    cds.AddFieldDef("RELACCEPTABLES", TFieldType::ftFloat);
    cds.CreateDataSet();
}

void DefinePayModeMoney(TClientDataSet& cds) {
    cds.AddFieldDef("NODECODE", TFieldType::ftString, 2);
    cds.AddFieldDef("PRODUCTCODE", TFieldType::ftString, 8);
    cds.AddFieldDef("ORDERCODE", TFieldType::ftString, 20);
    cds.AddFieldDef("PAYMODECODE", TFieldType::ftString, 1);
    cds.AddFieldDef("AMOUNT", TFieldType::ftFloat);
    cds.AddFieldDef("REMARK", TFieldType::ftString, 64);
    cds.CreateDataSet();
}

void DefineTempOrder(TClientDataSet& cds) {
    struct Column {
        const char* name;
        TFieldType type;
        int size;
    };
    static constexpr Column kColumns[] = {
        {"PRODUCTNAME", TFieldType::ftString, 64},
        {"HAPPENTIME", TFieldType::ftDateTime, 0},
        {"PLACECODE", TFieldType::ftString, 8},
        {"PLACENAME", TFieldType::ftString, 64},
        {"CREATETIME", TFieldType::ftDateTime, 0},
        {"PRICELEVEL", TFieldType::ftString, 1},
        {"PRICE", TFieldType::ftString, 16},
        {"SEATCOUNT", TFieldType::ftString, 8},
        {"RECEIVABLES", TFieldType::ftFloat, 0},
        {"CNAME", TFieldType::ftString, 40},
        {"TEL", TFieldType::ftString, 24},
        {"ISPRINTPRICE", TFieldType::ftString, 1},
        {"PRINTORIGINAL", TFieldType::ftString, 1},
        {"CLIENTLEVEL", TFieldType::ftString, 1},
        {"DISCOUNT", TFieldType::ftString, 8},
        {"ORDERCODE", TFieldType::ftString, 20},
        {"CREATEUSER", TFieldType::ftString, 8},
        {"ORDERSTATUS", TFieldType::ftString, 1},
        {"PAYEE", TFieldType::ftString, 8},
        {"PRODUCTCODE", TFieldType::ftString, 8},
        {"GATHERINGTIME", TFieldType::ftDateTime, 0},
        {"FPLACERESERVE", TFieldType::ftString, 1},
        {"ISGIFT", TFieldType::ftString, 1},
        {"SALECLASSCODE", TFieldType::ftString, 8},
    };
    for (const Column& c : kColumns)
        cds.AddFieldDef(c.name, c.type, c.size);
    AddCalculated(cds, "ISPrintPriceV", 4);
    AddCalculated(cds, "PrintOriginalV", 4);
    cds.SetOnCalcFields([](TClientDataSet& d) {
        d.FieldByName("ISPrintPriceV").SetAsString(Text(d, "ISPRINTPRICE") == "Y" ? "是" : "否");
        d.FieldByName("PrintOriginalV").SetAsString(Text(d, "PRINTORIGINAL") == "Y" ? "是" : "否");
    });
    cds.CreateDataSet();
}

void DefineTicket(TClientDataSet& cds) {
    AddCalculated(cds, "FULLSEATNAME", 100);
    AddCalculated(cds, "QRCODE", 64);
    AddCalculated(cds, "DAYOFWEEK", 12);
    cds.SetOnCalcFields([](TClientDataSet& d) {
        d.FieldByName("FULLSEATNAME")
            .SetAsString(FullSeatName(Text(d, "SECTIONNAME"), Text(d, "FLOORNAME"), Text(d, "ROWNAME"),
                                      Text(d, "SEATNAME")));
        d.FieldByName("QRCODE").SetAsString(QrCodeText(Text(d, "ORDERNO"), Text(d, "BARCODE")));
        TField* happen = d.FindField("HAPPENTIME");
        d.FieldByName("DAYOFWEEK")
            .SetAsString(happen && !happen->IsNull() ? DayOfWeekText(happen->AsDateTime()) : std::string());
    });
}

void DefineTicketFace(TClientDataSet& cds) {
    AddCalculated(cds, "STYLENAME", 16);
    cds.SetOnCalcFields(
        [](TClientDataSet& d) { d.FieldByName("STYLENAME").SetAsString("票面 " + Text(d, "TICKETSTYLE")); });
}

} // namespace

std::string FullSeatName(std::string_view section, std::string_view floor, std::string_view row,
                         std::string_view seat) {
    std::string name;
    for (std::string_view part : {section, floor, row}) {
        name += Trimmed(part);
        name += ' ';
    }
    name += Trimmed(seat);
    return name + "座";
}

std::string QrCodeText(std::string_view orderNo, std::string_view barcode) {
    return std::string(Trimmed(orderNo)) + "+" + std::string(Trimmed(barcode));
}

std::string DayOfWeekText(TDateTime date) {
    static constexpr const char* kDays[] = {"天", "一", "二", "三", "四", "五", "六"};
    // Day 0, 1899-12-30, was a Saturday.
    const auto days = static_cast<long long>(std::floor(date));
    const long long sunday0 = ((days + 6) % 7 + 7) % 7;
    return std::string("星期") + kDays[sunday0];
}

TCDSaleTicketCore::TCDSaleTicketCore() {
    DefineAccount(cdsAccount);
    DefinePayModeMoney(cdsPayModeMoney);
    DefineTempOrder(TempcdsOrder);
    DefineTicket(cdsTicket);
    DefineTicketFace(cdsTicketFace);
}

TClientDataSet& TCDSaleTicketCore::cdsElement() {
    return cdsTicketFace.FieldByName("qryElement").NestedDataSet();
}

TClientDataSet& TCDSaleTicketCore::cdsFaceSection() {
    return cdsTicketFace.FieldByName("qrySection").NestedDataSet();
}

void TCDSaleTicketCore::LoadTicket(const pelio::Variant& packet) {
    const std::string_view bytes = packet.ByteArrayView();
    if (bytes.empty()) {
        cdsTicket.Close();
        return;
    }
    cdsTicket.SetData(bytes);
    TField* parValue = cdsTicket.FindField("PARVALUE");
    if (!parValue) return;
    for (cdsTicket.First(); !cdsTicket.Eof(); cdsTicket.Next()) {
        if (parValue->IsNull()) continue;
        const double value = parValue->AsFloat();
        const double rounded = std::round(value * 100) / 100;
        if (rounded == value) continue;
        cdsTicket.Edit();
        parValue->SetAsFloat(rounded);
        cdsTicket.Post();
    }
    cdsTicket.MergeChangeLog();
    cdsTicket.First();
}

void TCDSaleTicketCore::LoadTicketFaces(const pelio::Variant& packet) {
    if (packet.ByteArrayView().empty())
        cdsTicketFace.Close();
    else
        cdsTicketFace.SetData(packet.ByteArrayView());
}

void TCDSaleTicketCore::ClearAccount() {
    cdsAccount.EmptyDataSet();
    cdsPayModeMoney.EmptyDataSet();
}

} // namespace kav
