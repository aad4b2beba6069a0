// The ledger SQL of the collect reports: the texts the database catalogue was checked against, and the
// clauses each option, period and code adds.

#include "reports/common/reportlookups.h"
#include "reports/common/reportsql.h"
#include "statementcatalogue.h"

#include <gmock/gmock.h>

using namespace kav;
using namespace kav::reports;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const std::string& Catalogued(const std::string& id) {
    return kav::test::CataloguedStatement(id).sql;
}

TReportPeriod November() {
    TReportPeriod period;
    period.from = EncodeDateTime({2026, 11, 1, 0, 0, 0, 0});
    period.to = EncodeDateTime({2026, 12, 7, 23, 59, 59, 0});
    return period;
}

const std::string kProducts = QuotedCodeList({"P0001", "P0002"});
const std::string kPartner = "http://www.damai.cn";

} // namespace

TEST(ReportSql, MatchesTheCatalogue) {
    const TReportPeriod none;
    EXPECT_EQ(PerformSaleSQL("01", kProducts, November(), TSaleSource::All, kPartner),
              Catalogued("report.perform.sale.all"));
    EXPECT_EQ(PerformSaleSQL("01", kProducts, none, TSaleSource::Own, kPartner),
              Catalogued("report.perform.sale.own"));
    EXPECT_EQ(PerformSaleSQL("01", kProducts, November(), TSaleSource::Partner, kPartner),
              Catalogued("report.perform.sale.partner"));
    EXPECT_EQ(PerformPaymentSQL("01", kProducts, November(), TSaleSource::All, kPartner),
              Catalogued("report.perform.payment"));
    EXPECT_EQ(PerformPaymentSQL("01", kProducts, none, TSaleSource::All, kPartner),
              Catalogued("report.perform.payment.unbounded"));
    EXPECT_EQ(PerformPaymentSQL("01", kProducts, November(), TSaleSource::Own, kPartner),
              Catalogued("report.perform.payment.own"));

    const std::string users = QuotedCodeList({"U001", "DMDZP"});
    const struct {
        TSaleType type;
        TSaleSide side;
        bool period;
        const char* id;
    } userCases[] = {
        {TSaleType::All, TSaleSide::All, true, "report.user.sale.g0_t0"},
        {TSaleType::Online, TSaleSide::Theatre, false, "report.user.sale.g1_t2"},
        {TSaleType::System, TSaleSide::Theatre, false, "report.user.sale.g1_t1"},
        {TSaleType::All, TSaleSide::Theatre, true, "report.user.sale.g1_t0"},
        {TSaleType::Online, TSaleSide::Partner, false, "report.user.sale.g2_t2"},
        {TSaleType::System, TSaleSide::Partner, false, "report.user.sale.g2_t1"},
        {TSaleType::All, TSaleSide::Partner, false, "report.user.sale.g2_t0"},
    };
    for (const auto& c : userCases)
        EXPECT_EQ(UserSaleSQL("01", users, kProducts, c.period ? November() : none, c.type, c.side, kPartner),
                  Catalogued(c.id))
            << c.id;

    const std::string groups = QuotedCodeList({"G001", "DM01"});
    EXPECT_EQ(GroupSaleSQL("01", groups, kProducts, November(), TSaleType::All, TSaleSide::All, kPartner),
              Catalogued("report.group.sale.g0_t0"));
    EXPECT_EQ(GroupSaleSQL("01", groups, kProducts, none, TSaleType::System, TSaleSide::Partner, kPartner),
              Catalogued("report.group.sale.g2_t1"));
    EXPECT_EQ(GroupSaleSQL("01", groups, kProducts, none, TSaleType::Online, TSaleSide::Theatre, kPartner),
              Catalogued("report.group.sale.g1_t2"));
}

TEST(ReportSql, PeriodOnlyWithBothBounds) {
    TReportPeriod fromOnly;
    fromOnly.from = EncodeDate(2026, 11, 1);
    TReportPeriod toOnly;
    toOnly.to = EncodeDate(2026, 12, 7);
    for (const TReportPeriod& period : {fromOnly, toOnly}) {
        EXPECT_THAT(PerformSaleSQL("01", kProducts, period, TSaleSource::All, kPartner),
                    Not(HasSubstr("AccountTime")));
        EXPECT_THAT(PerformPaymentSQL("01", kProducts, period, TSaleSource::All, kPartner),
                    Not(HasSubstr("AccountTime")));
        EXPECT_THAT(UserSaleSQL("01", "'U001'", kProducts, period, TSaleType::All, TSaleSide::All, kPartner),
                    Not(HasSubstr("AccountTime")));
        EXPECT_EQ(period.PrintedFrom(), "");
        EXPECT_EQ(period.PrintedTo(), "");
    }
    EXPECT_EQ(fromOnly.FromText(), "2026-11-01 00:00:00");
    EXPECT_EQ(toOnly.FromText(), "1899-12-30 00:00:00");
    EXPECT_EQ(November().PrintedTo(), "2026-12-07");
    TReportPeriod reversed = November();
    std::swap(reversed.from, reversed.to);
    EXPECT_TRUE(reversed.Reversed());
    EXPECT_FALSE(November().Reversed());
}

TEST(ReportSql, CodesStayInsideTheirLiterals) {
    EXPECT_EQ(QuotedCodeList({"T'01", "", "P2"}), "'T''01','P2'");
    const std::string sql =
        PerformSaleSQL("0'1", QuotedCodeList({"x') or ('1'='1"}), {}, TSaleSource::Own, "a'b");
    EXPECT_THAT(sql, HasSubstr("r.NODECODE = '0''1'"));
    EXPECT_THAT(sql, HasSubstr("in ('x'') or (''1''=''1')"));
    EXPECT_THAT(sql, HasSubstr("homepage='a''b'"));
    EXPECT_THAT(
        GroupSaleSQL("01", QuotedCodeList({"G'1"}), kProducts, {}, TSaleType::All, TSaleSide::All, ""),
        HasSubstr("r.AccountGroup in ('G''1')"));
}

TEST(ReportSql, LookupsMatchTheCatalogue) {
    const struct {
        TReportLookup lookup;
        const char* id;
    } cases[] = {{TReportLookup::Products, "report.lookup.products"},
                 {TReportLookup::SaleClassNames, "report.lookup.saleclass_names"},
                 {TReportLookup::Places, "report.lookup.places"},
                 {TReportLookup::ProductClasses, "report.lookup.product_classes"},
                 {TReportLookup::Groups, "report.lookup.groups"},
                 {TReportLookup::Users, "report.lookup.users"},
                 {TReportLookup::SiteSettings, "report.lookup.site_settings"}};
    for (const auto& c : cases)
        EXPECT_EQ(ReportLookupSQL(c.lookup, "01"), Catalogued(c.id)) << c.id;
    EXPECT_EQ(NamedProductsSQL("01", {"P0001", "P0009"}), Catalogued("report.lookup.products.named"));
    EXPECT_THAT(NamedProductsSQL("0'1", {"P'1"}),
                AllOf(HasSubstr("p.NODECODE = '0''1'"), HasSubstr("p.PRODUCTCODE in ('P''1')")));
}
