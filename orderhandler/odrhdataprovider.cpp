#include "orderhandler/odrhdataprovider.h"

#include "host/sqltext.h"
#include "orderhandler/odrhcodetables.h"

namespace kav::orderhandler {

std::string ActionModuleOf(const std::string& orderFrom) {
    if (orderFrom == kOrderFromCallCentre) return "02";
    if (orderFrom == kOrderFromOnline) return "03";
    return {};
}

namespace {

int IndexOfCode(const std::vector<TPayModeItem>& payModes, const std::string& code) {
    for (std::size_t i = 0; i < payModes.size(); ++i)
        if (payModes[i].code == code) return static_cast<int>(i);
    return 0;
}

// ISVALID of the first row, empty when there is none.
std::string FirstIsValid(TClientDataSet& dataSet) {
    dataSet.First();
    return dataSet.IsEmpty() ? std::string() : dataSet.FieldByName("ISVALID").AsString();
}

} // namespace

TodrHDataProvider::TodrHDataProvider(ITPDBPipe& pipe, const TKavContext& context)
    : pipe_(pipe), context_(context) {}

void TodrHDataProvider::Load(TClientDataSet& dataSet, const std::string& sql) {
    const Variant packet = pipe_.GetData(context_.GetAsString(), sql);
    dataSet.SetData(packet.ByteArrayView());
}

std::vector<TCodeNameItem> TodrHDataProvider::CodeNameList(const std::string& sql) {
    TClientDataSet rows;
    Load(rows, sql);
    std::vector<TCodeNameItem> list{{}};
    TField& code = rows.Fields(0);
    TField& name = rows.FieldByName("CNAME");
    for (rows.First(); !rows.Eof(); rows.Next())
        list.push_back({code.AsString(), name.AsString()});
    return list;
}

const std::vector<TCertificateInfo>& TodrHDataProvider::GetCertificateTypes() {
    if (!certificateTypes_) {
        TClientDataSet rows;
        Load(rows, "select IDENTTYPEID, IDENTTYPENAME, CERTIFICATETYPE from KAV_MEMBER_IDENTTYPE order by "
                   "IDENTTYPEID");
        std::vector<TCertificateInfo> types;
        TField& id = rows.FieldByName("IDENTTYPEID");
        TField& name = rows.FieldByName("IDENTTYPENAME");
        TField& type = rows.FieldByName("CERTIFICATETYPE");
        for (rows.First(); !rows.Eof(); rows.Next())
            types.push_back({type.AsString(), name.AsString(), id.AsInteger()});
        certificateTypes_ = std::move(types);
    }
    return *certificateTypes_;
}

int TodrHDataProvider::GetCertificateID(const std::string& certificateType) {
    for (const TCertificateInfo& type : GetCertificateTypes())
        if (type.certificateType == certificateType) return type.identTypeId;
    return -1;
}

const std::vector<TShippingWayTypeInfoRecord>& TodrHDataProvider::GetShippingWays() const {
    static const std::vector<TShippingWayTypeInfoRecord> ways{ShippingWayTypeInfos()[0],
                                                              ShippingWayTypeInfos()[1]};
    return ways;
}

std::vector<TPlaceItem> TodrHDataProvider::GetPlace() {
    return CodeNameList(
        SqlFormat("SELECT PLACECODE, CNAME FROM KAV_PLACE WHERE NODECODE = '%s'", {context_.NodeCode()}));
}

std::unique_ptr<TClientDataSet> TodrHDataProvider::GetPlaceDataSource() {
    auto places = std::make_unique<TClientDataSet>();
    Load(*places,
         SqlFormat("SELECT PLACECODE, CNAME FROM KAV_PLACE WHERE NODECODE = '%s'", {context_.NodeCode()}));
    return places;
}

std::vector<TProductClassItem> TodrHDataProvider::GetProductClass() {
    return CodeNameList(SqlFormat(
        "SELECT PRODUCTCLASSCODE, CNAME FROM KAV_PRODUCTCLASS WHERE NODECODE = '%s'", {context_.NodeCode()}));
}

std::vector<TSectionItem> TodrHDataProvider::GetSections(const std::string& productCode) {
    return CodeNameList(SqlFormat("Select SECTIONCODE, CNAME from KAV_SECTION_SHOW where NODECODE = '%s' and "
                                  "PRODUCTCODE = '%s' order by CNAME",
                                  {context_.NodeCode(), productCode}));
}

TClientDataSet& TodrHDataProvider::GetPayModeData() {
    if (!payModes_.Active())
        Load(payModes_,
             " select d.PAYMODECODE, d.ACTIONMODULE, p.CNAME,d.IsPrintNote from KAV_PAYMODE_DISPLAY d "
             "inner join KAV_PAYMODE p  on d.PAYMODECODE = p.PAYMODECODE Order by p.Display ");
    return payModes_;
}

std::vector<TPayModeItem> TodrHDataProvider::GetPayModes(const std::string& orderFrom) {
    TClientDataSet& table = GetPayModeData();
    const std::string module = ActionModuleOf(orderFrom);
    TField& actionModule = table.FieldByName("ACTIONMODULE");
    TField& code = table.FieldByName("PAYMODECODE");
    TField& name = table.FieldByName("CNAME");
    std::vector<TPayModeItem> payModes;
    for (table.First(); !table.Eof(); table.Next())
        if (actionModule.AsString() == module) payModes.push_back({code.AsString(), name.AsString()});
    return payModes;
}

TClientDataSet& TodrHDataProvider::GetCreditCompanyData() {
    if (!creditCompanies_.Active())
        Load(creditCompanies_,
             SqlFormat(" select * from KAV_CREDIT_COMPONY where NodeCode = '%s' and ISValid = 'Y' "
                       "and OwnerCode = '%s' order by COMPONY_NAME",
                       {context_.NodeCode(), context_.SiteCode()}));
    return creditCompanies_;
}

std::vector<TCreditCompanyItem> TodrHDataProvider::GetCreditCompanyList() {
    TClientDataSet& table = GetCreditCompanyData();
    TField& code = table.FieldByName("COMPONY_CODE");
    TField& name = table.FieldByName("COMPONY_NAME");
    std::vector<TCreditCompanyItem> companies;
    for (table.First(); !table.Eof(); table.Next())
        companies.push_back({code.AsString(), name.AsString()});
    return companies;
}

bool TodrHDataProvider::NeedPrintNote(const std::string& actionModule, const std::string& payModeCode) {
    TClientDataSet& table = GetPayModeData();
    GetCreditCompanyData();
    TField& module = table.FieldByName("ACTIONMODULE");
    TField& code = table.FieldByName("PAYMODECODE");
    TField& printNote = table.FieldByName("IsPrintNote");
    for (table.First(); !table.Eof(); table.Next())
        if (module.AsString() == actionModule && code.AsString() == payModeCode)
            return printNote.AsString() == "Y";
    return false;
}

std::string TodrHDataProvider::GetPayModeDisplayName(const std::string& orderFrom,
                                                     const std::string& payModeCode) {
    for (const TPayModeItem& item : GetPayModes(orderFrom))
        if (item.code == payModeCode) return item.name;
    return {};
}

int TodrHDataProvider::GetFeeMemberPayModes(const std::vector<TPayModeItem>& payModes) {
    return IndexOfCode(payModes, "M");
}

int TodrHDataProvider::GetCurrentPayModes(const std::string& code,
                                          const std::vector<TPayModeItem>& payModes) {
    return IndexOfCode(payModes, code);
}

bool TodrHDataProvider::NeedPostPurchaInfo() {
    TClientDataSet switches;
    Load(switches, " Select * from KAV_SYSINFO_SHOW ");
    TField& module = switches.FieldByName("CUSTOMMODULE");
    TField& isValid = switches.FieldByName("IsValid");
    for (switches.First(); !switches.Eof(); switches.Next())
        if (module.AsString() == "POSTMEMBERPURCHAINFO") return isValid.AsString() == "Y";
    return false;
}

std::string TodrHDataProvider::GetConnectUmnByDB() {
    TClientDataSet rows;
    Load(rows, " select ISVALID from KAV_SYSINFO_SHOW where CUSTOMMODULE = 'CONNECTUMNBYDB'");
    return FirstIsValid(rows);
}

TClientDataSet& TodrHDataProvider::SearchProduct(const std::string& placeCode, const std::string& classCode,
                                                 const std::string& fromTime, const std::string& toTime,
                                                 const std::string& name) {
    std::string sql = SqlFormat(
        "SELECT p.NODECODE, p.PRODUCTCODE, p.CNAME, p.HAPPENTIME,p.PRODUCTOWNERGROUP,l.CName as PLACENAME "
        "FROM "
        "KAV_PRODUCT p inner join KAV_PLACE l on p.NodeCode = l.NodeCode and p.PlaceCode = l.PlaceCode WHERE "
        "p.NODECODE = '%s' and p.STATUS IN ('5', '6') and p.HAPPENTIME BETWEEN '%s' and '%s'",
        {context_.NodeCode(), fromTime, toTime});
    if (!placeCode.empty()) sql += SqlFormat(" and p.PLACECODE = '%s'", {placeCode});
    if (!classCode.empty()) sql += SqlFormat(" and p.PRODUCTCLASSCODE = '%s'", {classCode});
    if (!name.empty()) sql += SqlFormat(" and p.CNAME like '%s'", {"%" + name + "%"});
    Load(products_, sql);
    return products_;
}

bool TodrHDataProvider::UpdateCustomerClientInfo(const TCustomerClientInfo& info) {
    const std::string node = context_.NodeCode();
    const std::string client =
        info.customerMasked
            ? SqlFormat("update KAV_ORDER_CLIENT_SHOW set COMMENT = '%s' where NODECODE = '%s' and ORDERCODE = '%s'",
                        {info.comment, node, info.orderCode})
            : SqlFormat("update KAV_ORDER_CLIENT_SHOW set CNAME = '%s', CADDRESS = '%s', TEL = '%s', CELLPHONE = "
                        "'%s', IDENTTYPEID = "
                        "%d, IDENTCODE = '%s', COMMENT = '%s' where NODECODE = '%s' and ORDERCODE = '%s'",
                        {info.name, info.address, info.telephone, info.cellPhone, std::int64_t{info.identTypeId},
                         info.identityNumber, info.comment, node, info.orderCode});
    if (pipe_.ExecSQL(context_.GetAsString(), client) != 1) return false;
    const std::string order = SqlFormat("update KAV_ORDER_SHOW set INVOICEHEAD = '%s', FETCHWAY = '%s' where "
                                        "NODECODE = '%s' and ORDERCODE = '%s'",
                                        {info.invoiceHead, info.shippingWay, node, info.orderCode});
    return pipe_.ExecSQL(context_.GetAsString(), order) == 1;
}

} // namespace kav::orderhandler
