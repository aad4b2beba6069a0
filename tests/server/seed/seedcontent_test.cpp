// The demo data holds together the way the windows expect: each check counts the rows that break
// one rule, which must be none, or counts what a window needs to show, which must be some.
#include "seedtesting.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

namespace kav::server::test {
namespace {

struct Rule {
    const char* what;
    const char* sql;
};

// Each statement counts offending rows.
constexpr Rule kBroken[] = {
    {"seat held by a missing or cancelled order",
     "select count(*) from KAV_SEAT_SHOW s left join KAV_ORDER_SHOW o on o.ORDERCODE = s.ORDERCODE "
     "where s.ORDERCODE is not null and (o.ORDERCODE is null or o.ORDERSTATUS in ('C', 'U'))"},
    {"seat status does not match its order",
     "select count(*) from KAV_SEAT_SHOW where (ORDERCODE is null and STATUS <> 'F') or "
     "(ORDERCODE is not null and STATUS = 'F') or STATUS not in ('F', 'B', 'A', 'O', 'G', 'C')"},
    {"live order whose seat count differs from its seats",
     "select count(*) from KAV_ORDER_SHOW o where o.ORDERSTATUS not in ('C', 'U') and o.SEATCOUNT <> "
     "(select count(*) from KAV_SEAT_SHOW s where s.ORDERCODE = o.ORDERCODE)"},
    {"order whose lines do not add up to its seats and money",
     "select count(*) from KAV_ORDER_SHOW o where o.SEATCOUNT <> (select sum(SEATAMOUNT) from "
     "KAV_ORDER_DISCOUNT_SHOW d where d.ORDERCODE = o.ORDERCODE) or abs(o.RECEIVABLES - (select "
     "sum(TOTALPRICE) from KAV_ORDER_DISCOUNT_SHOW d where d.ORDERCODE = o.ORDERCODE)) > 0.005"},
    {"paid order whose ledger money differs from what it took",
     "select count(*) from KAV_ORDER_SHOW o where o.PAYEE is not null and o.ORDERSTATUS in ('A', 'R') and "
     "abs(o.RECEIVABLES - (select sum(PRICE) from KAV_REPORT_SHOW r where r.ORDERCODE = o.ORDERCODE)) > "
     "0.005"},
    {"refunded order whose ledger does not balance",
     "select count(*) from KAV_ORDER_SHOW o where o.PAYEE is not null and o.ORDERSTATUS in ('C', 'U') and "
     "abs((select sum(PRICE) from KAV_REPORT_SHOW r where r.ORDERCODE = o.ORDERCODE)) > 0.005"},
    {"seat outside the 150 x 100 grid",
     "select count(*) from KAV_SEAT_SHOW where X < 1 or X > 150 or Y < 1 or Y > 100"},
    {"two seats in one cell",
     "select count(*) from (select SECTIONCODE, X, Y from KAV_SEAT_SHOW group by SECTIONCODE, X, Y "
     "having count(*) > 1) q"},
    {"two seats with one number",
     "select count(*) from (select SECTIONCODE, FLOORNO, ROWNO, SEATNO, ISADDITION from KAV_SEAT_SHOW group "
     "by SECTIONCODE, FLOORNO, ROWNO, SEATNO, ISADDITION having count(*) > 1) q"},
    {"seat without its row or floor",
     "select count(*) from KAV_SEAT_SHOW s left join KAV_ROW_SHOW r on r.SECTIONCODE = s.SECTIONCODE and "
     "r.FLOORNO = s.FLOORNO and r.ROWNO = s.ROWNO left join KAV_FLOOR_SHOW f on f.SECTIONCODE = "
     "s.SECTIONCODE and f.FLOORNO = s.FLOORNO where r.NAME is null or f.NAME is null"},
    {"priced seat level without a price",
     "select count(*) from KAV_SEAT_SHOW s left join KAV_PRICE_SHOW p on p.PRODUCTCODE = s.PRODUCTCODE and "
     "p.PRICELEVEL = s.PRICELEVEL where s.PRICELEVEL between 'A' and 'H' and p.PRICE is null"},
    {"order of a seat of another performance",
     "select count(*) from KAV_SEAT_SHOW s join KAV_ORDER_SHOW o on o.ORDERCODE = s.ORDERCODE where "
     "o.PRODUCTCODE <> s.PRODUCTCODE"},
    {"code the client does not know",
     "select count(*) from KAV_ORDER_SHOW where ORDERSTATUS not in ('B', 'A', 'C', 'R', 'N', 'U') or "
     "ORDERFROM not in ('1', '2', '3') or FETCHWAY not in ('1', '2', '3') or CLIENTTYPE not in ('1', '3') or "
     "(ORDERSTATUS in ('N', 'U') and ORDERFROM <> '3')"},
    {"order handled or paid before it was made",
     "select count(*) from KAV_ORDER_SHOW where ORDERHANDLERTIME < CREATETIME or GATHERINGTIME < CREATETIME"},
    {"order, customer or user without its partner row",
     "select count(*) from KAV_ORDER_SHOW o left join KAV_ORDER_CLIENT_SHOW c on c.ORDERCODE = o.ORDERCODE "
     "left join KAV_USER u on u.USERCODE = o.CREATEUSER left join KAV_GROUP g on g.GROUPCODE = o.CREATEGROUP "
     "where c.ORDERCODE is null or u.USERCODE is null or g.GROUPCODE <> u.GROUPCODE"},
    {"password hash that is not an argon2 string",
     "select count(*) from KAV_USER where PASSWORDHASH not like '$argon2id$%'"},
    {"member order without its member's card",
     "select count(*) from KAV_ORDER_SHOW o left join KAV_MEMBER m on m.NODECODE = o.NODECODE and m.MEMBERID "
     "= "
     "o.MEMBERID where o.MEMBERID is not null and (m.CARDNO is null or m.CARDNO <> o.MEMBERCARDNO or "
     "m.CARDPASSWORDHASH not like '$argon2id$%')"},
    {"stored-value member order whose member has no stored-value card",
     "select count(*) from KAV_ORDER_SHOW o join KAV_MEMBER m on m.MEMBERID = o.MEMBERID where "
     "o.ISFEEMEMBER = 'Y' and m.ISFEEMEMBER <> 'Y'"},
    {"collection password shared by two orders still to be collected",
     "select count(*) from (select ORDERPASSWORD from KAV_ORDER_SHOW where ORDERSTATUS in ('B', 'N', 'R') "
     "and ORDERPASSWORD is not null group by NODECODE, ORDERPASSWORD having count(*) > 1) q"},
};

// Each statement counts rows a window needs; there must be some.
constexpr Rule kPresent[] = {
    {"performances on sale", "select count(*) from KAV_PRODUCT where STATUS in ('5', '6')"},
    {"a void performance", "select count(*) from KAV_PRODUCT where STATUS = '9'"},
    {"two venues", "select count(*) - 1 from KAV_PLACE"},
    {"sections of about a thousand seats",
     "select count(*) from (select SECTIONCODE from KAV_SEAT_SHOW group by SECTIONCODE having count(*) "
     "between 900 and 1100) q"},
    {"every seat status", "select count(distinct STATUS) - 5 from KAV_SEAT_SHOW"},
    {"every order status", "select count(distinct ORDERSTATUS) - 5 from KAV_ORDER_SHOW"},
    {"every order source", "select count(distinct ORDERFROM) - 2 from KAV_ORDER_SHOW"},
    {"gift seats of suites", "select count(*) from KAV_SEAT_SHOW s join KAV_ORDER_SHOW o on o.ORDERCODE = "
                             "s.ORDERCODE where o.ISSUITE = 'Y' and s.STATUS = 'G'"},
    {"every ledger sort", "select count(distinct SALESORT) - 3 from KAV_REPORT_SHOW"},
    {"every pay mode in the ledger", "select count(distinct PAYMODECODE) - 5 from KAV_REPORT_SHOW"},
    {"several group types", "select count(distinct GROUPTYPE) - 4 from KAV_GROUP"},
    {"rights of users and groups", "select count(distinct SUBJECTKIND) - 1 from KAV_ORDERHANDLER_RIGHT"},
    {"registered customers", "select count(*) from KAV_CLIENTINFO where SEATCODE is not null"},
    {"tickets", "select count(*) from KAV_TICKET_SHOW"},
    {"split payments", "select count(*) from KAV_PAYMODEMONEY_SHOW"},
    {"booked orders a stored-value card can pay",
     "select count(*) from KAV_ORDER_SHOW o join KAV_MEMBER m on m.MEMBERID = o.MEMBERID where "
     "o.ORDERSTATUS = 'B' and m.ISFEEMEMBER = 'Y'"},
    {"a group denied cancelling", "select count(*) from KAV_GROUP_ACTION_DENY where ACTIONCODE = '4'"},
};

class SeedContentTest : public ::testing::TestWithParam<Backend> {};

TEST_P(SeedContentTest, RowsHoldTogether) {
    auto connection = DemoDatabase(GetParam()).Connect();
    for (const auto& rule : kBroken)
        EXPECT_EQ(CountOf(*connection, rule.sql), 0) << rule.what;
}

TEST_P(SeedContentTest, EveryWindowHasSomethingToShow) {
    auto connection = DemoDatabase(GetParam()).Connect();
    for (const auto& rule : kPresent)
        EXPECT_GT(CountOf(*connection, rule.sql), 0) << rule.what;
}

INSTANTIATE_TEST_SUITE_P(Backends, SeedContentTest, ::testing::ValuesIn(TestBackends()),
                         [](const auto& info) { return BackendName(info.param); });

} // namespace
} // namespace kav::server::test
