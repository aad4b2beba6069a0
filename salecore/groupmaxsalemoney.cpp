#include "salecore/groupmaxsalemoney.h"

#include "host/kavcontext.h"
#include "host/sqltext.h"
#include "platform/core/money.h"
#include "platform/core/textcodec.h"
#include "platform/dataset/clientdataset.h"

#include <stdexcept>

namespace kav {

namespace {

// The ceiling records under the names the callers use, with the names of groups and creator.
constexpr const char* kRecords =
    "select g.NODECODE as NodeCode, g.GROUPCODE as GroupCode, gr.CNAME as GroupName, "
    "g.ACTUALSALEMONEY as ActualSaleMoney, g.MAXSALEMONEY as MaxSaleMoney, g.CREATEUSER as CreateUser, "
    "u.CNAME as CreateUserName, g.CREATETIME as CreateTime, gr.OWNERCODE as GroupOwnerCode, "
    "g.CREATEGROUP as CreateGroup, cg.CNAME as CreateGroupName from KAV_GROUPMAXSALEMONY g "
    "left join KAV_GROUP gr on gr.GROUPCODE = g.GROUPCODE left join KAV_GROUP cg on cg.GROUPCODE = "
    "g.CREATEGROUP "
    "left join KAV_USER u on u.USERCODE = g.CREATEUSER";

constexpr const char* kColumns[] = {"NodeCode",       "GroupCode",   "GroupName",      "ActualSaleMoney",
                                    "MaxSaleMoney",   "CreateUser",  "CreateUserName", "CreateTime",
                                    "GroupOwnerCode", "CreateGroup", "CreateGroupName"};

bool IsColumn(const std::string& name) {
    for (const char* column : kColumns)
        if (EqualsIgnoringCase(name, column)) return true;
    return false;
}

} // namespace

void TGroupMaxSaleMoney::Load(TClientDataSet& dataSet, const std::vector<std::string>& fields,
                              const std::vector<std::string>& conditions, const std::string& context) {
    std::string sql = "select ";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!IsColumn(fields[i])) throw std::invalid_argument("not a sales ceiling column: " + fields[i]);
        sql += (i ? ", " : "") + fields[i];
    }
    sql += std::string(" from (") + kRecords + ") m";
    for (std::size_t i = 0; i < conditions.size(); ++i)
        sql += (i ? " and " : " where ") + conditions[i];
    dataSet.SetData(pipe_.GetData(context, sql).ByteArrayView());
}

bool TGroupMaxSaleMoney::Check(const std::string& nodeCode, const std::string& createGroup, double amount,
                               const std::string& context) {
    TKavContext session;
    session.SetAsString(context);
    TClientDataSet ceiling;
    ceiling.SetData(
        pipe_
            .GetData(context, SqlFormat("select ACTUALSALEMONEY, MAXSALEMONEY from KAV_GROUPMAXSALEMONY "
                                        "where NODECODE = '%s' and GROUPCODE = '%s' and CREATEGROUP = '%s'",
                                        {nodeCode, session.GroupCode(), createGroup}))
            .ByteArrayView());
    if (ceiling.IsEmpty()) return true;
    return Cents(ceiling.FieldByName("ACTUALSALEMONEY").AsFloat()) + Cents(amount) <=
           Cents(ceiling.FieldByName("MAXSALEMONEY").AsFloat());
}

} // namespace kav
