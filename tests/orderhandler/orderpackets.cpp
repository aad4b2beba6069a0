#include "orderpackets.h"

#include "orderhandler/odrhbinding.h"

namespace kav::orderhandler::testing {

namespace {

// The order statement's columns, with the types the server reports.
const std::vector<std::pair<const char*, kav::TFieldType>>& OrderResultColumns() {
    using enum kav::TFieldType;
    static const std::vector<std::pair<const char*, kav::TFieldType>> columns{
        {"NODECODE", ftString},
        {"ORDERCODE", ftString},
        {"SALECLASSCODE", ftString},
        {"SECTIONCODE", ftString},
        {"ORDERFROM", ftString},
        {"PRODUCTCODE", ftString},
        {"INVOICEHEAD", ftString},
        {"PRODUCTNAME", ftString},
        {"PRODUCTOWNERGROUP", ftString},
        {"ISGIFT", ftString},
        {"MEMBERID", ftInteger},
        {"PLACENAME", ftString},
        {"PRODUCTHAPPENTIME", ftTimeStamp},
        {"USERREGTYPE", ftString},
        {"SALECLASSNAME", ftString},
        {"SEATCOUNT", ftInteger},
        {"RECEIVABLES", ftFloat},
        {"OWNERCODE", ftString},
        {"GROUPTYPE", ftString},
        {"CREATEGROUP", ftString},
        {"CREATEGROUPNAME", ftString},
        {"CREATEUSER", ftString},
        {"MEMBERCARDNO", ftString},
        {"USERNAME", ftString},
        {"ORDERHANDLERUSERNAME", ftString},
        {"ORDERTIME", ftTimeStamp},
        {"CLIENTTYPE", ftString},
        {"CUSTOMERNAME", ftString},
        {"CUSTOMERCELLPHONE", ftString},
        {"CUSTOMERTEL", ftString},
        {"EMAIL", ftString},
        {"FETCHADDRESS", ftString},
        {"IDENTCODE", ftString},
        {"SHIPPINGCOMMENT", ftString},
        {"SEX", ftString},
        {"CLIENTLEVEL", ftString},
        {"IDENTTYPEID", ftInteger},
        {"FETCHWAY", ftString},
        {"ORDERSTATUS", ftString},
        {"ORDERHANDLERUSER", ftString},
        {"ORDERHANDLERGROUP", ftString},
        {"ORDERHANDLERTIME", ftTimeStamp},
        {"ORDERPASSWORD", ftString},
        {"IDENTTYPENAME", ftString},
        {"CERTIFICATETYPE", ftString},
        {"PAYMODECODE", ftString},
        {"ISFEEMEMBER", ftString},
        {"ISPRINT", ftString},
    };
    return columns;
}

} // namespace

std::string OrderPacket(const std::vector<std::pair<Row, Discounts>>& orders) {
    TClientDataSet ds;
    for (const auto& [name, type] : OrderResultColumns())
        ds.AddFieldDef(name, type, type == kav::TFieldType::ftString ? 64 : 0);
    auto& nested = ds.AddFieldDef(std::string(kOrderDiscountDataSet), kav::TFieldType::ftDataSet);
    nested.nestedFields = {MakeFieldDef("NodeCode", kav::TFieldType::ftString, 2),
                           MakeFieldDef("OrderCode", kav::TFieldType::ftString, 8),
                           MakeFieldDef("SeatAmount", kav::TFieldType::ftInteger),
                           MakeFieldDef("Price", kav::TFieldType::ftFloat),
                           MakeFieldDef("TicketPrice", kav::TFieldType::ftFloat),
                           MakeFieldDef("Discount", kav::TFieldType::ftInteger)};
    ds.CreateDataSet();
    TClientDataSet& lines = ds.FieldByName(kOrderDiscountDataSet).NestedDataSet();
    for (const auto& [row, discounts] : orders) {
        ds.Append();
        for (const auto& [name, value] : row)
            ds.FieldByName(name).SetValue(value);
        for (const auto& [price, amount] : discounts)
            lines.AppendRecord({"01", "", amount, price, price, 90});
        ds.Post();
    }
    ds.MergeChangeLog(); // the server's answers carry no pending changes
    return ds.Data();
}

} // namespace kav::orderhandler::testing
