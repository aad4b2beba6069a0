// Reference rows of the seed: who works where, with which rights, and the code tables the windows
// read. The users and passwords are listed in README.md.

#include "server/seed/seedmodel.h"

#include <sodium.h>
#include <stdexcept>

namespace kav::server::seed {

namespace {

SqlValue Text(const char* text) {
    return text ? SqlValue(std::string(text)) : SqlValue();
}

struct GroupRow {
    const char *code, *name, *type, *owner, *homePage;
};
// Types: C the owning centre, A administration (sees every group's orders), B box office and call
// centre, D agent, W web sellers (the partner is known by its home page).
constexpr GroupRow kGroups[] = {
    {"OWN1", "岚桥演艺中心", "C", "OWN1", nullptr},
    {"ADM1", "票务管理部", "A", "OWN1", nullptr},
    {"G001", "音乐厅售票处", "B", "OWN1", nullptr},
    {"G002", "呼叫中心", "B", "OWN1", nullptr},
    {"G003", "西单代售点", "D", "OWN1", nullptr},
    {"WEB1", "官方网站", "W", "OWN1", "http://www.lanqiao-concert.cn"},
    {"DM01", "大麦网", "W", "OWN1", "http://www.damai.cn"},
};

struct UserRow {
    const char *code, *name, *group, *password, *valid;
};
constexpr UserRow kUsers[] = {
    {"demo", "演示售票员", "G001", "demo", "Y"}, {"U001", "王售票", "G001", "u001", "Y"},
    {"U002", "李呼叫", "G002", "u002", "Y"},     {"U003", "赵代售", "G003", "u003", "Y"},
    {"MGR1", "陈经理", "OWN1", "mgr1", "Y"},     {"ADMIN", "系统管理员", "ADM1", "admin", "Y"},
    {"WEB01", "官网订票", "WEB1", "web01", "Y"}, {"DMDZP", "大麦电子票", "DM01", "dmdzp", "Y"},
    {"OLD1", "离职员工", "G001", "old1", "N"},
};

// One rights row: subject, module, then the flags in column order and the group scope.
struct RightRow {
    const char *kind, *subject, *module;
    const char* flags; // 'Y'/'N' for the 7 columns before the scope and the 9 after it
    int scope;
};
//                      view2 view3 excel cust1-4 | edit mustname mustphone mustid nb hw temp recv seat
constexpr RightRow kRights[] = {
    {"G", "G001", "2",
     "YNYYNNN"
     "NNNNNNNNN",
     0},
    {"G", "G001", "3",
     "YNNNNNN"
     "NNNNYNYNY",
     0},
    {"G", "G002", "2",
     "YYYYYNY"
     "NNYNNNNNN",
     0},
    {"G", "G002", "3",
     "YYNNNNN"
     "NNNNYNYNN",
     0},
    {"G", "G003", "2",
     "YNNNNNN"
     "NYNNNNNNN",
     0},
    {"G", "G003", "3",
     "YNNNNNN"
     "NNNNYNNNN",
     0},
    {"G", "OWN1", "2",
     "YYYYYYY"
     "YNNNNNNNN",
     -1},
    {"G", "OWN1", "3",
     "YYYNNNN"
     "YNNNYYYYY",
     -1},
    {"G", "ADM1", "2",
     "YYYYYYY"
     "YNNNNNNNN",
     1},
    {"G", "ADM1", "3",
     "YYYNNNN"
     "YNNNYYYYY",
     1},
    {"G", "DM01", "2",
     "NYNNNNN"
     "NNNNNNNNN",
     0},
    {"U", "U001", "2",
     "YYYYYNN"
     "YNNNNNNNN",
     0},
};

} // namespace

std::string HashPassword(const std::string& password, HashCost cost) {
    static const bool ready = sodium_init() >= 0;
    if (!ready) throw std::runtime_error("libsodium could not be initialised");
    char hash[crypto_pwhash_STRBYTES];
    const bool interactive = cost == HashCost::Interactive;
    if (crypto_pwhash_str(hash, password.data(), password.size(),
                          interactive ? crypto_pwhash_OPSLIMIT_INTERACTIVE : crypto_pwhash_OPSLIMIT_MIN,
                          interactive ? crypto_pwhash_MEMLIMIT_INTERACTIVE : crypto_pwhash_MEMLIMIT_MIN) != 0)
        throw std::runtime_error("out of memory while hashing a seed password");
    return hash;
}

void WriteReferenceData(SeedTables& t, const Calendar& calendar, HashCost hashCost) {
    for (const auto& g : kGroups)
        t.group.Add({kNode, g.code, g.name, g.type, g.owner, Text(g.homePage)});
    for (const auto& u : kUsers)
        t.user.Add({kNode, u.code, u.name, u.group, HashPassword(u.password, hashCost), u.valid});

    for (const auto& r : kRights) {
        std::vector<SqlValue> row{kNode, r.kind, r.subject, r.module};
        const std::string flags = r.flags;
        for (std::size_t i = 0; i < flags.size(); ++i) {
            if (i == 7) row.emplace_back(std::int64_t{r.scope});
            row.emplace_back(std::string(1, flags[i]));
        }
        t.orderHandlerRight.Add(std::move(row));
    }

    t.place.Add({kNode, "PL01", "岚桥音乐厅"});
    t.place.Add({kNode, "PL02", "岚桥小剧场"});
    t.productClass.Add({kNode, "PC01", "音乐会"});
    t.productClass.Add({kNode, "PC02", "舞剧"});
    t.productClass.Add({kNode, "PC03", "戏曲"});

    t.clientType.Add({kNode, "1", "会员"});
    t.clientType.Add({kNode, "3", "普通购票者"});

    t.identType.Add({kNode, std::int64_t{1}, "身份证", "ID"});
    t.identType.Add({kNode, std::int64_t{2}, "护照", "PASSPORT"});
    t.identType.Add({kNode, std::int64_t{3}, "军官证", "OFFICER"});
    t.identType.Add({kNode, std::int64_t{4}, "港澳通行证", "HKMO"});

    t.sysInfo.Add({"ORDER_VALID_DAY", "按订单有效期查询", "Y"});
    t.sysInfo.Add({"CONTROLOUTPRINTKIND", "多订单合并取票", "Y"});
    t.sysInfo.Add({"POSTMEMBERPURCHAINFO", "上传会员消费信息", "N"});
    t.sysInfo.Add({"CONNECTUMNBYDB", "会员系统经数据库连接", "N"});
    // The reports' settings keep their value in CNAME: the partner known by its groups' home page, and
    // the name under which the site's own sales are offered.
    t.sysInfo.Add({"REPORTPARTNERHOMEPAGE", "http://www.damai.cn", "Y"});
    t.sysInfo.Add({"REPORTVENUENAME", "岚桥演艺中心", "Y"});
    // The venue's site code, in CNAME like the reports' settings: its credit companies are TOLVA's.
    t.sysInfo.Add({"SITECODE", "TOLVA", "Y"});

    // X cash first; H, F and W cannot be changed once paid.
    t.payMode.Add({"X", "现金", std::int64_t{1}});
    t.payMode.Add({"M", "会员卡", std::int64_t{2}});
    t.payMode.Add({"G", "信用挂账", std::int64_t{3}});
    t.payMode.Add({"H", "银行卡", std::int64_t{4}});
    t.payMode.Add({"F", "支票", std::int64_t{5}});
    t.payMode.Add({"W", "网上支付", std::int64_t{6}});
    struct DisplayRow {
        const char *payMode, *module, *printNote;
    };
    constexpr DisplayRow kDisplays[] = {
        {"X", "", "N"},   {"M", "", "N"},   {"G", "", "Y"},   {"H", "", "N"},
        {"F", "", "Y"},   {"X", "02", "N"}, {"G", "02", "Y"}, {"H", "02", "N"},
        {"F", "02", "Y"}, {"W", "03", "N"}, {"X", "03", "N"}, {"H", "03", "N"},
    };
    for (const auto& d : kDisplays)
        t.payModeDisplay.Add({d.payMode, d.module, d.printNote});

    // The site code of node "01" is TOLVA; one company is no longer valid, one belongs elsewhere.
    t.creditCompany.Add({kNode, "CC01", "北京文化投资公司", "TOLVA", "Y"});
    t.creditCompany.Add({kNode, "CC02", "长城旅行社", "TOLVA", "Y"});
    t.creditCompany.Add({kNode, "CC03", "东方票务代理", "TOLVA", "N"});
    t.creditCompany.Add({kNode, "CC04", "外地演出公司", "OTHER", "Y"});

    t.saleSort.Add({kNode, "01", "售票"});
    t.saleSort.Add({kNode, "02", "退票"});
    t.saleSort.Add({kNode, "05", "提票"});
    t.saleSort.Add({kNode, "08", "赠票"});

    // The agent's ceiling towards the call centre's bookings, and the box office's, nearly unused.
    t.groupMaxSaleMoney.Add({kNode, "G003", "G002", 12800.0, 50000.0, "MGR1", calendar.At(-60, 9)});
    t.groupMaxSaleMoney.Add({kNode, "G001", "G002", 0.0, 1000000.0, "MGR1", calendar.At(-60, 9)});
    t.groupMaxSaleMoney.Add({kNode, "G003", "G003", 3560.0, 20000.0, "MGR1", calendar.At(-60, 9, 5)});
    // Sales of P0001 by the box office and of P0002 by the agent do not count against ceilings.
    t.groupMaxSaleMoneyProductSet.Add({kNode, "P0001", "G001", "2"});
    t.groupMaxSaleMoneyProductSet.Add({kNode, "P0002", "G003", "1"});
    // The agent (U003) may sell and collect but not cancel bookings.
    t.groupActionDeny.Add({kNode, "G003", "4"});
}

} // namespace kav::server::seed
