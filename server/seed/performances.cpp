// Performances: the fixed ones every seed has, further ones for large seeds, and each one's
// prices, sale classes, sections with floors, rows and seats, and ticket faces.

#include "server/seed/seedmodel.h"

#include <cstdio>

namespace kav::server::seed {

namespace {

// Orders a generated performance is planned for (about a quarter of its seats stay free).
constexpr std::int64_t kOrdersPerPerformance = 500;

struct FixedPerformance {
    const char *name, *classCode, *placeCode;
    int happenDay;
    const char *status, *userRegType;
    double topPrice;
};
// Around today: two soon, one past (its sale has ended), two later, one void. Codes P0001 on.
constexpr FixedPerformance kFixed[] = {
    {"新年音乐会", "PC01", "PL01", 24, "5", "N", 1280}, {"室内乐之夜", "PC01", "PL02", 13, "6", "O", 680},
    {"天鹅湖", "PC02", "PL01", 40, "5", "S", 1080},     {"京剧名段欣赏", "PC03", "PL02", 6, "6", "N", 480},
    {"钢琴独奏会", "PC01", "PL01", -5, "6", "N", 880},  {"交响乐团巡演", "PC01", "PL01", 58, "5", "N", 1280},
    {"取消的演出", "PC01", "PL02", 20, "9", "N", 580},
};
// Price of each level as a share of the top price, rounded to tens.
constexpr std::array<double, 8> kPriceShares = {1.0, 0.77, 0.61, 0.45, 0.3, 0.22, 0.14, 0.0625};
constexpr const char* kPriceMarks[] = {"贵宾席", "", "", "", "", "", "学生票", "公益票"};

std::string Numbered(const char* prefix, int width, std::int64_t number) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%0*lld", prefix, width, static_cast<long long>(number));
    return text;
}

ProductPlan MakePlan(int number, const char* name, const char* classCode, const char* placeCode,
                     int happenDay, const char* status, const char* userRegType, double topPrice) {
    ProductPlan p;
    p.number = number;
    p.code = Numbered("P", 4, number);
    p.name = name;
    p.classCode = classCode;
    p.placeCode = placeCode;
    p.mapCode = placeCode == std::string("PL01") ? "M001" : "M002";
    p.happenDay = happenDay;
    p.status = status;
    p.userRegType = userRegType;
    for (std::size_t i = 0; i < p.prices.size(); ++i) {
        const double price = topPrice * kPriceShares[i];
        p.prices[i] = price >= 100 ? static_cast<double>(static_cast<int>(price / 10 + 0.5) * 10)
                                   : static_cast<double>(static_cast<int>(price + 0.5));
    }
    return p;
}

std::string SectionCode(const ProductPlan& p, int section) {
    char text[16];
    std::snprintf(text, sizeof text, "S%02d%02d", p.number, section);
    return text;
}

// Stalls: one floor, 25 rows of 40 seats in three blocks, the levels by row, two added seats and
// four map-only seats at the mixing desk. Balcony: two floors of 12 rows of 42 seats.
void LayOutStalls(const std::string& section, std::vector<SeatPlan>& seats) {
    static constexpr char kLevelOfRow[25] = {'A', 'A', 'A', 'B', 'B', 'B', 'B', 'C', 'C', 'C', 'C', 'C', 'D',
                                             'D', 'D', 'D', 'D', 'E', 'E', 'E', 'E', 'F', 'F', 'F', 'F'};
    for (int row = 1; row <= 25; ++row) {
        for (int i = 0; i < 40; ++i) {
            SeatPlan s;
            s.section = section;
            s.floor = 1;
            s.row = row;
            s.seatNo = i + 1;
            s.x = 54 + i + (i >= 10 ? 2 : 0) + (i >= 30 ? 2 : 0);
            s.y = 8 + row * 2;
            s.level = kLevelOfRow[row - 1];
            if (row == 25 && i >= 18 && i < 22) s.level = 'L';
            if (row == 25 && (i == 0 || i == 39)) s.kind = 'W';
            if (row == 1 && i >= 15 && i < 25) s.kind = 'C';
            seats.push_back(std::move(s));
        }
    }
    for (int n = 1; n <= 2; ++n) {
        SeatPlan s;
        s.section = section;
        s.floor = 1;
        s.row = 25;
        s.seatNo = n;
        s.x = 49 + n;
        s.y = 58;
        s.level = 'F';
        s.addition = true;
        seats.push_back(std::move(s));
    }
}

void LayOutBalcony(const std::string& section, std::vector<SeatPlan>& seats) {
    for (int floor = 2; floor <= 3; ++floor) {
        for (int row = 1; row <= 12; ++row) {
            for (int i = 0; i < 42; ++i) {
                SeatPlan s;
                s.section = section;
                s.floor = floor;
                s.row = row;
                s.seatNo = i + 1;
                s.x = 52 + i + (i >= 21 ? 3 : 0);
                s.y = (floor == 2 ? 6 : 50) + row * 3;
                s.level = floor == 2 ? (row <= 4   ? 'C'
                                        : row <= 8 ? 'D'
                                                   : 'E')
                                     : (row <= 4   ? 'F'
                                        : row <= 8 ? 'G'
                                                   : 'H');
                if (floor == 3 && row == 12 && i % 7 == 0) s.kind = 'Z';
                seats.push_back(std::move(s));
            }
        }
    }
}

void WriteTicketFace(SeedTables& t, const ProductPlan& p, const char* style, const char* printName,
                     const char* backPic) {
    t.ticketFace.Add({kNode, p.code, style, std::int64_t{680}, std::int64_t{260}, std::int64_t{1},
                      std::int64_t{140}, "N", printName, std::int64_t{0}, backPic});
    struct Element {
        const char *type, *caption;
        int height;
        bool bold;
        int left, top, width, bottom;
    };
    // TSText prints its caption; TSField prints the ticket record's field named by the caption;
    // TSImage shows the section picture; TSBarcode the ticket's bar code; TSQRCode on the counterfoil
    // the QR code of the order number and the bar code.
    static constexpr Element kElements[] = {
        {"TSImage", "", 0, false, 0, 0, 540, 260},
        {"TSField", "PRODUCTNAME", 16, true, 20, 20, 500, 50},
        {"TSField", "HAPPENTIME", 11, false, 20, 60, 300, 80},
        {"TSField", "PLACENAME", 11, false, 20, 85, 300, 105},
        {"TSField", "FULLSEATNAME", 14, true, 20, 120, 500, 145},
        {"TSText", "票价:", 11, false, 20, 160, 60, 180},
        {"TSField", "PARVALUE", 11, false, 80, 160, 200, 180},
        {"TSBarcode", "BARCODE", 10, false, 20, 200, 320, 245},
        {"TSField", "FULLSEATNAME", 9, false, 550, 40, 670, 60},
        {"TSField", "BARCODE", 9, false, 550, 200, 670, 220},
        {"TSQRCode", "QRCODE", 9, false, 560, 70, 670, 180},
    };
    int number = 1;
    for (const auto& e : kElements) {
        t.ticketFaceElement.Add(
            {kNode, p.code, style, std::int64_t{number++}, e.type, e.caption, "宋体", std::int64_t{e.height},
             e.bold ? "Y" : "N", "N", "N", std::int64_t{0}, std::int64_t{e.left}, std::int64_t{e.top},
             std::int64_t{e.width - e.left}, std::int64_t{e.bottom - e.top},
             e.type == std::string("TSImage") ? SqlValue(std::string("stretch|")) : SqlValue()});
    }
}

} // namespace

double ProductPlan::PriceOf(char level) const {
    for (std::size_t i = 0; i < kPricedLevels.size(); ++i)
        if (kPricedLevels[i] == level) return prices[i];
    return 0;
}

std::string Calendar::At(int day, int hour, int minute, int second) const {
    const CivilDateTime date = DecodeDateTime(today_ + day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", date.year, date.month, date.day, hour,
                  minute, second);
    return text;
}

std::vector<ProductPlan> PlanProducts(std::int64_t generatedOrders) {
    std::vector<ProductPlan> plans;
    int number = 1;
    for (const auto& f : kFixed) {
        const int n = f.status == std::string("9") ? 9 : number++;
        plans.push_back(
            MakePlan(n, f.name, f.classCode, f.placeCode, f.happenDay, f.status, f.userRegType, f.topPrice));
    }
    // Generated performances are numbered after the void P0009.
    const std::int64_t wanted = (generatedOrders + kOrdersPerPerformance - 1) / kOrdersPerPerformance;
    std::int64_t sellingCount = static_cast<std::int64_t>(plans.size()) - 1;
    for (int n = 10; sellingCount < wanted; ++n, ++sellingCount) {
        const bool hall = n % 3 != 0;
        char name[64];
        std::snprintf(name, sizeof name, "%s 第%d场", hall ? "城市巡演音乐会" : "周末小剧场", n);
        plans.push_back(MakePlan(n, name, hall ? "PC01" : "PC03", hall ? "PL01" : "PL02", 1 + n % 300,
                                 n % 2 ? "5" : "6", "N", hall ? 980 : 380));
    }
    std::vector<ProductPlan*> selling;
    for (auto& p : plans)
        if (!p.IsVoid()) selling.push_back(&p);
    const auto share = static_cast<std::int64_t>(selling.size());
    for (std::int64_t i = 0; i < share; ++i)
        selling[static_cast<std::size_t>(i)]->generatedOrders =
            generatedOrders / share + (i < generatedOrders % share);
    return plans;
}

std::vector<SeatPlan> WritePerformance(SeedTables& t, const ProductPlan& p, const Calendar& calendar,
                                       std::int64_t& nextSeatCode) {
    t.product.Add({kNode, p.code, p.name, p.classCode, p.placeCode, p.mapCode, "D1",
                   calendar.At(p.happenDay, p.happenHour, p.happenMinute),
                   calendar.At(p.happenDay, p.happenHour - 1, p.happenMinute), p.status, "OWN1",
                   p.userRegType});
    for (std::size_t i = 0; i < kPricedLevels.size(); ++i)
        t.priceShow.Add({kNode, p.code, std::string(1, kPricedLevels[i]), p.prices[i], kPriceMarks[i], "Y"});

    // SC02 is a suite: two bought tickets and one gift per suite at every level.
    t.saleClass.Add({kNode, p.code, "SC01", "正价票", "N", std::int64_t{0}});
    t.saleClass.Add({kNode, p.code, "SC02", "买二赠一", "Y", std::int64_t{2}});
    t.saleClass.Add({kNode, p.code, "SC03", "八折优惠", "N", std::int64_t{0}});
    t.saleClass.Add({kNode, p.code, "SC04", "会员九折", "N", std::int64_t{0}});
    t.saleClass.Add({kNode, p.code, "WEBDM", "大麦网售", "N", std::int64_t{0}});
    for (std::size_t i = 0; i < kPricedLevels.size(); ++i) {
        const std::string level(1, kPricedLevels[i]);
        t.saleClassLevel.Add({kNode, p.code, "SC01", level, std::int64_t{100}, SqlValue(), SqlValue()});
        t.saleClassLevel.Add(
            {kNode, p.code, "SC02", level, std::int64_t{100}, 2 * p.prices[i], std::int64_t{1}});
        t.saleClassLevel.Add({kNode, p.code, "SC03", level, std::int64_t{80}, SqlValue(), SqlValue()});
        t.saleClassLevel.Add({kNode, p.code, "SC04", level, std::int64_t{90}, SqlValue(), SqlValue()});
        t.saleClassLevel.Add({kNode, p.code, "WEBDM", level, std::int64_t{100}, SqlValue(), SqlValue()});
    }

    const std::string stalls = SectionCode(p, 1), balcony = SectionCode(p, 2);
    t.sectionShow.Add({kNode, stalls, p.code, p.mapCode, "池座", "一层池座", "stalls.png", SqlValue(),
                       std::int64_t{100}, std::int64_t{150}, "2", SqlValue(), "SG01"});
    t.sectionShow.Add({kNode, balcony, p.code, p.mapCode, "楼座", "二层、三层楼座", "balcony.png", SqlValue(),
                       std::int64_t{100}, std::int64_t{150}, "2", SqlValue(), "SG02"});
    t.floorShow.Add({kNode, stalls, std::int64_t{1}, "一层", SqlValue()});
    t.floorShow.Add({kNode, balcony, std::int64_t{2}, "二层", SqlValue()});
    t.floorShow.Add({kNode, balcony, std::int64_t{3}, "三层", SqlValue()});
    for (int row = 1; row <= 25; ++row)
        t.rowShow.Add({kNode, stalls, std::int64_t{1}, std::int64_t{row}, std::to_string(row) + "排", "N"});
    for (int floor = 2; floor <= 3; ++floor)
        for (int row = 1; row <= 12; ++row)
            t.rowShow.Add(
                {kNode, balcony, std::int64_t{floor}, std::int64_t{row}, std::to_string(row) + "排", "N"});

    WriteTicketFace(t, p, "1", "标准票面", "face.png");
    WriteTicketFace(t, p, "2", "楼座票面", "face-balcony.png");
    t.ticketFaceSection.Add({kNode, p.code, "2", "2", balcony});
    t.ticketFaceSection.Add({kNode, p.code, "1", "1", "SG01"});

    std::vector<SeatPlan> seats;
    seats.reserve(2100);
    LayOutStalls(stalls, seats);
    LayOutBalcony(balcony, seats);
    for (auto& s : seats)
        s.code = nextSeatCode++;
    return seats;
}

} // namespace kav::server::seed
