// Hand-made orders: each one a case the box office and the order handler must show, with the
// codes, customers and times the client's searches are tried with.

#include "server/seed/orderdraft.h"

namespace kav::server::seed {

namespace {

constexpr int At(int hour, int minute = 0) {
    return hour * 60 + minute;
}

Customer Person(const char* name, const char* sex, const char* tel, const char* cellPhone, const char* email,
                const char* address, const char* identCode, const char* comment) {
    Customer c;
    c.name = name;
    c.sex = sex;
    c.level = "1";
    c.tel = tel;
    c.cellPhone = cellPhone;
    c.email = email;
    c.address = address;
    c.identType = 1;
    c.identCode = identCode;
    c.comment = comment;
    return c;
}

const Actor kU001{"U001", "G001"}, kU002{"U002", "G002"}, kDemo{"demo", "G001"}, kWeb{"WEB01", "WEB1"},
    kPartner{"DMDZP", "DM01"};

OrderDraft Draft(std::int64_t number, char from, char status, const Actor& creator, SeedTime created,
                 std::vector<std::pair<char, int>> seats) {
    OrderDraft o;
    o.number = number;
    o.from = from;
    o.status = status;
    o.creator = creator;
    o.created = created;
    o.failDay = created.day + 7;
    o.seatsWanted = std::move(seats);
    o.customer = Person("刘洋", "M", "010-62001234", "13611112222", "liuyang@example.com",
                        "北京市海淀区中关村大街27号", "110108198803031234", "");
    return o;
}

void PaidBy(OrderDraft& o, const Actor& payee, SeedTime when, const char* payMode) {
    o.payee = payee;
    o.paid = when;
    o.payMode = payMode;
    o.handler = payee;
    o.handled = when;
}

} // namespace

std::int64_t ShowcaseOrderCount() {
    return 11;
}

std::vector<OrderDraft> ShowcaseOrders(const ProductPlan& product) {
    std::vector<OrderDraft> orders;
    if (product.code == "P0001") {
        // Booked call-centre order of 张三, collection password 123456, one emptied level line.
        auto d1 = Draft(1, '2', 'B', kU001, {-6, At(10)}, {{'A', 2}, {'B', 1}});
        d1.password = "123456";
        d1.emptyLine = true;
        d1.customer = Person("张三", "M", "010-65001234", "13901234567", "zhangsan@example.com",
                             "北京市朝阳区建国路88号", "110105198507071234", "请提前电话联系");
        orders.push_back(d1);

        // Paid order of O'Brien with a member card: every filter of the full order search finds it.
        auto d2 = Draft(2, '2', 'R', kU001, {-22, At(9)}, {{'B', 2}});
        PaidBy(d2, kU001, {-21, At(10)}, "M");
        d2.fetchWay = '2';
        d2.failDay = 3;
        d2.memberCard = "8800001";
        d2.memberId = 8800001;
        d2.invoiceHead = "ACME Ltd.";
        d2.customer = Person("O'Brien", "M", "010-88886666", "13800138000", "obrien@abc.com",
                             "北京市东城区东单1号", "110101199001011234", "淘宝订单，周末送票");
        orders.push_back(d2);

        // Unhandled order of the partner's web sale: its customer data stays hidden.
        auto d3 = Draft(3, '3', 'N', kPartner, {-5, At(12)}, {{'A', 1}});
        d3.saleClass = "WEBDM";
        d3.password = "778899";
        orders.push_back(d3);

        // Cancelled call-centre order; its seats went back on sale.
        auto d4 = Draft(4, '2', 'C', kU002, {-7, At(11)}, {{'C', 2}});
        d4.handler = kU002;
        d4.handled = {-6, At(9)};
        d4.password = "246810";
        orders.push_back(d4);

        // Suite of two bought tickets and one gift, sold and collected at the counter.
        auto d5 = Draft(5, '1', 'A', kU001, {-10, At(14)}, {{'B', 3}});
        d5.saleClass = "SC02";
        PaidBy(d5, kU001, {-10, At(14, 5)}, "X");
        orders.push_back(d5);

        // Booked call-centre suite order of two suites (two bought, one gift each) at two price levels:
        // one suite can be split off into an order of its own.
        auto d11 = Draft(11, '2', 'B', kU002, {-2, At(11)}, {{'B', 3}, {'C', 3}});
        d11.saleClass = "SC02";
        d11.password = "314159";
        d11.customer = Person("王五", "M", "010-66001234", "13522223333", "wangwu@example.com",
                              "北京市东城区王府井大街1号", "110101197912121234", "两家人，可能分开取票");
        orders.push_back(d11);

        // Counter sale by the partner's account: the partner side of the reports.
        auto d8 = Draft(8, '1', 'R', kPartner, {-2, At(16)}, {{'E', 2}});
        PaidBy(d8, kPartner, {-2, At(16, 2)}, "X");
        orders.push_back(d8);
    } else if (product.code == "P0002") {
        // Web order collected and paid at the box office; the performance registers one customer.
        auto d6 = Draft(6, '3', 'A', kWeb, {-4, At(20)}, {{'C', 2}});
        d6.password = "135790";
        PaidBy(d6, kU001, {-3, At(15)}, "X");
        orders.push_back(d6);

        // The partner's web sale, paid on line.
        auto d7 = Draft(7, '3', 'A', kPartner, {-5, At(10)}, {{'D', 2}});
        d7.saleClass = "WEBDM";
        d7.password = "975310";
        PaidBy(d7, kPartner, {-5, At(10, 5)}, "W");
        orders.push_back(d7);
    } else if (product.code == "P0003") {
        // Booked order for a performance that registers every seat's customer.
        auto d9 = Draft(9, '2', 'B', kU002, {-1, At(10, 30)}, {{'A', 2}});
        d9.password = "654321";
        d9.customer = Person("李四", "F", "010-84001234", "13711112222", "lisi@example.com",
                             "北京市西城区西单北大街120号", "110102199202021234", "");
        orders.push_back(d9);
    } else if (product.code == "P0005") {
        // A member's counter sale for the performance that is over: its seats are checked in.
        auto d10 = Draft(10, '1', 'A', kDemo, {-12, At(19)}, {{'C', 4}});
        d10.clientType = '1';
        d10.memberId = 8800002;
        d10.memberCard = "8800002";
        d10.saleClass = "SC04";
        PaidBy(d10, kDemo, {-12, At(19, 3)}, "M");
        orders.push_back(d10);
    }
    return orders;
}

} // namespace kav::server::seed
