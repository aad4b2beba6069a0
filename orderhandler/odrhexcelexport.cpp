#include "orderhandler/odrhexcelexport.h"

#include "host/sqltext.h"
#include "platform/widgets/excelexport.h"

#include <cmath>

namespace kav::orderhandler {

namespace {

std::string CodeAndName(TClientDataSet& rows, const char* code, const char* name) {
    return rows.FieldByName(code).AsString() + "|" + rows.FieldByName(name).AsString();
}

} // namespace

void ExportOrdersToExcel(TodrHOrderInfoDataProvider& provider, const std::filesystem::path& file) {
    TClientDataSet& rows = provider.GetExportExcelDS();
    TClientDataSet& discounts = provider.GetDiscountExcelDS();
    TField& receivables = rows.FieldByName("RECEIVABLES");
    TField& saleClass = rows.FieldByName("SALECLASSNAME");
    rows.DisableControls();
    for (rows.First(); !rows.Eof(); rows.Next()) {
        const std::string saleClassName = saleClass.AsString();
        std::string discount;
        if (discounts.Active()) {
            discounts.SetFilter("OrderCode = " + SqlQuote(rows.FieldByName("ORDERCODE").AsString()));
            discounts.SetFiltered(true);
            discounts.First();
            if (!discounts.IsEmpty()) discount = discounts.FieldByName("Discount").AsString();
        }
        rows.Edit();
        receivables.SetAsFloat(std::round(receivables.AsFloat() * 100) / 100);
        rows.FieldByName("USERNAME").SetAsString(CodeAndName(rows, "CREATEUSER", "USERNAME"));
        rows.FieldByName("ORDERHANDLERUSERNAME")
            .SetAsString(CodeAndName(rows, "ORDERHANDLERUSER", "ORDERHANDLERUSERNAME"));
        if (!discount.empty()) saleClass.SetAsString(saleClassName + "(" + discount + "%)");
        rows.Post();
    }
    if (discounts.Active()) discounts.SetFiltered(false);
    rows.EnableControls();
    rows.First();
    TExcelExport().ExportDataSet(rows, file);
}

} // namespace kav::orderhandler
