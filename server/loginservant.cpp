#include "server/loginservant.h"

#include "rpc/exceptions.h"
#include "server/passwordcheck.h"

namespace kav::server {

namespace {

std::string Text(const SqlValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
    return {};
}

[[noreturn]] void Refuse(std::string_view text) {
    throw pelio::EosRemoteException(std::string(text));
}

} // namespace

std::string TKavLogin::Login(const std::string& UserCode, const std::string& Password) {
    const auto rows = ThreadConnection(services_.database)
                          .Select("select U.NODECODE, U.USERCODE, U.CNAME, U.GROUPCODE, U.PASSWORDHASH, "
                                  "U.ISVALID, G.GROUPTYPE, G.OWNERCODE, G.CNAME "
                                  "from KAV_USER U left join KAV_GROUP G on G.GROUPCODE = U.GROUPCODE "
                                  "where U.USERCODE = ?1",
                                  {UserCode});
    if (rows.size() != 1) Refuse(kLoginRefusedText);
    const std::vector<SqlValue>& user = rows.front();
    if (!PasswordMatches(Text(user[4]), Password)) Refuse(kLoginRefusedText);
    if (Text(user[5]) != "Y") Refuse(kUserDisabledText);

    namespace name = context_names;
    TContextText context;
    context.SetValue(name::NodeCode, Text(user[0]));
    context.SetValue(name::UserCode, Text(user[1]));
    context.SetValue(name::UserName, Text(user[2]));
    context.SetValue(name::GroupCode, Text(user[3]));
    context.SetValue(name::GroupType, Text(user[6]));
    context.SetValue(name::OwnerCode, Text(user[7]));
    // The user's sales point is the site the user sells at.
    context.SetValue(name::SiteCode, Text(user[3]));
    context.SetValue(name::SiteName, Text(user[8]));
    return services_.sessions.Issue(std::move(context));
}

} // namespace kav::server
