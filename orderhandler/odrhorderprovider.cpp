#include "orderhandler/odrhorderprovider.h"

#include "host/sqltext.h"
#include "orderhandler/odrhsql.h"

#include <array>

namespace kav::orderhandler {

namespace {

// The columns of the export data set, in order. `right` names the customer-export right a column
// needs (0: none); calculated columns are computed per row.
struct ExportColumn {
    const char* name;
    bool shown;
    TFieldType kind;
    int size;
    const char* label;
    bool calculated;
    int right;
};

constexpr int kExportDisplayWidth = 30;

constexpr std::array<ExportColumn, 39> kExportColumns{{
    {"NODECODE", false, TFieldType::ftStr, 2, "", false, 0},
    {"ORDERCODE", true, TFieldType::ftStr, 8, "订单编号", false, 0},
    {"SALECLASSCODE", false, TFieldType::ftStr, 8, "", false, 0},
    {"SECTIONCODE", false, TFieldType::ftStr, 8, "", false, 0},
    {"ORDERFROM", false, TFieldType::ftStr, 1, "", false, 0},
    {"PRODUCTCODE", false, TFieldType::ftStr, 8, "", false, 0},
    {"INVOICEHEAD", true, TFieldType::ftStr, 64, "发票抬头", false, 0},
    {"PRODUCTNAME", true, TFieldType::ftStr, 2, "演出名称", false, 0},
    {"PRODUCTOWNERGROUP", false, TFieldType::ftStr, 5, "", false, 0},
    {"ISGIFT", false, TFieldType::ftStr, 1, "", false, 0},
    {"MEMBERID", false, TFieldType::ftInt, 0, "", false, 0},
    {"PLACENAME", true, TFieldType::ftStr, 64, "演出剧场", false, 0},
    {"PRODUCTHAPPENTIME", true, TFieldType::ftTime, 0, "演出时间", false, 0},
    {"SALECLASSNAME", true, TFieldType::ftStr, 64, "销售政策", false, 0},
    {"SEATCOUNT", true, TFieldType::ftInt, 0, "座位数量", false, 0},
    {"RECEIVABLES", true, TFieldType::ftFlo, 0, "应收金额", false, 0},
    {"CREATEGROUPNAME", true, TFieldType::ftStr, 64, "预定组", false, 0},
    {"CREATEUSER", false, TFieldType::ftStr, 8, "预定操作员", false, 0},
    {"USERNAME", true, TFieldType::ftStr, 30, "预定操作员", false, 0},
    {"ORDERTIME", true, TFieldType::ftTime, 0, "预定时间", false, 0},
    {"ContinuedTime", true, TFieldType::ftStr, 20, "订单持续时间", true, 0},
    {"CLIENTTYPE", false, TFieldType::ftStr, 1, "", false, 0},
    {"CUSTOMERNAME", true, TFieldType::ftStr, 20, "顾客姓名", false, 1},
    {"CUSTOMERCELLPHONE", true, TFieldType::ftStr, 24, "顾客手机", false, 2},
    {"SHIPPINGCOMMENT", true, TFieldType::ftStr, 128, "配送备注", false, 0},
    {"CUSTOMERTEL", true, TFieldType::ftStr, 24, "顾客电话", false, 4},
    {"FETCHWAY", false, TFieldType::ftStr, 1, "", false, 0},
    {"ORDERSTATUS", false, TFieldType::ftStr, 1, "", false, 0},
    {"ORDERHANDLERGROUP", true, TFieldType::ftStr, 64, "订单处理组", false, 0},
    {"ORDERHANDLERUSER", false, TFieldType::ftStr, 8, "订单处理人", false, 0},
    {"ORDERHANDLERUSERNAME", true, TFieldType::ftStr, 30, "订单处理人", false, 0},
    {"ORDERHANDLERTIME", true, TFieldType::ftTime, 0, "订单处理时间", false, 0},
    {"CERTIFICATETYPE", false, TFieldType::ftStr, 32, "", false, 0},
    {"IDENTCODE", true, TFieldType::ftStr, 32, "证件号码", false, 3},
    {"PAYMODECODE", false, TFieldType::ftStr, 1, "", false, 0},
    {"ORDERFROMNAME", true, TFieldType::ftStr, 20, "订单来源", true, 0},
    {"CLIENTTYPENAME", true, TFieldType::ftStr, 20, "顾客类型", true, 0},
    {"FETCHWAYNAME", true, TFieldType::ftStr, 20, "配送方式", true, 0},
    {"PAYMODENAME", true, TFieldType::ftStr, 20, "支付方式", true, 0},
}};

kav::TFieldType DataSetTypeOf(TFieldType kind) {
    switch (kind) {
    case TFieldType::ftInt:
        return kav::TFieldType::ftInteger;
    case TFieldType::ftFlo:
        return kav::TFieldType::ftFloat;
    case TFieldType::ftTime:
        return kav::TFieldType::ftTimeStamp;
    case TFieldType::ftFMTBCD:
        return kav::TFieldType::ftBCD;
    case TFieldType::ftStr:
        break;
    }
    return kav::TFieldType::ftString;
}

} // namespace

TOrderOutsideLookups OutsideLookupsOf(const ISPOrderHandler& rights, IKavMemberSys& memberSys) {
    TOrderOutsideLookups outside;
    outside.canViewOrders = [&rights](int source) { return rights.CanViewOrders(source); };
    outside.canCustomerToExcel = [&rights](int column) { return rights.CanCustomerToExcel(column); };
    outside.customerTypeName = [&memberSys](const std::string& clientType) {
        return memberSys.CustomerTypeName(clientType);
    };
    return outside;
}

TodrHOrderInfoDataProvider::TodrHOrderInfoDataProvider(ITPDBPipe& pipe, const TKavContext& context,
                                                       TodrHDataProvider& lookups,
                                                       TOrderOutsideLookups outside)
    : pipe_(pipe), context_(context), lookups_(lookups), outside_(std::move(outside)) {}

std::unique_ptr<TodrHOrderInfoList>
TodrHOrderInfoDataProvider::SearchOrderHandlerInfoEx(const std::string& orderCode) {
    return Search(GetOrderInfoSQL(context_.NodeCode(), orderCode));
}

std::unique_ptr<TodrHOrderInfoList>
TodrHOrderInfoDataProvider::SearchOrderHandlerInfoExPS(const std::string& password) {
    return Search(GetOrderPSInfoSQL(context_.NodeCode(), password));
}

std::unique_ptr<TodrHOrderInfoList>
TodrHOrderInfoDataProvider::SearchOrderHandlerInfoEx(const TOrderHandlerSearchCondition& condition) {
    return Search(GetOrderInfoSQL(context_.NodeCode(), condition));
}

std::unique_ptr<TodrHOrderInfoList> TodrHOrderInfoDataProvider::Search(std::string masterSql) {
    orderSql_ = std::move(masterSql);
    const Variant packet = pipe_.GetMasterDetailData(
        context_.GetAsString(), orderSql_, std::string(kOrderDiscountDataSet), GetOrderDiscountInfoSQL());
    orders_.SetData(packet.ByteArrayView());

    TOrderBindingLookups binding;
    binding.customerTypeName = outside_.customerTypeName;
    binding.certificateId = [this](const std::string& type) { return lookups_.GetCertificateID(type); };
    binding.isPrintNote = [this](const std::string& payModeCode) { return Get_IsPrintNote({}, payModeCode); };
    binding.canViewOrders = outside_.canViewOrders;
    binding.seatLoader = [this](const std::string& orderCode) {
        return std::move(*SearchOrderHandlerSeatInfo(context_.NodeCode(), orderCode));
    };
    binding.now = Now();
    return std::make_unique<TodrHOrderInfoList>(FillOrderInfoList(orders_, binding));
}

std::unique_ptr<TodrHSeatInfoList>
TodrHOrderInfoDataProvider::SearchOrderHandlerSeatInfo(const std::string& nodeCode,
                                                       const std::string& orderCode) {
    seatSql_ = GetOrderSeatInfoExSQL(nodeCode, orderCode);
    const Variant packet = pipe_.GetData(context_.GetAsString(), seatSql_);
    seats_.SetData(packet.ByteArrayView());
    return std::make_unique<TodrHSeatInfoList>(FillSeatInfoList(seats_));
}

std::string TodrHOrderInfoDataProvider::GetOrderSeatsInfo() const {
    return seats_.Active() ? seats_.Data() : std::string();
}

TClientDataSet& TodrHOrderInfoDataProvider::GetExportExcelDS() {
    export_.Close();
    exportDiscounts_.Close();
    export_.FieldDefs().clear();
    for (const ExportColumn& column : kExportColumns) {
        if (column.right != 0 && !(outside_.canCustomerToExcel && outside_.canCustomerToExcel(column.right)))
            continue;
        TFieldDef& def = export_.AddFieldDef(column.name, DataSetTypeOf(column.kind), column.size);
        def.visible = column.shown;
        def.displayLabel = column.label;
        def.displayWidth = kExportDisplayWidth;
        if (column.calculated) def.kind = TFieldKind::fkCalculated;
    }
    export_.SetOnCalcFields([this](TClientDataSet& row) {
        const std::string orderFrom = row.FieldByName("ORDERFROM").AsString();
        const std::string payMode = row.FieldByName("PAYMODECODE").AsString();
        row.FieldByName("ContinuedTime")
            .SetAsString(GetOrderContinuedTime(row.FieldByName("ORDERTIME").AsDateTime(), Now()));
        row.FieldByName("ORDERFROMNAME")
            .SetAsString(GetOrderFromDisplayName(orderFrom, outside_.canViewOrders));
        row.FieldByName("CLIENTTYPENAME")
            .SetAsString(GetClientTypeExportName(row.FieldByName("CLIENTTYPE").AsString()));
        row.FieldByName("FETCHWAYNAME")
            .SetAsString(GetShippingWayDisplayName(row.FieldByName("FETCHWAY").AsString()));
        row.FieldByName("PAYMODENAME").SetAsString(lookups_.GetPayModeDisplayName(orderFrom, payMode));
    });
    export_.CreateDataSet();
    if (orders_.Active()) FillExportRows();
    return export_;
}

void TodrHOrderInfoDataProvider::FillExportRows() {
    // The pay modes the calculated names read are loaded before the rows are written.
    lookups_.GetPayModeData();
    TClientDataSet& discounts = orders_.FieldByName(kOrderDiscountDataSet).NestedDataSet();
    exportDiscounts_.FieldDefs().clear();
    for (int i = 0; i < discounts.FieldCount(); ++i)
        exportDiscounts_.FieldDefs().push_back(discounts.Fields(i).Def());
    exportDiscounts_.CreateDataSet();

    std::vector<std::pair<TField*, TField*>> copied; // export field, order field
    for (int i = 0; i < export_.FieldCount(); ++i) {
        TField& target = export_.Fields(i);
        if (target.Def().IsCalculated()) continue;
        if (TField* source = orders_.FindField(target.FieldName())) copied.emplace_back(&target, source);
    }
    export_.DisableControls();
    for (orders_.First(); !orders_.Eof(); orders_.Next()) {
        export_.Append();
        for (auto [target, source] : copied)
            target->SetValue(source->Value());
        export_.Post();
        for (discounts.First(); !discounts.Eof(); discounts.Next()) {
            exportDiscounts_.Append();
            for (int i = 0; i < discounts.FieldCount(); ++i)
                exportDiscounts_.Fields(i).SetValue(discounts.Fields(i).Value());
            exportDiscounts_.Post();
        }
    }
    export_.EnableControls();
    export_.MergeChangeLog();
    exportDiscounts_.MergeChangeLog();
    export_.First();
    exportDiscounts_.First();
}

TClientDataSet& TodrHOrderInfoDataProvider::GetDiscountExcelDS() {
    return exportDiscounts_;
}

std::optional<std::string> TodrHOrderInfoDataProvider::SwitchValue(const std::string& sql) {
    TClientDataSet rows;
    rows.SetData(pipe_.GetData(context_.GetAsString(), sql).ByteArrayView());
    if (rows.IsEmpty()) return std::nullopt;
    return rows.FieldByName("ISVALID").AsString();
}

std::string TodrHOrderInfoDataProvider::IsOrderVaildDay() {
    return SwitchValue(" Select ISVALID from KAV_SYSINFO_SHOW where CUSTOMMODULE = 'ORDER_VALID_DAY' ")
        .value_or("N");
}

std::string TodrHOrderInfoDataProvider::GetSysInfo() {
    const auto value =
        SwitchValue("select ISVALID from KAV_SYSINFO_SHOW where CUSTOMMODULE='CONTROLOUTPRINTKIND'");
    return value == "Y" ? "Y" : "N";
}

bool TodrHOrderInfoDataProvider::Get_IsPrintNote(const std::string&, const std::string& payModeCode) {
    return lookups_.NeedPrintNote("03", payModeCode);
}

} // namespace kav::orderhandler
