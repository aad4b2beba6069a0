#include "reports/common/reportinput.h"

#include <QCoreApplication>
#include <filesystem>

namespace kav::reports {

TProductSelection SelectProducts(TClientDataSet& products, const std::vector<std::string>& codes,
                                 TClientDataSet& brief, std::vector<std::string>* unknown) {
    brief.Close();
    brief.FieldDefs().clear();
    brief.AddFieldDef("ProductCode", TFieldType::ftString, 8);
    brief.AddFieldDef("ProductName", TFieldType::ftString, 64);
    brief.AddFieldDef("PlaceName", TFieldType::ftString, 64);
    brief.AddFieldDef("HappenTime", TFieldType::ftDateTime);
    brief.AddFieldDef("MapCode", TFieldType::ftString, 8);
    brief.CreateDataSet();
    TProductSelection selection;
    selection.brief = &brief;
    for (const std::string& code : codes) {
        if (!products.Locate("ProductCode", {code})) {
            if (unknown) unknown->push_back(code);
            continue;
        }
        selection.productCodes.push_back(code);
        const std::string map = products.FieldByName("MapCode").AsString();
        selection.mapCodes += map + "\n";
        brief.AppendRecord({code, products.FieldByName("ProductName").AsString(),
                            products.FieldByName("PlaceName").AsString(),
                            products.FieldByName("HappenTime").Value(), map});
    }
    return selection;
}

std::string ReportLayoutFile(const std::string& name) {
    return (std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "rep" / name)
        .string();
}

} // namespace kav::reports
