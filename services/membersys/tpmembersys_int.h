#pragma once
// ITPMemberSys: the member system. It answers who a member is (never the card password), checks a
// card password, and records a member's purchase once its tickets are printed, in the three ways
// the sites use: by server (name=value text), by SOAP record (record text and its price level
// lines) and by form post (the lines of the HTTP form, also accepted over HTTP by kav-server).
// `Context` is the caller's signed session context; only members of its node are read. Texts of
// name=value lines use the session context's text format (platform/core/contexttext.h). Columns,
// names and refusals: docs/services.md.

#include "rpc/remote.h"
#include "rpc/variant.h"

#include <string>
#include <string_view>

namespace kav {

using pelio::Variant;

inline constexpr std::string_view kMemberSysInterface = "ITPMemberSys";
// The answer of a form post that was recorded; a refused post answers another text.
inline constexpr std::string_view kMemberPostAccepted = "A00006";
// The operation name of the member purchase form post.
inline constexpr std::string_view kConsumeInfoPost = "ConsumeInfoPost";

class ITPMemberSys {
public:
    virtual ~ITPMemberSys() = default;

    // Members matching every condition of Condition (name=value lines); Mode is the member-system
    // mode letter Y, N or H.
    virtual Variant QueryUserInfo(const std::string& Context, const std::string& Condition,
                                  const std::string& Mode) = 0;
    virtual bool CheckCardPassword(const std::string& Context, const std::string& CardNo,
                                   const std::string& Password) = 0;
    virtual bool SaveSaleInfoByServer(const std::string& Context, const std::string& OrderCode,
                                      const std::string& SaleInfo, bool NoteFlag, bool IsMember) = 0;
    virtual bool SaveSaleInfoBySOAP(const std::string& Context, const std::string& MemberInfo,
                                    const Variant& TicketInfo, bool IsMember, bool NoteFlag) = 0;
    // The response text: kMemberPostAccepted when the purchase was recorded.
    virtual std::string Post(const std::string& Context, const std::string& Lines,
                             const std::string& OperationName, bool NoteFlag, bool IsMember) = 0;
};

namespace membersys_ops {
using namespace pelio::wire;
using I = ITPMemberSys;
template <class R, class... A> using Op = pelio::TRemoteOperation<I, R, A...>;

inline constexpr Op<OleVariant, String, String, String> QueryUserInfo{"QueryUserInfo", &I::QueryUserInfo};
inline constexpr Op<Boolean, String, String, String> CheckCardPassword{"CheckCardPassword",
                                                                       &I::CheckCardPassword};
inline constexpr Op<Boolean, String, String, String, Boolean, Boolean> SaveSaleInfoByServer{
    "SaveSaleInfoByServer", &I::SaveSaleInfoByServer};
inline constexpr Op<Boolean, String, String, Packet, Boolean, Boolean> SaveSaleInfoBySOAP{
    "SaveSaleInfoBySOAP", &I::SaveSaleInfoBySOAP};
inline constexpr Op<String, String, String, String, Boolean, Boolean> Post{"Post", &I::Post};
} // namespace membersys_ops

} // namespace kav
