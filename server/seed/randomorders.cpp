// Generated orders and customers: sources, statuses, sale classes, members and payments mixed in
// the proportions a busy box office sees.

#include "server/seed/orderdraft.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace kav::server::seed {

namespace {

constexpr std::array<const char*, 20> kSurnames = {"王", "李", "张", "刘", "陈", "杨", "赵",
                                                   "黄", "周", "吴", "徐", "孙", "胡", "朱",
                                                   "高", "林", "何", "郭", "马", "罗"};
constexpr std::array<const char*, 20> kGivenNames = {"伟", "芳",   "娜", "敏", "静",   "丽", "强",
                                                     "磊", "军",   "洋", "勇", "艳",   "杰", "娟",
                                                     "涛", "秀英", "明", "超", "桂英", "霞"};
constexpr std::array<const char*, 8> kStreets = {
    "北京市朝阳区建国路", "北京市海淀区中关村大街", "北京市东城区东单北大街", "北京市西城区西单北大街",
    "北京市丰台区丰台路", "天津市和平区南京路",     "北京市通州区新华大街",   "河北省廊坊市广阳道"};
constexpr std::array<const char*, 6> kComments = {"", "", "", "请提前电话联系", "淘宝订单", "工作日送票"};
constexpr std::array<const char*, 4> kInvoiceHeads = {"北京文化传媒有限公司", "长城科技股份公司",
                                                      "东方贸易有限公司", "个人"};

std::string Digits(SeedRandom& random, int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += static_cast<char>('0' + random.Below(10));
    return text;
}

int Clamp(int value, int low, int high) {
    return std::max(low, std::min(value, high));
}

Actor BoxOfficeSeller(SeedRandom& random) {
    return random.Percent(67) ? Actor{"U001", "G001"} : Actor{"demo", "G001"};
}

} // namespace

std::string OrderCode(std::int64_t number) {
    char text[24];
    std::snprintf(text, sizeof text, "D%07lld", static_cast<long long>(number));
    return text;
}

Customer RandomCustomer(SeedRandom& random) {
    Customer c;
    c.name = std::string(random.Pick(std::span<const char* const>(kSurnames))) +
             random.Pick(std::span<const char* const>(kGivenNames));
    if (random.Percent(40)) c.name += random.Pick(std::span<const char* const>(kGivenNames));
    c.sex = random.Percent(50) ? "M" : "F";
    c.level = std::to_string(random.Between(1, 3));
    c.tel = "010-" + std::to_string(random.Between(5, 8)) + Digits(random, 7);
    c.cellPhone = std::string("1") + "358"[random.Below(3)] + Digits(random, 9);
    c.email = "guest" + Digits(random, 6) + "@example.com";
    c.address = std::string(random.Pick(std::span<const char* const>(kStreets))) +
                std::to_string(random.Between(1, 300)) + "号";
    c.identType = random.Percent(90) ? 1 : random.Between(2, 4);
    char birth[16];
    std::snprintf(birth, sizeof birth, "%04d%02d%02d", random.Between(1950, 2005), random.Between(1, 12),
                  random.Between(1, 28));
    c.identCode =
        c.identType == 1 ? "1101" + Digits(random, 2) + birth + Digits(random, 4) : "E" + Digits(random, 8);
    c.comment = random.Pick(std::span<const char* const>(kComments));
    return c;
}

OrderDraft RandomOrder(const ProductPlan& product, SeedRandom& random) {
    OrderDraft o;
    static constexpr int kFromWeights[] = {40, 30, 30};
    o.from = "123"[random.Weighted(kFromWeights)];
    bool partner = false;
    switch (o.from) {
    case '1': {
        static const std::array<Actor, 4> kCounter = {Actor{"U001", "G001"}, Actor{"demo", "G001"},
                                                      Actor{"U003", "G003"}, Actor{"DMDZP", "DM01"}};
        static constexpr int kWeights[] = {40, 30, 20, 10};
        o.creator = kCounter[static_cast<std::size_t>(random.Weighted(kWeights))];
        static constexpr int kStatus[] = {60, 15, 15, 10};
        o.status = "ARBC"[random.Weighted(kStatus)];
        break;
    }
    case '2': {
        o.creator = random.Percent(70) ? Actor{"U002", "G002"} : Actor{"U001", "G001"};
        static constexpr int kStatus[] = {35, 20, 30, 15};
        o.status = "BRAC"[random.Weighted(kStatus)];
        break;
    }
    default: {
        partner = random.Percent(40);
        o.creator = partner ? Actor{"DMDZP", "DM01"} : Actor{"WEB01", "WEB1"};
        static constexpr int kStatus[] = {30, 10, 25, 35};
        o.status = "NURA"[random.Weighted(kStatus)];
        break;
    }
    }
    // Nothing is still waiting for a performance that is over.
    if (product.happenDay <= 0 && (o.status == 'B' || o.status == 'N'))
        o.status = o.status == 'B' ? 'C' : 'U';

    const int latest = std::min(-1, product.happenDay - 1);
    o.created = {random.Between(latest - 40, latest), random.Between(9 * 60, 21 * 60)};
    o.failDay = std::min(o.created.day + 7, product.happenDay);
    if (o.from != '1') o.password = Digits(random, 6);
    o.fetchWay = o.from == '1' ? '1' : "1123"[random.Below(4)];
    if (random.Percent(10)) o.invoiceHead = random.Pick(std::span<const char* const>(kInvoiceHeads));

    if (!partner && random.Percent(25)) {
        o.clientType = '1';
        o.memberId = 100000 + random.Below(900000);
        o.memberCard = "88" + std::to_string(*o.memberId);
        o.feeMember = random.Percent(30);
    }

    int seats = 1 + random.Weighted(std::array<int, 6>{20, 40, 15, 15, 5, 5});
    if (partner) {
        o.saleClass = "WEBDM";
    } else if (random.Percent(8)) {
        o.saleClass = "SC02";
        seats = random.Percent(70) ? 3 : 6;
    } else if (o.clientType == '1' && random.Percent(50)) {
        o.saleClass = "SC04";
    } else if (random.Percent(15)) {
        o.saleClass = "SC03";
    }
    o.gift = o.from == '1' && o.status == 'A' && o.saleClass == "SC01" && random.Percent(5);
    // Levels in proportion to their seats on the map, so that a busy performance fills evenly.
    static constexpr int kLevelWeights[] = {12, 16, 37, 37, 33, 32, 17, 17};
    const char level = kPricedLevels[static_cast<std::size_t>(random.Weighted(kLevelWeights))];
    if (seats >= 2 && o.saleClass != "SC02" && random.Percent(15)) {
        const char next = level == 'H' ? 'G' : static_cast<char>(level + 1);
        o.seatsWanted = {{level, seats / 2}, {next, seats - seats / 2}};
    } else {
        o.seatsWanted = {{level, seats}};
    }
    o.customer = RandomCustomer(random);
    o.placeReserve = o.from == '1' && o.status == 'B' && random.Percent(10);

    const bool paid =
        o.status == 'A' || o.status == 'R' || ((o.status == 'C' || o.status == 'U') && random.Percent(30));
    if (paid) {
        o.refunded = o.status == 'C' || o.status == 'U';
        const int span = std::max(0, std::min(3, -1 - o.created.day));
        o.paid.day = o.created.day + random.Below(span + 1);
        o.paid.minute = o.paid.day == o.created.day
                            ? Clamp(o.created.minute + random.Below(90), 0, 23 * 60 + 59)
                            : random.Between(9 * 60, 21 * 60);
        if (o.from == '1' || (o.from == '3' && o.status == 'R')) {
            o.payee = o.creator; // paid when booked: at the counter or on line
            o.paid = o.created;
        } else if (o.from == '2' && o.status == 'R') {
            o.payee = o.creator;
        } else {
            o.payee = BoxOfficeSeller(random); // paid on collection at the box office
        }
        if (o.payee->group == "WEB1" || o.payee->group == "DM01") {
            o.payMode = o.from == '3' ? "W" : "X";
        } else if (o.clientType == '1' && random.Percent(50)) {
            o.payMode = "M";
        } else {
            static constexpr int kModes[] = {50, 30, 10, 10};
            o.payMode = std::string(1, "XHGF"[random.Weighted(kModes)]);
        }
        if (o.payMode == "G") o.creditCompany = random.Percent(50) ? "CC01" : "CC02";
        o.printing = o.status == 'R' && random.Percent(5);
    }
    if (o.status != 'B' && o.status != 'N') {
        if (o.payee && !o.refunded) {
            o.handler = o.payee;
            o.handled = o.paid;
        } else {
            o.handler = o.from == '2' ? Actor{"U002", "G002"} : BoxOfficeSeller(random);
            const SeedTime from = o.payee ? o.paid : o.created;
            o.handled = {std::min(from.day + random.Below(3), std::max(from.day, -1)),
                         random.Between(9 * 60, 21 * 60)};
            if (o.handled.day == from.day) o.handled.minute = Clamp(from.minute + 30, 0, 23 * 60 + 59);
        }
    }
    return o;
}

} // namespace kav::server::seed
