#include "host/orderhandlerrights.h"

#include "host/kavcontext.h"
#include "host/sqltext.h"
#include "platform/dataset/clientdataset.h"

namespace kav {

bool TOrderHandlerRightsAnswers::CanViewOrders(int source) const {
    switch (source) {
    case 2:
        return rights_.canViewCallCentreOrders;
    case 3:
        return rights_.canViewOnlineOrders;
    default:
        return false;
    }
}

bool TOrderHandlerRightsAnswers::CanCustomerToExcel(int column) const {
    if (column < 1 || column > static_cast<int>(rights_.canCustomerToExcel.size())) return false;
    return rights_.canCustomerToExcel[static_cast<std::size_t>(column - 1)];
}

std::string TSPOrderHandler::RightsSQL(const std::string& nodeCode, const std::string& userCode,
                                       const std::string& groupCode, const std::string& module) {
    return SqlFormat(
        "select * from KAV_ORDERHANDLER_RIGHT where NODECODE = '%s' and MODULECODE = '%s' and "
        "((SUBJECTKIND = 'U' and SUBJECTCODE = '%s') or (SUBJECTKIND = 'G' and SUBJECTCODE = '%s'))",
        {nodeCode, module, userCode, groupCode});
}

namespace {

bool Flag(TClientDataSet& row, const char* column) {
    return row.FieldByName(column).AsString() == "Y";
}

TOrderHandlerRights RightsOfRow(TClientDataSet& row) {
    TOrderHandlerRights r;
    r.canViewCallCentreOrders = Flag(row, "CANVIEWORDERS_2");
    r.canViewOnlineOrders = Flag(row, "CANVIEWORDERS_3");
    r.canToExcel = Flag(row, "CANTOEXCEL");
    r.canCustomerToExcel = {Flag(row, "CANCUSTOMERTOEXCEL_1"), Flag(row, "CANCUSTOMERTOEXCEL_2"),
                            Flag(row, "CANCUSTOMERTOEXCEL_3"), Flag(row, "CANCUSTOMERTOEXCEL_4")};
    r.groupScope = row.FieldByName("CANSEACHOTHERGROUPORDERS").AsInteger();
    r.canEditOtherUserOrdersInfo = Flag(row, "CANEDITOTHERUSERORDERSINFO");
    r.mustHaveNameInSearch = Flag(row, "MUSTHAVENAMEINSEARCH");
    r.mustHavePhoneOrCellPhoneInSearch = Flag(row, "MUSTHAVEPHONEORCELLPHONEINSEARCH");
    r.mustHaveIDNumberInSearch = Flag(row, "MUSTHAVEIDNUMBERINSEARCH");
    r.canSaleNB = Flag(row, "CANSALENB");
    r.canSaleHW = Flag(row, "CANSALEHW");
    r.canTempInfo = Flag(row, "CANTEMPINFO");
    r.canChangeReceivables = Flag(row, "CANCHANGERECEIVABLES");
    r.canChangeSeat = Flag(row, "CANCHANGESEAT");
    return r;
}

} // namespace

void TSPOrderHandler::InitialGetPrivileges(const std::string& context, const std::string& module) {
    // Forget the previous module's rights first, so that a failed read grants nothing rather than
    // leaving the rights of another module (or another user) in force.
    rights_ = {};
    TKavContext session;
    session.SetAsString(context);
    // Without a user there is nobody to grant anything to; an empty code must not match a row.
    if (session.UserCode().empty()) return;

    TClientDataSet rows;
    rows.SetData(
        pipe_.GetData(context, RightsSQL(session.NodeCode(), session.UserCode(), session.GroupCode(), module))
            .ByteArrayView());
    bool found = false;
    for (rows.First(); !rows.Eof(); rows.Next()) {
        const bool own = rows.FieldByName("SUBJECTKIND").AsString() == "U";
        if (own || !found) rights_ = RightsOfRow(rows);
        found = true;
        if (own) break;
    }
}

} // namespace kav
