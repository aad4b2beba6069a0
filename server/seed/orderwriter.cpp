// Writes a performance's orders with everything that hangs off them, then its seats: seats taken
// by an order carry its code and a status that follows the order's (cancelled orders gave theirs
// back).

#include "server/seed/orderdraft.h"

#include <cmath>
#include <cstdio>
#include <map>

namespace kav::server::seed {

namespace {

// Hands out free seats of one level in map order, leaving gaps so that a performance's orders
// spread over its whole map.
class SeatAllocator final {
public:
    SeatAllocator(const std::vector<SeatPlan>& seats, std::int64_t plannedOrders) {
        std::int64_t priced = 0;
        for (std::size_t i = 0; i < seats.size(); ++i) {
            if (seats[i].addition) continue; // added seats are sold by hand only
            for (std::size_t l = 0; l < kPricedLevels.size(); ++l)
                if (seats[i].level == kPricedLevels[l]) {
                    byLevel_[l].push_back(i);
                    ++priced;
                }
        }
        // Orders pick levels in proportion to their size and average under three seats; a tenth
        // of the map is kept as slack for the levels that fill first.
        const std::int64_t spare = priced * 9 / 10 - plannedOrders * 3;
        meanGap_ = plannedOrders > 0 ? static_cast<int>(std::max<std::int64_t>(0, spare / plannedOrders)) : 0;
    }

    // Indices of `count` seats of the level next to each other in map order, after a random gap
    // (none without a random stream); none when the level has no room left.
    std::vector<std::size_t> Take(char level, int count, SeedRandom* random) {
        std::vector<std::size_t> taken;
        const std::size_t l = LevelIndex(level);
        auto& list = byLevel_[l];
        std::size_t& cursor = cursor_[l];
        const std::size_t need = static_cast<std::size_t>(count);
        if (cursor + need > list.size()) return taken;
        std::size_t gap =
            random && meanGap_ > 0 ? static_cast<std::size_t>(random->Below(2 * meanGap_ + 1)) : 0;
        gap = std::min(gap, list.size() - cursor - need);
        cursor += gap;
        for (std::size_t i = 0; i < need; ++i)
            taken.push_back(list[cursor++]);
        return taken;
    }
    // A level with room for `count` seats, near the wanted one; 0 when the map is full.
    char LevelWithRoom(char wanted, int count) const {
        const std::size_t start = LevelIndex(wanted);
        for (std::size_t step = 0; step < kPricedLevels.size(); ++step) {
            const std::size_t l = (start + step) % kPricedLevels.size();
            if (cursor_[l] + static_cast<std::size_t>(count) <= byLevel_[l].size()) return kPricedLevels[l];
        }
        return 0;
    }

private:
    static std::size_t LevelIndex(char level) {
        for (std::size_t l = 0; l < kPricedLevels.size(); ++l)
            if (kPricedLevels[l] == level) return l;
        return 0;
    }

    std::array<std::vector<std::size_t>, kPricedLevels.size()> byLevel_;
    std::array<std::size_t, kPricedLevels.size()> cursor_{};
    int meanGap_ = 0;
};

double Money(double value) {
    return std::round(value * 100) / 100;
}

int DiscountOf(const std::string& saleClass) {
    if (saleClass == "SC03") return 80;
    if (saleClass == "SC04") return 90;
    return 100;
}

SqlValue TextOrNull(const std::string& text) {
    return text.empty() ? SqlValue() : SqlValue(text);
}
SqlValue Flag(bool on) {
    return std::string(on ? "Y" : "N");
}
SqlValue Code(char c) {
    return std::string(1, c);
}

struct Line {
    char level;
    int seats;
    double price, ticketPrice, total;
    int discount;
};

class OrderWriter final {
public:
    OrderWriter(SeedTables& tables, const ProductPlan& product, std::vector<SeatPlan>& seats,
                const Calendar& calendar, OrderCounters& counters)
        : t_(tables), product_(product), seats_(seats), calendar_(calendar), counters_(counters) {}

    void Write(const OrderDraft& o, const std::vector<std::size_t>& seatIndices) {
        const std::string code = OrderCode(o.number);
        if (o.memberId) {
            MemberPlan& member = counters_.members[*o.memberId];
            member.card = o.memberCard;
            member.name = o.customer.name;
            member.cellPhone = o.customer.cellPhone;
            member.storedValue = member.storedValue || o.feeMember;
        }
        const bool suite = o.saleClass == "SC02";
        std::vector<Line> lines = LinesOf(o, seatIndices, suite);
        double receivables = 0;
        for (const auto& line : lines)
            receivables += line.total;
        const std::string section = seats_[seatIndices.front()].section;

        t_.orderShow.Add({kNode,
                          code,
                          product_.code,
                          section,
                          o.saleClass,
                          Code(o.from),
                          Code(o.status),
                          Code(o.clientType),
                          Code(o.fetchWay),
                          TextOrNull(o.invoiceHead),
                          Flag(o.gift),
                          Flag(suite),
                          o.memberId ? SqlValue(*o.memberId) : SqlValue(),
                          o.memberCard,
                          Flag(o.feeMember),
                          static_cast<std::int64_t>(seatIndices.size()),
                          Money(receivables),
                          TextOrNull(o.payMode),
                          o.payee ? SqlValue(o.payee->user) : SqlValue(),
                          o.payee ? SqlValue(o.payee->group) : SqlValue(),
                          o.payee ? SqlValue(Time(o.paid)) : SqlValue(),
                          o.creator.group,
                          o.creator.user,
                          Time(o.created),
                          o.handler ? SqlValue(o.handler->user) : SqlValue(),
                          o.handler ? SqlValue(Time(o.handled)) : SqlValue(),
                          TextOrNull(o.password),
                          calendar_.At(o.failDay, 23, 59, 59),
                          Flag(o.status == 'A'),
                          Flag(!o.gift),
                          Flag(o.placeReserve),
                          Flag(o.from != '3')});
        const Customer& c = o.customer;
        t_.orderClient.Add({kNode, code, c.name, c.sex, c.level, c.tel, c.cellPhone, c.email, c.address,
                            std::int64_t{c.identType}, c.identCode, TextOrNull(c.comment)});
        for (const auto& line : lines)
            t_.orderDiscount.Add({kNode, code, Code(line.level), line.price, std::int64_t{line.discount},
                                  line.ticketPrice, line.total, std::int64_t{line.seats}, "N"});
        if (o.emptyLine) {
            const char level = lines.back().level == 'H' ? 'G' : static_cast<char>(lines.back().level + 1);
            t_.orderDiscount.Add({kNode, code, Code(level), product_.PriceOf(level), std::int64_t{100},
                                  product_.PriceOf(level), 0.0, std::int64_t{0}, "N"});
        }

        if (o.payee) WritePayment(o, code, lines, receivables, suite);
        MarkSeats(o, code, seatIndices, suite);
    }

private:
    std::string Time(SeedTime t) const { return calendar_.At(t.day, t.minute / 60, t.minute % 60); }

    std::vector<Line> LinesOf(const OrderDraft& o, const std::vector<std::size_t>& seatIndices,
                              bool suite) const {
        std::map<char, int> perLevel;
        for (std::size_t i : seatIndices)
            ++perLevel[seats_[i].level];
        std::vector<Line> lines;
        for (const auto& [level, count] : perLevel) {
            Line line{level, count, product_.PriceOf(level), 0, 0, DiscountOf(o.saleClass)};
            if (o.gift) {
                line.discount = 0;
            } else if (suite) {
                // Two bought and one gift per suite: the suite price covers three seats.
                line.ticketPrice = line.price;
                line.total = Money(2 * line.price * (count / 3) + line.price * (count % 3));
            } else {
                line.ticketPrice = Money(line.price * line.discount / 100);
                line.total = Money(line.ticketPrice * count);
            }
            lines.push_back(line);
        }
        return lines;
    }

    void Ledger(const OrderDraft& o, const std::string& code, char level, int discount, int amount,
                double money, const char* sort, const char* action, const Actor& who, SeedTime when) {
        t_.reportShow.Add({counters_.nextLedgerId++, kNode, code, product_.code, Code(level),
                           std::int64_t{discount}, std::int64_t{amount}, Money(money), sort, action,
                           o.saleClass, Code(o.from), Code(o.from), o.payMode, who.user, who.group,
                           Time(when), Flag(o.placeReserve)});
    }

    void WritePayment(const OrderDraft& o, const std::string& code, const std::vector<Line>& lines,
                      double receivables, bool suite) {
        // Booked orders paid when collected count as collections, the rest as sales.
        const bool collection = o.from != '1' && o.status == 'A' && o.payMode != "W";
        const char* sort = o.gift ? "08" : collection ? "05" : "01";
        for (const auto& line : lines) {
            if (suite) {
                const int gifts = line.seats / 3;
                Ledger(o, code, line.level, line.discount, line.seats - gifts, line.total, sort, "01",
                       *o.payee, o.paid);
                if (gifts > 0) Ledger(o, code, line.level, 0, gifts, 0, "08", "01", *o.payee, o.paid);
            } else {
                Ledger(o, code, line.level, line.discount, line.seats, line.total, sort, "01", *o.payee,
                       o.paid);
            }
            if (o.refunded)
                Ledger(o, code, line.level, line.discount, -line.seats, -line.total, "02", "02", *o.handler,
                       o.handled);
        }

        std::string cardCode;
        if (o.payMode == "H") cardCode = "6222" + std::to_string(100000000000 + o.number);
        if (o.payMode == "M") cardCode = o.memberCard;
        t_.accountShow.Add({kNode, code, std::int64_t{0}, o.payMode, TextOrNull(o.creditCompany),
                            TextOrNull(cardCode), Money(receivables), o.payee->user, o.payee->group,
                            Time(o.paid)});
        if (o.refunded)
            t_.accountShow.Add({kNode, code, std::int64_t{1}, o.payMode, TextOrNull(o.creditCompany),
                                TextOrNull(cardCode), -Money(receivables), o.handler->user, o.handler->group,
                                Time(o.handled)});
        // Every seventh counter sale was split between cash and a bank card.
        if (o.from == '1' && !o.gift && receivables > 0 && o.number % 7 == 0) {
            const double cash = std::floor(receivables / 2);
            t_.payModeMoney.Add({kNode, code, "X", product_.code, cash, "现金部分"});
            t_.payModeMoney.Add({kNode, code, "H", product_.code, Money(receivables - cash), "银行卡部分"});
        }
    }

    void MarkSeats(const OrderDraft& o, const std::string& code, const std::vector<std::size_t>& seatIndices,
                   bool suite) {
        if (o.status == 'C' || o.status == 'U') return; // seats given back
        const bool over = product_.happenDay < 0;
        int position = 0;
        for (std::size_t i : seatIndices) {
            SeatPlan& seat = seats_[i];
            ++position;
            const bool giftSeat = o.gift || (suite && position % 3 == 0);
            seat.order = code;
            switch (o.status) {
            case 'A':
                seat.status = over ? 'C' : giftSeat ? 'G' : 'O';
                break;
            case 'R':
                seat.status = o.printing ? 'A' : 'O';
                break;
            default:
                seat.status = 'B';
                break;
            }
            if (o.status == 'A') {
                char barcode[24], serial[24];
                std::snprintf(barcode, sizeof barcode, "69%010lld", static_cast<long long>(seat.code));
                std::snprintf(serial, sizeof serial, "%010lld",
                              static_cast<long long>(counters_.nextTicketSerial++));
                const double parValue =
                    giftSeat ? 0.0 : Money(product_.PriceOf(seat.level) * DiscountOf(o.saleClass) / 100);
                t_.ticketShow.Add({kNode, barcode, serial, code, seat.code, product_.code, o.saleClass, "01",
                                   Flag(giftSeat), parValue, o.payee->user, Time(o.paid), Time(o.handled)});
            }
            const bool perSeat = product_.userRegType == "S";
            if ((o.status == 'A' || o.status == 'R') &&
                (perSeat || (product_.userRegType == "O" && position == 1))) {
                const Customer& c = o.customer;
                t_.clientInfo.Add({kNode, code, std::int64_t{position}, product_.code,
                                   perSeat ? SqlValue(seat.code) : SqlValue(), product_.userRegType, c.name,
                                   std::int64_t{c.identType}, c.identCode, c.address, "100000", c.sex,
                                   c.cellPhone, c.level});
            }
        }
    }

    SeedTables& t_;
    const ProductPlan& product_;
    std::vector<SeatPlan>& seats_;
    const Calendar& calendar_;
    OrderCounters& counters_;
};

void WriteSeats(SeedTables& t, const ProductPlan& product, const std::vector<SeatPlan>& seats) {
    for (const auto& s : seats) {
        char description[32];
        std::snprintf(description, sizeof description, "%d排%d%s座", s.row, s.seatNo, s.addition ? "加" : "");
        t.seatShow.Add({kNode, s.code, product.code, product.mapCode, s.section, std::int64_t{s.floor},
                        std::int64_t{s.row}, std::int64_t{s.seatNo}, std::int64_t{s.x}, std::int64_t{s.y},
                        Flag(s.addition), Code(s.status), Code(s.kind), Code(s.level), description,
                        TextOrNull(s.order)});
    }
}

} // namespace

std::string UnusedPassword(std::set<std::string>& used, const std::string& wanted) {
    std::int64_t number = std::stoll(wanted);
    char text[8];
    for (;;) {
        std::snprintf(text, sizeof text, "%06lld", static_cast<long long>(number));
        if (used.insert(text).second) return text;
        number = (number + 1) % 1000000;
    }
}

void WriteOrdersAndSeats(SeedTables& tables, const ProductPlan& product, std::vector<SeatPlan>& seats,
                         const Calendar& calendar, OrderCounters& counters, std::uint64_t seed) {
    SeedRandom random(seed ^ (0x9E3779B97F4A7C15ULL * static_cast<std::uint64_t>(product.number)));
    const std::vector<OrderDraft> showcase = ShowcaseOrders(product);
    SeatAllocator allocator(seats, product.generatedOrders + static_cast<std::int64_t>(showcase.size()));
    OrderWriter writer(tables, product, seats, calendar, counters);

    for (const auto& o : showcase) {
        std::vector<std::size_t> taken;
        for (const auto& [level, count] : o.seatsWanted) {
            auto part = allocator.Take(level, count, nullptr);
            taken.insert(taken.end(), part.begin(), part.end());
        }
        writer.Write(o, taken);
    }
    for (std::int64_t i = 0; i < product.generatedOrders; ++i) {
        OrderDraft o = RandomOrder(product, random);
        o.number = counters.nextGeneratedOrder++;
        if (!o.password.empty()) o.password = UnusedPassword(counters.passwords, o.password);
        std::vector<std::size_t> taken;
        for (const auto& [wanted, count] : o.seatsWanted) {
            const char level = allocator.LevelWithRoom(wanted, count);
            if (level == 0) continue;
            auto part = allocator.Take(level, count, &random);
            taken.insert(taken.end(), part.begin(), part.end());
        }
        if (taken.empty()) continue; // the map is full: the order was never made
        writer.Write(o, taken);
    }
    WriteSeats(tables, product, seats);
}

} // namespace kav::server::seed
