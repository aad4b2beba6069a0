#pragma once
// A hosted kav-server (serverfixture.h) with a performance to sell: performance P1 with price
// levels A (380) and B (180) and the sections SEC1 and SEC2, the void P9, pay modes X, H and M, sale
// sorts and the sales ceiling of group G01 towards CG1 (1000); SEC1 has rows 1 (level A) to 3
// (level B) of six seats, codes row * 100 + seat, seat 103 held by an older order and 107 a
// map-only seat; SEC2 has seat 901. Helpers build the client's packets and read the database.

#include "host/sqltext.h"
#include "platform/dataset/clientdataset.h"
#include "rpc/exceptions.h"
#include "server/db/database.h"
#include "server/ticketoffice/sqlvalues.h"
#include "serverfixture.h"
#include "services/ticketoffice/tpticketoffice.h"

#include <optional>
#include <string>
#include <vector>

namespace kav::server::e2e {

using pelio::Variant;

// A packet of the client's dataset with these fields (strings of 32 characters unless typed).
struct Field {
    const char* name;
    TFieldType type = TFieldType::ftString;
};
using Rows = std::vector<std::vector<FieldValue>>;
inline Variant Packet(std::initializer_list<Field> fields, const Rows& rows) {
    TClientDataSet dataset;
    for (const Field& field : fields)
        dataset.AddFieldDef(field.name, field.type, field.type == TFieldType::ftString ? 32 : 0);
    dataset.CreateDataSet();
    for (const auto& row : rows)
        dataset.AppendRecord(row);
    return Variant::ByteArray(dataset.Data());
}

inline Variant SeatPacket(std::initializer_list<int> seats) {
    Rows rows;
    for (int seat : seats)
        rows.push_back({seat});
    return Packet({{"SEATCODE", TFieldType::ftInteger}}, rows);
}

struct Payment {
    std::string order, payMode;
    double amount;
};

// The client's cdsAccount and cdsPayModeMoney.
inline Variant AccountPacket(std::initializer_list<Payment> payments) {
    Rows rows;
    for (const Payment& p : payments)
        rows.push_back({"01", 0, p.order, p.payMode, FieldValue(), p.amount});
    return Packet({{"NODECODE"},
                   {"PKID", TFieldType::ftInteger},
                   {"ORDERCODE"},
                   {"PAYMODECODE"},
                   {"CREDITCARDCODE"},
                   {"RELACCEPTABLES", TFieldType::ftFloat}},
                  rows);
}
inline Variant PayModePacket(std::initializer_list<Payment> parts) {
    Rows rows;
    for (const Payment& p : parts)
        rows.push_back({"01", "P1", p.order, p.payMode, p.amount, "分项"});
    return Packet({{"NODECODE"},
                   {"PRODUCTCODE"},
                   {"ORDERCODE"},
                   {"PAYMODECODE"},
                   {"AMOUNT", TFieldType::ftFloat},
                   {"REMARK"}},
                  rows);
}

// The client's group sales-ceiling record.
inline Variant CeilingPacket(const std::string& group) {
    return Packet({{"NodeCode"}, {"GroupCode"}, {"CreateGroup"}, {"MaxSaleMoney", TFieldType::ftFloat}},
                  {{"01", group, "CG1", 1000.0}});
}

inline Variant Empty() {
    return Variant::ByteArray("");
}

inline std::string Params(const std::string& order) {
    return "OrderCode=" + order + "\nIsNeedCharge=X\nMemberCard=\nPassWord=\nISPRINT=Y\nOrderStatus=B\n";
}

// Performance P1 with levels A (380) and B (180) and sections SEC1 and SEC2, the void P9, pay
// modes, sale sorts and the sales ceiling of group G01 towards CG1 (1000).
inline constexpr const char* kVenue = R"(
insert into KAV_PLACE (NODECODE, PLACECODE, CNAME) values ('01', 'PL1', '音乐厅');
insert into KAV_PRODUCT (NODECODE, PRODUCTCODE, CNAME, PLACECODE, HAPPENTIME, SALEENDTIME, STATUS, USERREGTYPE)
    values ('01', 'P1', '新年音乐会', 'PL1', '2099-12-31 19:30:00', '2099-12-31 18:00:00', '5', 'S'),
           ('01', 'P9', '作废演出', 'PL1', '2099-12-31 19:30:00', null, '9', 'N');
insert into KAV_PRICE_SHOW (NODECODE, PRODUCTCODE, PRICELEVEL, PRICE) values ('01', 'P1', 'A', 380),
    ('01', 'P1', 'B', 180);
insert into KAV_SECTION_SHOW (NODECODE, SECTIONCODE, PRODUCTCODE, CNAME) values ('01', 'SEC1', 'P1', '池座'),
    ('01', 'SEC2', 'P1', '楼座');
insert into KAV_PAYMODE (PAYMODECODE, CNAME, DISPLAY) values ('X', '现金', 1), ('H', '银行卡', 2),
    ('M', '会员卡', 3);
insert into KAV_SALE_SORT (NODECODE, SORTCODE, CNAME) values ('01', '01', '售票'), ('01', '05', '提票'),
    ('01', '08', '赠票');
insert into KAV_GROUPMAXSALEMONY (NODECODE, GROUPCODE, CREATEGROUP, ACTUALSALEMONEY, MAXSALEMONEY)
    values ('01', 'G01', 'CG1', 0, 1000);
)";

class SaleFixture : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        context_ = LoginAs("demo", "demo");
        office_.emplace(client_.get());
        setup_->Execute(kVenue);
        // SEC1: rows 1 (level A) to 3 (level B) of six seats, codes row * 100 + seat; seat 103 is
        // held by an older order and 107 is a map-only seat. SEC2 has seat 901.
        std::string seats =
            "insert into KAV_SEAT_SHOW (NODECODE, SEATCODE, PRODUCTCODE, SECTIONCODE, FLOORNO, "
            "ROWNO, SEATNO, X, Y, STATUS, PRICELEVEL, ORDERCODE) values "
            "('01', 103, 'P1', 'SEC1', 1, 1, 3, 3, 1, 'B', 'A', 'OLD1'), "
            "('01', 107, 'P1', 'SEC1', 1, 1, 7, 7, 1, 'F', 'L', null), "
            "('01', 901, 'P1', 'SEC2', 2, 1, 1, 1, 1, 'F', 'A', null)";
        for (int row = 1; row <= 3; ++row)
            for (int seat = 1; seat <= 6; ++seat)
                if (row * 100 + seat != 103)
                    seats += SqlFormat(", ('01', %d, 'P1', 'SEC1', 1, %d, %d, %d, %d, 'F', '%s', null)",
                                       {row * 100 + seat, row, seat, seat, row, row == 1 ? "A" : "B"});
        setup_->Execute(seats);
    }

    // Books the seats (or the best `count`) and answers the order's rows.
    void Book(TClientDataSet& order, bool isBookOrder, std::initializer_list<int> seats, int count = 0) {
        order.SetData(
            office_->CreateOrderAndBooking(isBookOrder, context_, "P1", "SEC1", count, SeatPacket(seats))
                .ByteArrayView());
    }
    std::string BookedOrder(bool isBookOrder, std::initializer_list<int> seats) {
        TClientDataSet order;
        Book(order, isBookOrder, seats);
        return order.FieldByName("ORDERCODE").AsString();
    }
    std::vector<std::int64_t> SeatsOf(TClientDataSet& order) {
        std::vector<std::int64_t> seats;
        for (order.First(); !order.Eof(); order.Next())
            seats.push_back(order.FieldByName("SEATCODE").AsInteger());
        return seats;
    }

    std::int32_t Account(const std::string& order, const Variant& payments, const Variant& ceiling = Empty(),
                         const Variant& payModes = Empty()) {
        return office_->SaleAccount(context_, Params(order), payments, ceiling, payModes);
    }
    std::string AccountError(const std::string& order, const Variant& payments,
                             const Variant& ceiling = Empty(), const Variant& payModes = Empty()) {
        return RemoteError([&] { Account(order, payments, ceiling, payModes); });
    }
    std::string BatchAccountError(const std::string& batch, const Variant& payments) {
        return RemoteError([&] { office_->BatchAccount(context_, "", batch, payments, Empty(), Empty()); });
    }

    SqlValue One(const std::string& sql) {
        const auto rows = setup_->Select(sql);
        return rows.empty() ? SqlValue() : rows.front().front();
    }
    std::string Text(const std::string& sql) { return TextOf(One(sql)); }
    std::int64_t Count(const std::string& sql) { return IntegerOf(One(sql)); }
    double Money(const std::string& sql) { return MoneyOf(CentsOf(One(sql))); }

    // Everything a ticket office call may change, as one comparable text.
    std::string State() {
        std::string state;
        for (const char* sql :
             {"select SEATCODE, STATUS, ORDERCODE from KAV_SEAT_SHOW order by SEATCODE",
              "select ORDERCODE, ORDERSTATUS, RECEIVABLES, SALESORT from KAV_ORDER_SHOW order by ORDERCODE",
              "select ORDERCODE, CNAME from KAV_ORDER_CLIENT_SHOW order by ORDERCODE",
              "select ORDERCODE, PRICELEVEL, TOTALPRICE from KAV_ORDER_DISCOUNT_SHOW order by 1, 2",
              "select ORDERCODE, PKID from KAV_ACCOUNT_SHOW order by 1, 2",
              "select ORDERCODE, PAYMODECODE from KAV_PAYMODEMONEY_SHOW order by 1, 2",
              "select LEDGERID from KAV_REPORT_SHOW order by 1", "select ORDERCODE, NAME from KAV_CLIENTINFO",
              "select ACTUALSALEMONEY from KAV_GROUPMAXSALEMONY", "select NAME, LASTVALUE from KAV_COUNTER"})
            for (const auto& row : setup_->Select(sql)) {
                for (const auto& value : row)
                    state += TextOf(value) + "|";
                state += "\n";
            }
        return state;
    }

    std::string context_;
    std::optional<TTPTicketOffice> office_;
};

} // namespace kav::server::e2e
