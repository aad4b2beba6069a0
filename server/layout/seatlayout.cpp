#include "server/layout/seatlayout.h"

#include "host/sqltext.h"
#include "rpc/exceptions.h"
#include "server/layout/deltaapplier.h"
#include "server/ticketoffice/counter.h"
#include "server/ticketoffice/sqlvalues.h"

#include <map>
#include <optional>
#include <tuple>
#include <unordered_map>

namespace kav::server {

namespace {

// Price levels a seat may have: the priced ones and the map-only L, S, X, Y, Z.
constexpr std::string_view kPriceLevels = "ABCDEFGHJKMNLSXYZ";
// Seat kinds: the configured ones and N, a plain seat.
constexpr std::string_view kKinds = "CZEFKHTXY12345WPN";
constexpr std::int64_t kMaxSeatNo = 20000;
constexpr std::int64_t kMaxNumber = 32767;

// Columns of the delta, in TDeltaTable order.
enum Column { Floor, Row, SeatNo, Addition, Description, Kind, Level, X, Y, ColumnCount };

TDeltaTable SeatTable(const TSeatLayoutScope& scope) {
    return {"KAV_SEAT_SHOW",
            {"SEATCODE", true, 0},
            {{"FLOORNO", true, 0},
             {"ROWNO", true, 0},
             {"SEATNO", true, 0},
             {"ISADDITION", false, 1},
             {"DESCRIPTION", false, 64},
             {"KIND", false, 1},
             {"PRICELEVEL", false, 1},
             {"X", true, 0},
             {"Y", true, 0}},
            {{"NODECODE", scope.Node}, {"PRODUCTCODE", scope.Product}, {"SECTIONCODE", scope.Section}}};
}

struct Identity {
    std::int64_t floor = 0, row = 0, seat = 0;
    bool added = false;
    auto operator<=>(const Identity&) const = default;
};
using Place = std::pair<std::int64_t, std::int64_t>; // Y, X

struct Seat {
    Identity identity;
    Place place;
    std::string order;  // the holding order, empty when none
    std::string status; // sale status
    bool Held() const { return !order.empty() || (!status.empty() && status != "F"); }
};

std::string NameOf(const Identity& s) {
    return std::to_string(s.floor) + "楼" + std::to_string(s.row) + "排" + (s.added ? "加" : "") +
           std::to_string(s.seat) + "号";
}

std::string PlaceOf(const Place& p) {
    return "第" + std::to_string(p.first) + "行第" + std::to_string(p.second) + "列";
}

[[noreturn]] void Refuse(const std::string& message) {
    throw pelio::EosRemoteException(message);
}

// Normalises a new or changed row's values in place (blank flags and kinds take their defaults) and
// checks them; returns its identity and place.
std::pair<Identity, Place> Checked(std::vector<SqlValue>& v, std::int64_t rows, std::int64_t cols) {
    const auto integer = [&](Column c, const char* what) -> std::int64_t {
        if (std::holds_alternative<std::monostate>(v[c])) Refuse(std::string("座位缺少") + what);
        return IntegerOf(v[c]);
    };
    const auto letter = [&](Column c, std::string fallback) {
        std::string text = TextOf(v[c]);
        if (text.empty()) v[c] = text = std::move(fallback);
        return text;
    };
    Identity id{integer(Floor, "楼层"), integer(Row, "排号"), integer(SeatNo, "座号"), false};
    const std::string addition = letter(Addition, "N");
    id.added = addition == "Y";
    const Place place{integer(Y, "行位置"), integer(X, "列位置")};
    const std::string name = "座位 " + NameOf(id);
    if (addition != "Y" && addition != "N") Refuse(name + " 的加座标记“" + addition + "”无效");
    if (id.floor < 1 || id.floor > kMaxNumber || id.row < 1 || id.row > kMaxNumber || id.seat < 1 ||
        id.seat > kMaxSeatNo)
        Refuse(name + " 的楼层、排号或座号超出范围 (座号 1 至 " + std::to_string(kMaxSeatNo) + ")");
    if (place.first < 1 || place.first > rows || place.second < 1 || place.second > cols)
        Refuse(name + " 的位置" + PlaceOf(place) + "不在区域的 " + std::to_string(rows) + " 行 " +
               std::to_string(cols) + " 列之内");
    const std::string level = letter(Level, "");
    if (level.size() != 1 || kPriceLevels.find(level[0]) == std::string_view::npos)
        Refuse(name + " 的票价等级“" + level + "”无效");
    const std::string kind = letter(Kind, "N");
    if (kind.size() != 1 || kKinds.find(kind[0]) == std::string_view::npos)
        Refuse(name + " 的座位类别“" + kind + "”无效");
    return {id, place};
}

// What the section holds after the delta, seat by seat, so that every rule is checked on the whole
// result before anything is written. New seats are known by negative numbers until they get codes.
class Layout {
public:
    void Add(std::int64_t code, Seat seat) { seats_[code] = std::move(seat); }
    Seat* Find(std::int64_t code) {
        auto it = seats_.find(code);
        return it == seats_.end() ? nullptr : &it->second;
    }
    void Remove(std::int64_t code) { seats_.erase(code); }

    // Indexes the seats by place and identity once deletions and changes are in, refusing two seats
    // on one place or with one identity.
    void Index() {
        for (const auto& [code, seat] : seats_) {
            if (const auto [it, added] = byPlace_.emplace(seat.place, code); !added)
                Refuse(PlaceOf(seat.place) + "有两个座位: " + NameOf(seats_.at(it->second).identity) +
                       " 和 " + NameOf(seat.identity));
            if (!byIdentity_.emplace(seat.identity, code).second)
                Refuse("座位 " + NameOf(seat.identity) + " 重复");
        }
    }

    // The seat standing on `place` with `id`, when there is one (negative: a new seat of this delta);
    // refuses another seat on the place, or the identity on another place. Otherwise the new seat
    // takes the place and the identity.
    std::optional<std::int64_t> Settle(const Identity& id, const Place& place) {
        const auto onPlace = byPlace_.find(place);
        const auto withId = byIdentity_.find(id);
        if (onPlace != byPlace_.end() && withId != byIdentity_.end() && onPlace->second == withId->second)
            return onPlace->second;
        if (onPlace != byPlace_.end())
            Refuse(PlaceOf(place) + "已有座位 " + NameOf(IdentityOf(onPlace->second)) + "，不能再放座位 " +
                   NameOf(id));
        if (withId != byIdentity_.end()) Refuse("座位 " + NameOf(id) + " 已经存在");
        const std::int64_t code = -static_cast<std::int64_t>(newSeats_.size()) - 1;
        newSeats_.push_back(id);
        byPlace_.emplace(place, code);
        byIdentity_.emplace(id, code);
        return std::nullopt;
    }

private:
    const Identity& IdentityOf(std::int64_t code) const {
        return code < 0 ? newSeats_[static_cast<std::size_t>(-code - 1)] : seats_.at(code).identity;
    }

    std::unordered_map<std::int64_t, Seat> seats_;
    std::vector<Identity> newSeats_;
    std::map<Place, std::int64_t> byPlace_;
    std::map<Identity, std::int64_t> byIdentity_;
};

} // namespace

std::string ReadSeatLayout(Connection& connection, const TSeatLayoutScope& scope) {
    return connection.GetData(SqlFormat(
        "select NODECODE, MAPCODE, SECTIONCODE, SEATCODE, FLOORNO, ROWNO, SEATNO, ISADDITION, STATUS, "
        "KIND, PRICELEVEL, X, Y, 'N' as SELECTED, DESCRIPTION from KAV_SEAT_SHOW where NODECODE = '%s' "
        "and PRODUCTCODE = '%s' and SECTIONCODE = '%s' order by Y, X",
        {scope.Node, scope.Product, scope.Section}));
}

void SaveSeatLayout(Connection& connection, const TSeatLayoutScope& scope, const pelio::Variant& delta) {
    const auto sections =
        connection.Select("select CELLROWS, CELLCOLUMNS, MAPCODE from KAV_SECTION_SHOW where "
                          "NODECODE = ?1 and PRODUCTCODE = ?2 and SECTIONCODE = ?3",
                          {scope.Node, scope.Product, scope.Section});
    if (sections.empty()) Refuse("演出 " + scope.Product + " 没有区域 " + scope.Section);
    const std::int64_t rows = IntegerOf(sections[0][0]), cols = IntegerOf(sections[0][1]);
    const std::string sectionMap = TextOf(sections[0][2]);
    if (!sectionMap.empty() && sectionMap != scope.Map)
        Refuse("区域 " + scope.Section + " 属于座位图 " + sectionMap + "，不属于 " + scope.Map);

    const TDeltaTable table = SeatTable(scope);
    std::vector<TDeltaRow> changes = ReadDelta(delta, table, "SeatDelta");
    if (changes.empty()) return;

    Layout layout;
    for (const auto& r :
         connection.Select("select SEATCODE, FLOORNO, ROWNO, SEATNO, ISADDITION, Y, X, ORDERCODE, "
                           "STATUS from KAV_SEAT_SHOW where NODECODE = ?1 and PRODUCTCODE = ?2 "
                           "and SECTIONCODE = ?3",
                           {scope.Node, scope.Product, scope.Section}))
        layout.Add(IntegerOf(r[0]), {{IntegerOf(r[1]), IntegerOf(r[2]), IntegerOf(r[3]), TextOf(r[4]) == "Y"},
                                     {IntegerOf(r[5]), IntegerOf(r[6])},
                                     TextOf(r[7]),
                                     TextOf(r[8])});
    const auto codeOf = [](const TDeltaRow& row) {
        if (std::holds_alternative<std::monostate>(row.Key)) Refuse("数据包 SeatDelta 的座位缺少座位代码");
        return IntegerOf(row.Key);
    };

    // Deletions and changes first, as the database will apply them.
    std::vector<SqlValue> deleted;
    std::vector<std::pair<SqlValue, const std::vector<SqlValue>*>> changed;
    std::vector<std::int64_t> moved; // changed seats whose place or identity changes
    for (TDeltaRow& row : changes) {
        if (row.Kind == TDeltaKind::Insert) continue;
        const std::int64_t code = codeOf(row);
        Seat* seat = layout.Find(code);
        if (row.Kind == TDeltaKind::Delete) {
            if (!seat) continue; // already gone: a save retried
            if (seat->Held())
                Refuse("座位 " + NameOf(seat->identity) + " 已被订单" +
                       (seat->order.empty() ? "" : " " + seat->order) + "占用，不能删除");
            deleted.push_back(code);
            layout.Remove(code);
            continue;
        }
        if (!seat)
            Refuse("座位 " + std::to_string(code) + " 已不在区域 " + scope.Section +
                   " 中，请刷新座位后再编辑");
        const auto [id, place] = Checked(row.Values, rows, cols);
        if (id != seat->identity || place != seat->place) {
            if (seat->Held())
                Refuse("座位 " + NameOf(seat->identity) + " 已被订单" +
                       (seat->order.empty() ? "" : " " + seat->order) + "占用，不能移动或改号");
            moved.push_back(code);
        }
        seat->identity = id;
        seat->place = place;
        changed.emplace_back(code, &row.Values);
    }

    // New seats: one already standing on its place with its identity is that seat (a retried save),
    // and a second copy of a new seat in the delta is the first.
    layout.Index();
    std::vector<std::pair<SqlValue, std::vector<SqlValue>>> inserted;
    for (TDeltaRow& row : changes) {
        if (row.Kind != TDeltaKind::Insert) continue;
        const auto [id, place] = Checked(row.Values, rows, cols);
        if (const auto same = layout.Settle(id, place)) {
            if (*same > 0) changed.emplace_back(*same, &row.Values);
            continue;
        }
        inserted.emplace_back(SqlValue(), std::move(row.Values));
    }

    TDeltaApplier applier(connection, table);
    applier.Delete(deleted);
    // Moved seats leave their places and identities first, so that seats trading places never meet
    // on one in between.
    for (std::size_t i = 0; i < moved.size(); ++i) {
        const std::int64_t parked = -static_cast<std::int64_t>(i) - 1;
        applier.Update(
            moved[i],
            {{"X", parked}, {"Y", std::int64_t{-1}}, {"ROWNO", std::int64_t{-1}}, {"SEATNO", parked}});
    }
    for (const auto& [code, values] : changed)
        applier.Change(code, *values);
    if (!inserted.empty()) {
        std::int64_t next = DrawNumbers(connection, "SEATCODE", static_cast<std::int64_t>(inserted.size()),
                                        "select coalesce(max(SEATCODE), 0) from KAV_SEAT_SHOW");
        for (auto& row : inserted)
            row.first = next++;
        applier.Insert(inserted, {"MAPCODE", "STATUS"}, {scope.Map, std::string("F")});
    }
}

} // namespace kav::server
