#include "host/camembersys.h"

#include "host/orb.h"
#include "platform/core/contexttext.h"
#include "platform/dataset/clientdataset.h"

#include <algorithm>

namespace kav {

namespace {

std::string SingleLine(std::string value) {
    std::replace_if(
        value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return value;
}

std::string Flag(bool value) {
    return value ? "Y" : "N";
}

} // namespace

TCAMemberSys::TCAMemberSys() : TCAMemberSys(ORB()) {}

TCAMemberSys::TCAMemberSys(pelio::TPelioClient& client) : memberSys_(&client) {}

std::string TCAMemberSys::ConditionText(const TQueryUserInfoConditionRecord& Condition) {
    TContextText text;
    const std::pair<const char*, const TQueryUserInfoCondition*> conditions[] = {
        {"MemberID", &Condition.MemberID},
        {"CardNo", &Condition.CardNo},
        {"CName", &Condition.CName},
        {"CellPhone", &Condition.CellPhone}};
    for (const auto& [name, condition] : conditions)
        if (condition->Used) text.SetValue(name, SingleLine(condition->Value));
    return text.Format();
}

std::string TCAMemberSys::MemberInfoText(const TMemberInfoRecord& Info) {
    TContextText text;
    const std::pair<const char*, const std::string*> fields[] = {{"MC_Time", &Info.HandlerTime},
                                                                 {"MC_PriceSum", &Info.PriceSum},
                                                                 {"MC_Cost", &Info.Cost},
                                                                 {"MC_CostType", &Info.CostType},
                                                                 {"MC_MemberID", &Info.MemberID},
                                                                 {"MC_Discount", &Info.Discount},
                                                                 {"MC_bPost", &Info.ShippingWay},
                                                                 {"MC_Address", &Info.Address},
                                                                 {"MC_UserName", &Info.UserName},
                                                                 {"MC_PhoneNumber", &Info.PhoneNumber},
                                                                 {"MC_PostMemo", &Info.PostMemo},
                                                                 {"MC_Creater", &Info.Creater},
                                                                 {"MC_WareCode", &Info.WareCode},
                                                                 {"MC_WareName", &Info.WareName},
                                                                 {"MC_WareTime", &Info.WareTime},
                                                                 {"MC_PlaceName", &Info.PlaceName},
                                                                 {"MC_OrderCode", &Info.OrderCode},
                                                                 {"MC_OrderSource", &Info.OrderSource},
                                                                 {"MC_SaleClassName", &Info.SaleClassName},
                                                                 {"MC_InvoiceHead", &Info.InvoiceHead},
                                                                 {"MC_Isonecard", &Info.IsOneCard},
                                                                 {"MC_Group", &Info.Group},
                                                                 {"MC_ProduceGroup", &Info.ProductGroup}};
    for (const auto& [name, value] : fields)
        text.SetValue(name, SingleLine(*value));
    return text.Format();
}

Variant TCAMemberSys::TicketInfoPacket(const TTicketInfoRecordList& Tickets) {
    TClientDataSet lines;
    for (const char* name : {"PRICELEVEL", "PRICE", "SEATAMOUNT", "TOTALPRICE"})
        lines.AddFieldDef(name, TFieldType::ftString, 32);
    lines.CreateDataSet();
    for (const TTicketInfoRecord& t : Tickets)
        lines.AppendRecord({t.PriceLevel, t.Price, t.SeatAmount, t.TotalPrice});
    return Variant::ByteArray(lines.Data());
}

TMemberUserInfoList TCAMemberSys::QueryUserInfo(const std::string& Context,
                                                const TQueryUserInfoConditionRecord& Condition,
                                                const std::string& Mode) {
    TClientDataSet rows;
    rows.SetData(memberSys_.QueryUserInfo(Context, ConditionText(Condition), Mode).ByteArrayView());
    TMemberUserInfoList members;
    for (rows.First(); !rows.Eof(); rows.Next()) {
        TMemberUserInfo m;
        m.MemberKey = rows.FieldByName("MEMBERKEY").AsString();
        m.MemberID = rows.FieldByName("MEMBERID").AsString();
        m.IsFeeMember = rows.FieldByName("ISFEEMEMBER").AsString() == Flag(true);
        m.Balance = rows.FieldByName("BALANCE").AsFloat();
        m.CardNo = rows.FieldByName("CARDNO").AsString();
        m.GroupCode = rows.FieldByName("GROUPCODE").AsString();
        m.Points = rows.FieldByName("POINTS").AsInteger();
        m.IsSwipe = rows.FieldByName("ISSWIPE").AsString() == Flag(true);
        m.ClassName = rows.FieldByName("CLASSNAME").AsString();
        m.CName = rows.FieldByName("CNAME").AsString();
        m.CellPhone = rows.FieldByName("CELLPHONE").AsString();
        members.push_back(std::move(m));
    }
    return members;
}

bool TCAMemberSys::CheckCardPassword(const std::string& Context, const std::string& CardNo,
                                     const std::string& Password) {
    return memberSys_.CheckCardPassword(Context, CardNo, Password);
}

bool TCAMemberSys::SaveSaleInfoByServer(const std::string& Context, const std::string& OrderCode,
                                        const std::string& SaleInfo, bool NoteFlag, bool IsMember) {
    return memberSys_.SaveSaleInfoByServer(Context, OrderCode, SaleInfo, NoteFlag, IsMember);
}

bool TCAMemberSys::SaveSaleInfoBySOAP(const std::string& Context, const TMemberInfoRecord& Info,
                                      bool IsMember, bool NoteFlag) {
    return memberSys_.SaveSaleInfoBySOAP(Context, MemberInfoText(Info), TicketInfoPacket(Info.Tickets),
                                         IsMember, NoteFlag);
}

std::string TCAMemberSys::Post(const std::string& Context, const std::string& Lines,
                               const std::string& OperationName, bool NoteFlag, bool IsMember) {
    return memberSys_.Post(Context, Lines, OperationName, NoteFlag, IsMember);
}

} // namespace kav
