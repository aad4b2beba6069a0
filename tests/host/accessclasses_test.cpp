// The access classes of the outside services against servants that echo what reached them: every
// operation arrives under its name with its arguments in order and its answer comes back, which
// checks each declaration, proxy, stub and access class together.

#include "host/caforebookshow.h"
#include "host/camembersys.h"
#include "host/casalesearchshow.h"
#include "host/caticketfaceshow.h"
#include "host/caticketoffice.h"
#include "platform/core/contexttext.h"
#include "platform/dataset/clientdataset.h"
#include "rpc/exceptions.h"
#include "rpc/pelioserver.h"
#include "services/ticketoffice/testticketoffice.h"

#include <gtest/gtest.h>

using namespace kav;
using pelio::Variant;

namespace {

// "a|b|c" of the arguments; packets as their bytes, flags as Y/N.
std::string Joined(std::initializer_list<std::string> parts) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : "|") + part;
    return text;
}
std::string Bytes(const Variant& packet) {
    return std::string(packet.ByteArrayView());
}
std::string Flag(bool value) {
    return value ? "Y" : "N";
}
Variant Echo(std::initializer_list<std::string> parts) {
    return Variant::ByteArray(Joined(parts));
}

class EchoForeBook : public TTPForeBookShow_serv {
public:
    std::int32_t MemberForeBookAccount(const std::string& c, const std::string& p, const Variant& a,
                                       const Variant& g) override {
        return static_cast<std::int32_t>(Joined({c, p, Bytes(a), Bytes(g)}).size());
    }
    std::int32_t ForeBookAccount_BL(const std::string& c, const std::string& p, const Variant& a,
                                    const Variant& g, const Variant& m) override {
        return static_cast<std::int32_t>(Joined({c, p, Bytes(a), Bytes(g), Bytes(m)}).size());
    }
    bool NewForeBookAccount(const std::string& c, const std::string& o, const Variant& a,
                            const Variant& g) override {
        return Joined({c, o, Bytes(a), Bytes(g)}) == "ctx|K1|acc|grp";
    }
    bool CancelForeBook(const std::string& c, const std::string& o) override {
        return c == "ctx" && o == "K1";
    }
    Variant GetForeBookSeat(const std::string& c, const std::string& code) override {
        return Echo({c, code});
    }
    std::int32_t SetClientInfo(const std::string& c, const Variant& d) override {
        if (Bytes(d) == "fail") throw std::runtime_error("登记失败");
        return static_cast<std::int32_t>(Joined({c, Bytes(d)}).size());
    }
};

class EchoTicketFace : public TTPTicketFaceShow_serv {
public:
    Variant GetTicketFace(const std::string& c, const std::string& p) override {
        return Echo({"face", c, p});
    }
};

class EchoSaleSearch : public TTPSaleSearchShow_serv {
public:
    bool CanExecuteAction(const std::string& c, const std::string& code, const std::string& action) override {
        return Joined({c, code, action}) == "ctx|P1|3";
    }
};

class EchoMemberSys : public TTPMemberSys_serv {
public:
    Variant QueryUserInfo(const std::string& c, const std::string& condition,
                          const std::string& mode) override {
        lastText = Joined({c, condition, mode});
        TClientDataSet rows;
        for (const char* name : {"MEMBERKEY", "MEMBERID", "CARDNO", "CNAME", "CELLPHONE", "ISFEEMEMBER",
                                 "ISSWIPE", "CLASSNAME", "GROUPCODE"})
            rows.AddFieldDef(name, TFieldType::ftString, 40);
        rows.AddFieldDef("BALANCE", TFieldType::ftFloat);
        rows.AddFieldDef("POINTS", TFieldType::ftInteger);
        rows.CreateDataSet();
        rows.AppendRecord({"K7", "7", "887", "王五", "139", "Y", "N", "金卡", "G001", 123.5, 40});
        return Variant::ByteArray(rows.Data());
    }
    bool CheckCardPassword(const std::string& c, const std::string& card,
                           const std::string& password) override {
        return Joined({c, card, password}) == "ctx|887|密码'1";
    }
    bool SaveSaleInfoByServer(const std::string& c, const std::string& order, const std::string& info,
                              bool note, bool member) override {
        lastText = Joined({c, order, info, Flag(note), Flag(member)});
        return true;
    }
    bool SaveSaleInfoBySOAP(const std::string& c, const std::string& info, const Variant& tickets,
                            bool member, bool note) override {
        lastText = Joined({c, info, Flag(member), Flag(note)});
        TClientDataSet lines;
        lines.SetData(tickets.ByteArrayView());
        for (lines.First(); !lines.Eof(); lines.Next())
            lastText +=
                "|" + lines.FieldByName("PRICELEVEL").AsString() + lines.FieldByName("TOTALPRICE").AsString();
        return true;
    }
    std::string Post(const std::string& c, const std::string& lines, const std::string& operation, bool note,
                     bool member) override {
        return "A00006 " + Joined({c, lines, operation, Flag(note), Flag(member)});
    }
    static inline std::string lastText;
};

class AccessClassesTest : public ::testing::Test {
protected:
    void SetUp() override {
        pelio::ORBRegisterServantClass<EchoForeBook>(std::string(kForeBookShowInterface));
        pelio::ORBRegisterServantClass<EchoTicketFace>(std::string(kTicketFaceShowInterface));
        pelio::ORBRegisterServantClass<EchoSaleSearch>(std::string(kSaleSearchShowInterface));
        pelio::ORBRegisterServantClass<EchoMemberSys>(std::string(kMemberSysInterface));
        pelio::ORBRegisterServantClass<TTestTicketOffice>(std::string(kTicketOfficeInterface));
        server.SetPort(0);
        server.SetActive(true);
        client.SetHost("127.0.0.1");
        client.SetPort(server.ListeningPort());
    }
    pelio::TPelioServer server;
    pelio::TPelioClient client;
};

} // namespace

TEST_F(AccessClassesTest, ForeBookOperationsInOrder) {
    TCAForeBookShow foreBook(client);
    const Variant account = Variant::ByteArray("acc"), group = Variant::ByteArray("grp");
    EXPECT_EQ(foreBook.MemberForeBookAccount("ctx", "OrderCode=K1", account, group), 24);
    EXPECT_EQ(foreBook.ForeBookAccount_BL("ctx", "OrderCode=K1", account, group, Variant::ByteArray("pm")),
              27);
    EXPECT_TRUE(foreBook.NewForeBookAccount("ctx", "K1", account, group));
    EXPECT_TRUE(foreBook.CancelForeBook("ctx", "K1"));
    EXPECT_FALSE(foreBook.CancelForeBook("ctx", "K2"));
    EXPECT_EQ(Bytes(foreBook.GetForeBookSeat("ctx", "K1")), "ctx|K1");
    EXPECT_EQ(foreBook.SetClientInfo("ctx", Variant::ByteArray(std::string("\0\1\2", 3))), 7)
        << "a packet travels as bytes";
    try {
        foreBook.SetClientInfo("ctx", Variant::ByteArray("fail"));
        FAIL() << "the servant's refusal must reach the caller";
    } catch (const pelio::EosRemoteException& e) {
        EXPECT_STREQ(e.what(), "登记失败");
    }
    EXPECT_THROW(foreBook.SetClientInfo("ctx", Variant::Integer(1)), std::runtime_error)
        << "a packet must be a byte array";
}

TEST_F(AccessClassesTest, TicketFaceSaleSearchAndTicketOffice) {
    TCATicketFaceShow faces(client);
    EXPECT_EQ(Bytes(faces.GetTicketFace("ctx", "P1")), "face|ctx|P1");
    TCASaleSearchShow search(client);
    EXPECT_TRUE(search.CanExecuteAction("ctx", "P1", "3"));
    EXPECT_FALSE(search.CanExecuteAction("ctx", "3", "P1")) << "code before action";
    TCATicketOffice office(client);
    EXPECT_EQ(Bytes(office.OutputTicket("ctx", "1001", "", "N", "SC01", "P1")),
              "OutputTicket|ctx|1001||N|SC01|P1");
    EXPECT_EQ(Bytes(office.GetTicketInfo("ctx", "K1", "1001")), "GetTicketInfo|ctx|K1|1001");
    EXPECT_TRUE(office.ISAccountFail("ctx", "K1"));
    // The access classes stand wherever their interface is taken.
    ITPTicketOffice& asInterface = office;
    EXPECT_TRUE(asInterface.ReleaseSeat("ctx", "K1"));
}

TEST_F(AccessClassesTest, MemberSystemRecordsTravelAsTextsAndPackets) {
    TCAMemberSys members(client);
    TQueryUserInfoConditionRecord condition;
    condition.MemberID = {"7", true};
    condition.CardNo = {"unused", false};
    const TMemberUserInfoList found = members.QueryUserInfo("ctx", condition, "Y");
    EXPECT_EQ(EchoMemberSys::lastText, "ctx|MemberID=7\n|Y") << "only the used conditions travel";
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].MemberKey, "K7");
    EXPECT_EQ(found[0].CardNo, "887");
    EXPECT_TRUE(found[0].IsFeeMember);
    EXPECT_FALSE(found[0].IsSwipe);
    EXPECT_DOUBLE_EQ(found[0].Balance, 123.5);
    EXPECT_EQ(found[0].Points, 40);
    EXPECT_EQ(found[0].ClassName, "金卡");

    EXPECT_TRUE(members.CheckCardPassword("ctx", "887", "密码'1"));
    EXPECT_FALSE(members.CheckCardPassword("ctx", "887", "wrong"));

    EXPECT_TRUE(members.SaveSaleInfoByServer("ctx", "K1", "MC_MemberID=7\n", true, false));
    EXPECT_EQ(EchoMemberSys::lastText, "ctx|K1|MC_MemberID=7\n|Y|N");

    TMemberInfoRecord info;
    info.OrderCode = "K1";
    info.Address = "北京\r\n东城区"; // a line break would end the value early
    info.Tickets = {{"A", "380", "2", "760"}, {"B", "180", "1", "180"}};
    EXPECT_TRUE(members.SaveSaleInfoBySOAP("ctx", info, true, false));
    const std::string sent = EchoMemberSys::lastText;
    const TContextText record = TContextText::Parse(sent.substr(4, sent.find("|Y|N") - 4));
    EXPECT_EQ(record.Value("MC_OrderCode"), "K1");
    EXPECT_EQ(record.Value("MC_Address"), "北京  东城区");
    EXPECT_EQ(record.Entries().size(), 23u) << "every field of the record travels";
    EXPECT_TRUE(sent.ends_with("|Y|N|A760|B180")) << sent;

    EXPECT_EQ(members.Post("ctx", "order_number=K1\n", std::string(kConsumeInfoPost), false, true),
              "A00006 ctx|order_number=K1\n|ConsumeInfoPost|N|Y");
}
