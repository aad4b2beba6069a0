#include "salecore/usaleticketcoreimpl.h"

#include "dialogs/kavdialog.h"
#include "host/orb.h"
#include "host/sqltext.h"
#include "platform/core/datetime.h"
#include "services/salesearchshow/tpsalesearchshow_int.h"

#include <algorithm>

namespace kav {

namespace {

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The seat code as the statement takes it: digits, bare or between apostrophes.
bool IsSeatCodeLiteral(std::string_view code) {
    if (code.size() >= 2 && code.front() == '\'' && code.back() == '\'')
        code = code.substr(1, code.size() - 2);
    return AllDigits(code);
}

int FirstInteger(TClientDataSet& rows) {
    if (rows.IsEmpty() || rows.FieldCount() == 0 || rows.Fields(0).IsNull()) return 0;
    return rows.Fields(0).AsInteger();
}

} // namespace

TSaleTicketCoreImpl::TSaleTicketCoreImpl() : TSaleTicketCoreImpl(ORB()) {}

TSaleTicketCoreImpl::TSaleTicketCoreImpl(pelio::TPelioClient& client)
    : foreBook_(client), ticketFaceShow_(client), ticketOffice_(client), saleSearch_(client), pipe_(client),
      groupMaxSaleMoney_(pipe_) {}

TSaleTicketCoreImpl::~TSaleTicketCoreImpl() = default;

Variant TSaleTicketCoreImpl::Query(const std::string& sql) {
    return pipe_.GetData(ContextText(), sql);
}

Variant TSaleTicketCoreImpl::SelectOrder(const std::string& Context, const TSearchOrderCondition& Condition) {
    LoadContext(Context);
    std::string sql = SqlFormat(
        "select "
        "o.CREATETIME,d.PRICELEVEL,d.PRICE,o.RECEIVABLES,o.SEATCOUNT,c.CNAME,c.TEL,c.CLIENTLEVEL,d.DISCOUNT,"
        "o.ORDERCODE,o.CREATEUSER,o.ORDERSTATUS,o.PAYEE,o.GATHERINGTIME,o.ISPRINTPRICE,d.PRINTORIGINAL,"
        "p.PRODUCTCODE,p.HAPPENTIME,p.CNAME as PRODUCTNAME, o.saleclasscode, o.ISPLACERESERVE,"
        "s.cname as SaleClassName, o.ISGIFT, pl.PLACECODE,pl.CNAME as PLACENAME ,p.UserRegType,"
        "p.PRODUCTOWNERGROUP,  "
        "o.FetchWay,c.CADDRESS,c.CellPhone,c.IdentTypeID,c.IdentCode,o.InVoiceHead,c.Comment "
        "from KAV_ORDER_SHOW o left join KAV_SaleClass s on o.SaleClassCode = s.SaleClassCode and "
        "o.nodecode = s.nodecode and o.productcode = s.productcode inner join KAV_ORDER_DISCOUNT_SHOW d on "
        "o.NODECODE=d.NODECODE and o.ORDERCODE=d.ORDERCODE inner join KAV_ORDER_CLIENT_SHOW c on "
        "o.NODECODE=c.NODECODE and o.ORDERCODE=c.ORDERCODE inner join KAV_PRODUCT P on o.NODECODE=p.NODECODE "
        "and "
        "o.PRODUCTCODE=p.PRODUCTCODE and p.STATUS<>'9'  inner join KAV_PLACE pl on p.NODECODE=pl.NODECODE "
        "and "
        "p.PLACECODE=pl.PLACECODE where o.NODECODE='%s' and o.SYSTEMBOOKING='Y' and d.SEATAMOUNT<>0 and "
        "o.ORDERSTATUS='B' and p.SaleEndTime >= cast('Now' as timestamp)  and o.CREATETIME>='%s' and "
        "o.CREATETIME<='%s'",
        {context_.NodeCode(), FormatDateTimeIso(Condition.BeginTime), FormatDateIso(Condition.EndTime + 1)});
    if (!Condition.CustomerName.empty())
        sql += SqlFormat(" and c.CNAME like '%s'", {"%" + Condition.CustomerName + "%"});
    return Query(sql);
}

Variant TSaleTicketCoreImpl::GetBookSeatInfo(const std::string& Context, const std::string& OrderCode) {
    LoadContext(Context);
    return Query(SqlFormat(
        " select e.cname as SectionName, f.name as FloorName,  r.name as RowName, s.SeatCode, s.SeatNo, "
        "s.Status, "
        "s.PriceLevel from  KAV_SEAT_SHOW s inner join kav_section_show e  on s.sectioncode = e.sectioncode "
        "inner "
        "join kav_floor_show f  on s.sectioncode = f.sectioncode  and s.floorno = f.floorno  inner join "
        "kav_row_show r on s.sectioncode = r.sectioncode and  s.floorno = r.floorno and s.rowno = r.rowno "
        "where "
        "s.ORDERCODE = '%s' order by s.PriceLevel, s.RowNo, s.Y, s.X",
        {OrderCode}));
}

Variant TSaleTicketCoreImpl::GetSectionData(const std::string& Context, const std::string& SeatCode) {
    if (!IsSeatCodeLiteral(SeatCode)) throw ESaleTicketCore("座位号 " + SeatCode + " 不是数字");
    LoadContext(Context);
    return Query(
        "select s.SectionCode,s.BACKPIC,s.TTC_SectionGroupCode from KAV_SECTION_SHOW s inner join "
        "kav_seat_show t on s.NODECODE=t.NODECODE and s.sectioncode=t.sectioncode where t.seatcode=" +
        SeatCode);
}

Variant TSaleTicketCoreImpl::GetIDTypeBriefData(const std::string& Context) {
    LoadContext(Context);
    return Query(
        SqlFormat(" Select IDENTTYPEID,IDENTTYPENAME from KAV_MEMBER_IDENTTYPE  where NODECODE = '%s'",
                  {context_.NodeCode()}));
}

std::string TSaleTicketCoreImpl::GetSectionGroupCode(const std::string& Context,
                                                     const std::string& ProductCode,
                                                     const std::string& SectionCode) {
    LoadContext(Context);
    TClientDataSet rows;
    rows.SetData(
        Query(SqlFormat(" Select TTC_SectionGroupCode from KAV_SECTION_SHOW  where ProductCode = '%s' and "
                        "SectionCode = '%s'",
                        {ProductCode, SectionCode}))
            .ByteArrayView());
    return rows.IsEmpty() ? std::string() : rows.Fields(0).AsString();
}

Variant TSaleTicketCoreImpl::GetForeBookSeat(const std::string& Context, const std::string& Code) {
    LoadContext(Context);
    return foreBook_.GetForeBookSeat(ContextText(), Code);
}

bool TSaleTicketCoreImpl::UpdateClientInfo(const std::string& Context, const Variant& ClientData) {
    try {
        LoadContext(Context);
        return foreBook_.SetClientInfo(ContextText(), ClientData) >= 1;
    } catch (const std::exception& e) {
        ShowErrorMessage(e.what(), "错误");
        return false;
    }
}

bool TSaleTicketCoreImpl::CancelOrder(const std::string& Context, const std::string& OrderCode) {
    LoadContext(Context);
    return foreBook_.CancelForeBook(ContextText(), OrderCode);
}

TCancelForeBook_Result TSaleTicketCoreImpl::CancelForeBook(const std::string& Context,
                                                           const std::string& OrderCode) {
    try {
        return CancelOrder(Context, OrderCode) ? R_CF_OK : R_CF_CANCELFOREBOOKFAILED;
    } catch (const std::exception& e) {
        SetLastSaleCoreErrorMsg(e.what());
        return R_CF_UNKNOWERROR;
    }
}

bool TSaleTicketCoreImpl::CanExecuteOrder(const std::string& Context, const std::string& OrderCode) {
    LoadContext(Context);
    return saleSearch_.CanExecuteAction(ContextText(), OrderCode, std::string(kActionExecuteOrder));
}

bool TSaleTicketCoreImpl::CanCancelOrder(const std::string& Context, const std::string& OrderCode) {
    LoadContext(Context);
    return saleSearch_.CanExecuteAction(ContextText(), OrderCode, std::string(kActionCancelOrder));
}

bool TSaleTicketCoreImpl::AccountFail(const std::string& Context, const std::string& OrderCode) {
    LoadContext(Context);
    return ticketOffice_.ISAccountFail(ContextText(), OrderCode);
}

std::vector<bool> GiftSeats(std::size_t seatCount, int giftNum, int ticketNum) {
    std::vector<bool> gifts(seatCount, false);
    if (giftNum <= 0 || ticketNum <= 0) return gifts;
    const std::size_t suites = seatCount / static_cast<std::size_t>(giftNum + ticketNum);
    if (suites == 0) return gifts;
    const std::size_t length = seatCount / suites;
    for (std::size_t i = 0; i < length * suites; ++i)
        gifts[i] = i % length >= length - static_cast<std::size_t>(giftNum);
    return gifts;
}

void TSaleTicketCoreImpl::_Init_pt_SeatInfoList(Tpt_SeatInfoList& List,
                                                const std::vector<std::string>& SeatCodes,
                                                const std::string& Context, const std::string& ProductCode,
                                                const std::string& SaleClassCode, bool AllGift) {
    LoadContext(Context);
    const std::string node = context_.NodeCode();
    TClientDataSet rows;
    rows.SetData(Query(SqlFormat("SELECT DISTINCT(GIFTNUM) FROM KAV_SALECLASSLEVEL WHERE NODECODE = '%s' AND "
                                 "PRODUCTCODE = '%s' AND SALECLASSCODE = '%s'",
                                 {node, ProductCode, SaleClassCode}))
                     .ByteArrayView());
    const int giftNum = FirstInteger(rows);
    int ticketNum = 0;
    if (giftNum > 0) {
        rows.SetData(
            Query(SqlFormat("SELECT TICKETNUM FROM KAV_SALECLASS WHERE NODECODE = '%s' AND PRODUCTCODE = "
                            "'%s' AND SALECLASSCODE = '%s'",
                            {node, ProductCode, SaleClassCode}))
                .ByteArrayView());
        ticketNum = FirstInteger(rows);
    }
    const std::vector<bool> gifts = GiftSeats(SeatCodes.size(), giftNum, ticketNum);
    List.Clear();
    for (std::size_t i = 0; i < SeatCodes.size(); ++i)
        List.Add(std::make_unique<Tpt_SeatInfo>(Tpt_SeatInfo{SeatCodes[i], AllGift || gifts[i], false}));
}

ISaleTicketCoreIntf& _SaleTicketCoreIntf() {
    static TSaleTicketCoreImpl core;
    return core;
}

} // namespace kav
