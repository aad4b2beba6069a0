// The member system's cards: one for every member the orders name, so that every member order of
// the demo can be paid by card, looked up and posted.

#include "server/seed/seedmodel.h"

namespace kav::server::seed {

namespace {

// The card password of every seeded member (README.md).
constexpr const char* kDemoCardPassword = "8888";

} // namespace

void WriteMembers(SeedTables& t, const std::map<std::int64_t, MemberPlan>& members, HashCost hashCost) {
    if (members.empty()) return;
    // One hash serves every card: each check reads its own salt from the hash text.
    const std::string hash = HashPassword(kDemoCardPassword, hashCost);
    static constexpr const char* kClasses[] = {"金卡会员", "银卡会员", "普通会员"};
    for (const auto& [id, m] : members) {
        // Balances from 50 to 4950 yuan, so some cards cannot pay a dear order.
        const double balance = static_cast<double>(id % 50) * 100 + 50;
        t.member.Add({kNode, id, m.card, m.name.empty() ? std::string("会员") : m.name, m.cellPhone, hash,
                      balance, id % 5000, kClasses[id % 3], "G001", std::string(m.storedValue ? "Y" : "N"),
                      std::string(id % 2 == 0 ? "Y" : "N")});
    }
}

} // namespace kav::server::seed
