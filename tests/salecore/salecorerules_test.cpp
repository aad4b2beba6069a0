// The sale core's rules that need no server: gift seats of a suite, the section picture of a face,
// and the ticket columns the data module works out.

#include "salecore/cdsaleticketcore.h"
#include "salecore/usaleticketcoreimpl.h"

#include <gtest/gtest.h>

using namespace kav;

namespace {

std::string Marks(const std::vector<bool>& gifts) {
    std::string marks;
    for (bool gift : gifts)
        marks += gift ? 'G' : '.';
    return marks;
}

// A ticket packet as the ticket office answers it, one record.
pelio::Variant TicketPacket(double parValue, const std::string& section = "池座") {
    TClientDataSet ticket;
    for (const char* name : {"BARCODE", "ORDERNO", "SECTIONNAME", "FLOORNAME", "ROWNAME", "SEATNAME"})
        ticket.AddFieldDef(name, TFieldType::ftString, 32);
    ticket.AddFieldDef("PARVALUE", TFieldType::ftFloat);
    ticket.AddFieldDef("HAPPENTIME", TFieldType::ftDateTime);
    ticket.CreateDataSet();
    ticket.AppendRecord({" 1234567890123456 ", "K0100000042 ", section, " 一层", "1排 ", " 5 ", parValue,
                         EncodeDateTime({2027, 1, 3, 19, 30})});
    return pelio::Variant::ByteArray(ticket.Data());
}

} // namespace

TEST(GiftSeats, TheLastSeatsOfEachSuiteAreGifts) {
    struct Case {
        std::size_t seats;
        int giftNum, ticketNum;
        const char* marks;
    };
    const Case cases[] = {
        {6, 1, 2, "..G..G"},    // two bought, one gift: seats 3 and 6
        {6, 0, 2, "......"},    // no gifts whatever the suite
        {8, 1, 2, "...G...G"},  // two whole suites in eight seats, as the stride rule counts them
        {2, 1, 2, ".."},        // fewer seats than a suite: no gift, no crash
        {0, 1, 2, ""},          // no seats at all
        {8, 2, 2, "..GG..GG"},  // two gifts per suite: the last two of each
        {9, 2, 2, "..GG..GG."}, // the seat after the whole suites is bought
        {3, 1, 0, "..."},       // a suite without bought tickets gives nothing away
        {5, 2, 1, "...GG"},     // one suite of three in five seats: the last two of the five
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.seats << " seats, " << c.giftNum << " gift(s) per " << c.ticketNum);
        EXPECT_EQ(Marks(GiftSeats(c.seats, c.giftNum, c.ticketNum)), c.marks);
    }
}

TEST(MemberBalance, CoversTheAmountInWholeCents) {
    struct Case {
        const char* payMode;
        const char* memberPay;
        const char* balance;
        double amount;
        bool enough;
    };
    const Case cases[] = {
        {"M", "Y", "50", 80, false},
        {"M", "Y", "80", 80.004, true}, // the same amount once rounded to cents
        {"M", "Y", "80", 80.01, false},
        {"M", "Y", " 100.50 ", 100.5, true},
        {"M", "Y", "一百", 1, false}, // not a number: no balance
        {"M", "Y", "", 0, true},
        {"M", "N", "0", 80, true}, // the card does not pay
        {"X", "Y", "0", 80, true},
    };
    for (const Case& c : cases) {
        TSaleAccountCondition condition;
        condition.PayModeCode = c.payMode;
        condition.MemberPay = c.memberPay;
        condition.MemberBalance = c.balance;
        condition.Amount = c.amount;
        EXPECT_EQ(CheckMemberMoneyEnough(condition), c.enough)
            << c.payMode << c.memberPay << " " << c.balance << " for " << c.amount;
    }
}

TEST(FitPIC, KeepsTheModeAndReplacesThePicture) {
    EXPECT_EQ(FitPIC("a|b|c", "pic"), "a|b|pic");
    EXPECT_EQ(FitPIC("abc", " "), "");
    EXPECT_EQ(FitPIC("abc", "pic"), "pic");
    EXPECT_EQ(FitPIC("stretch|", "stalls.png"), "stretch|stalls.png");
    EXPECT_EQ(FitPIC("stretch|old.png", ""), "stretch|");
}

TEST(TicketColumns, AreWorkedOutFromTheTrimmedParts) {
    EXPECT_EQ(FullSeatName(" 池座 ", "一层\t", " 1排", "5 "), "池座 一层 1排 5座");
    EXPECT_EQ(QrCodeText(" K0100000042", "1234567890123456 "), "K0100000042+1234567890123456");
    // 2027-01-03 was a Sunday; the days before the epoch count the same way.
    EXPECT_EQ(DayOfWeekText(EncodeDate(2027, 1, 3)), "星期天");
    EXPECT_EQ(DayOfWeekText(EncodeDate(2027, 1, 4) + 0.9), "星期一");
    EXPECT_EQ(DayOfWeekText(EncodeDate(1899, 12, 30)), "星期六");
    EXPECT_EQ(DayOfWeekText(EncodeDate(1899, 12, 25)), "星期一");
}

TEST(TicketColumns, TheDataModuleComputesThemAndRoundsTheFaceValue) {
    TCDSaleTicketCore module;
    struct Case {
        double given, kept;
    };
    for (const Case c : {Case{12.5, 12.5}, Case{12, 12}, Case{80.004, 80}, Case{12.3456, 12.35}}) {
        module.LoadTicket(TicketPacket(c.given));
        ASSERT_EQ(module.cdsTicket.RecordCount(), 1);
        EXPECT_DOUBLE_EQ(module.cdsTicket.FieldByName("PARVALUE").AsFloat(), c.kept) << c.given;
        EXPECT_EQ(module.cdsTicket.ChangeCount(), 0);
    }
    EXPECT_EQ(module.cdsTicket.FieldByName("FULLSEATNAME").AsString(), "池座 一层 1排 5座");
    EXPECT_EQ(module.cdsTicket.FieldByName("QRCODE").AsString(), "K0100000042+1234567890123456");
    EXPECT_EQ(module.cdsTicket.FieldByName("DAYOFWEEK").AsString(), "星期天");

    // Another packet of the same kind loads again under the same computed columns.
    module.LoadTicket(TicketPacket(50, "楼座"));
    EXPECT_EQ(module.cdsTicket.FieldByName("FULLSEATNAME").AsString(), "楼座 一层 1排 5座");

    // No ticket: no record, nothing left of the previous one.
    module.LoadTicket(pelio::Variant::ByteArray({}));
    EXPECT_FALSE(module.cdsTicket.Active());
}
