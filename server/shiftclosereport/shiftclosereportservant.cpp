#include "server/shiftclosereport/shiftclosereportservant.h"

#include "rpc/exceptions.h"
#include "server/collectreport/reportarguments.h"
#include "server/db/transaction.h"
#include "server/dbpipeservant.h"
#include "server/shiftclosereport/shiftclose.h"
#include "server/ticketoffice/sqlvalues.h"

namespace kav::server {

namespace {

[[noreturn]] void Refuse(const std::string& why) {
    throw pelio::EosRemoteException(why);
}

std::string Time(const std::string& text, const char* what) {
    const std::optional<std::string> time = ParseReportTime(text, what);
    if (!time) Refuse(std::string(what) + "未设定");
    return *time;
}

// How far the caller's order-handler rights reach: 0 own group, negative the owning centre's groups,
// positive every group.
std::int64_t GroupScope(Connection& c, const std::string& node, const std::string& user,
                        const std::string& group) {
    std::optional<std::int64_t> own, ofGroup;
    for (const auto& row :
         c.Select("select SUBJECTKIND, CANSEACHOTHERGROUPORDERS from KAV_ORDERHANDLER_RIGHT where "
                  "NODECODE = ?1 and MODULECODE = '2' and ((SUBJECTKIND = 'U' and SUBJECTCODE = ?2) "
                  "or (SUBJECTKIND = 'G' and SUBJECTCODE = ?3))",
                  {node, user, group}))
        (TextOf(row[0]) == "U" ? own : ofGroup) = IntegerOf(row[1]);
    return own ? *own : ofGroup.value_or(0);
}

} // namespace

Variant TKavShiftCloseReport::GetShiftClose(const std::string& Context, const std::string& SellerCode,
                                            const std::string& FromTime, const std::string& ToTime) {
    const TContextText session = services_.sessions.Verify(Context);
    const std::string node = session.Value(context_names::NodeCode);
    const std::string user = session.Value(context_names::UserCode);
    const std::string group = session.Value(context_names::GroupCode);
    ShiftCloseQuery query{node,
                          SellerCode.empty() ? user : SellerCode,
                          {},
                          Time(FromTime, "交班起始时间"),
                          Time(ToTime, "交班结束时间")};
    if (query.to < query.from) Refuse("交班结束时间早于起始时间");

    Connection& c = ThreadConnection(services_.database);
    return PacketResult(
        InTransaction(c,
                      [&] {
                          const auto seller =
                              c.Select("select u.CNAME, u.GROUPCODE, g.OWNERCODE from KAV_USER u "
                                       "left join KAV_GROUP g on g.GROUPCODE = u.GROUPCODE where "
                                       "u.NODECODE = ?1 and u.USERCODE = ?2",
                                       {node, query.seller});
                          if (seller.empty()) Refuse("没有售票员 " + query.seller);
                          query.sellerName = TextOf(seller[0][0]);
                          if (query.seller != user) {
                              const std::int64_t scope = GroupScope(c, node, user, group);
                              const auto own =
                                  c.Select("select OWNERCODE from KAV_GROUP where GROUPCODE = ?1", {group});
                              const std::string ownOwner = own.empty() ? std::string() : TextOf(own[0][0]);
                              const bool reached =
                                  scope > 0 || (scope == 0 && TextOf(seller[0][1]) == group) ||
                                  (scope < 0 && !ownOwner.empty() && TextOf(seller[0][2]) == ownOwner);
                              if (!reached) Refuse("无权查看售票员 " + query.seller + " 的交班报表");
                          }
                          return ShiftClosePacket(c, query);
                      }),
        services_.maxMessageBytes);
}

} // namespace kav::server
