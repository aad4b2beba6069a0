#include "server/loginservant.h"

#include "rpc/exceptions.h"
#include "rpc/pelioenv.h"
#include "server/access/loginattempt.h"
#include "server/passwordcheck.h"
#include "server/ticketoffice/sqlvalues.h"

namespace kav::server {

namespace {

[[noreturn]] void Refuse(std::string_view text) {
    throw pelio::EosRemoteException(std::string(text));
}

} // namespace

std::string TKavLogin::Login(const std::string& UserCode, const std::string& Password) {
    Connection& connection = ThreadConnection(services_.database);
    const auto rows =
        connection.Select("select U.NODECODE, U.USERCODE, U.CNAME, U.GROUPCODE, U.PASSWORDHASH, "
                          "U.ISVALID, G.GROUPTYPE, G.OWNERCODE, G.CNAME, S.CNAME "
                          "from KAV_USER U left join KAV_GROUP G on G.GROUPCODE = U.GROUPCODE "
                          "left join KAV_SYSINFO_SHOW S on S.CUSTOMMODULE = 'SITECODE' and S.ISVALID = 'Y' "
                          "where U.USERCODE = ?1",
                          {UserCode});
    const std::vector<SqlValue>* user = rows.size() == 1 ? &rows.front() : nullptr;
    TLoginAttempt attempt(connection, services_.loginLimits, UserCode,
                          Environment() ? Environment()->Info.PeerAddress : std::string(),
                          user ? TextOf((*user)[0]) : std::string());
    if (!attempt.Admit()) Refuse(kTooManyFailuresText);
    if (!user || !PasswordMatches(TextOf((*user)[4]), Password)) {
        attempt.Failed();
        Refuse(kLoginRefusedText);
    }
    if (TextOf((*user)[5]) != "Y") {
        attempt.Refused(kUserDisabledText);
        Refuse(kUserDisabledText);
    }
    attempt.Succeeded();

    namespace name = context_names;
    TContextText context;
    context.SetValue(name::NodeCode, TextOf((*user)[0]));
    context.SetValue(name::UserCode, TextOf((*user)[1]));
    context.SetValue(name::UserName, TextOf((*user)[2]));
    context.SetValue(name::GroupCode, TextOf((*user)[3]));
    context.SetValue(name::GroupType, TextOf((*user)[6]));
    context.SetValue(name::OwnerCode, TextOf((*user)[7]));
    // The site is the venue's own code where the site switch names one (it selects the credit companies
    // and whether text messages are sent); else the user's sales point stands for it.
    const std::string site = TextOf((*user)[9]);
    context.SetValue(name::SiteCode, site.empty() ? TextOf((*user)[3]) : site);
    context.SetValue(name::SiteName, TextOf((*user)[8]));
    return services_.sessions.Issue(std::move(context));
}

} // namespace kav::server
