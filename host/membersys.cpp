#include "host/membersys.h"

#include "host/kavcontext.h"
#include "host/sqltext.h"
#include "platform/dataset/clientdataset.h"

namespace kav {

std::string IKavMemberSys::NameOf(const std::vector<TMemberCodeName>& table, const std::string& code) {
    for (const TMemberCodeName& entry : table)
        if (entry.code == code) return entry.name;
    return {};
}

void TKavMemberSys::SetContextString(const std::string& context) {
    if (context == context_) return;
    TKavContext session;
    session.SetAsString(context); // raises for text that is not a context; nothing changes then
    context_ = context;
    nodeCode_ = session.NodeCode();
    customerTypes_.reset();
    certificateTypes_.reset();
}

std::vector<TMemberCodeName> TKavMemberSys::ReadTable(const std::string& pattern) {
    TClientDataSet rows;
    rows.SetData(pipe_.GetData(context_, SqlFormat(pattern, {nodeCode_})).ByteArrayView());
    std::vector<TMemberCodeName> table;
    TField& code = rows.FieldByName("CODE");
    TField& name = rows.FieldByName("NAME");
    for (rows.First(); !rows.Eof(); rows.Next())
        table.push_back({code.AsString(), name.AsString()});
    return table;
}

const std::vector<TMemberCodeName>& TKavMemberSys::CustomerTypes() {
    if (!customerTypes_)
        customerTypes_ =
            ReadTable("select CLIENTTYPE as CODE, CLIENTTYPENAME as NAME from KAV_MEMBER_CLIENTTYPE "
                      "where NODECODE = '%s' order by CLIENTTYPE");
    return *customerTypes_;
}

const std::vector<TMemberCodeName>& TKavMemberSys::CertificateTypes() {
    if (!certificateTypes_)
        certificateTypes_ = ReadTable("select CERTIFICATETYPE as CODE, IDENTTYPENAME as NAME from "
                                      "KAV_MEMBER_IDENTTYPE where NODECODE = '%s' order by IDENTTYPEID");
    return *certificateTypes_;
}

} // namespace kav
