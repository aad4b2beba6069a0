#include "orderhandler/odrhbinding.h"

#include "platform/dataset/rowreader.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>

namespace kav::orderhandler {

namespace {

// The order's texts that are a column of the row as it stands, in the order of the record.
struct DirectText {
    std::string_view column;
    TCompactText TodrHOrderInfoRecord::*member;
};
using R = TodrHOrderInfoRecord;
constexpr DirectText kDirectTexts[] = {
    {"OrderCode", &R::orderCode},
    {"SectionCode", &R::sectionCode},
    {"IsGift", &R::isGift},
    {"ProductCode", &R::productCode},
    {"UserRegType", &R::userRegType},
    {"ProductName", &R::productName},
    {"PlaceName", &R::placeName},
    {"SaleclassCode", &R::saleClassCode},
    {"GROUPTYPE", &R::groupType},
    {"CREATEGROUP", &R::createGroup},
    {"CreateGroupName", &R::createGroupName},
    {"OwnerCode", &R::ownerCode},
    {"MemberID", &R::memberId},
    {"CUSTOMERNAME", &R::customerName},
    {"CUSTOMERTEL", &R::customerTel},
    {"CUSTOMERCELLPHONE", &R::customerCellPhone},
    {"FETCHADDRESS", &R::shippingAddress},
    {"ShippingComment", &R::shippingComment},
    {"INVOICEHEAD", &R::invoiceHead},
    {"EMAIL", &R::email},
    {"Sex", &R::sex},
    {"ClientLevel", &R::clientLevel},
    {"IDENTCODE", &R::identityNumber},
    {"OrderHandlerGroup", &R::orderHandlerGroup},
    {"ORDERHANDLERUSER", &R::orderHandlerUser},
    {"PayModeCode", &R::payModeCode},
    {"ProductOwnerGroup", &R::productOwnerGroup},
    {"ISFeeMember", &R::isFeeMember},
    {"USERNAME", &R::createUserName},
    {"ORDERHANDLERUSERNAME", &R::orderHandlerUserName},
    {"OrderPassWord", &R::orderPassword},
    {"ISPRINT", &R::isPrint},
};
constexpr std::size_t kDirectTextCount = std::size(kDirectTexts);

// The columns of an order row, looked up once per result.
struct OrderColumnsOf {
    explicit OrderColumnsOf(TClientDataSet& d)
        : saleClassName(d.FieldByName("SaleclassName").Index()),
          createUser(d.FieldByName("CreateUser").Index()),
          memberCardNo(d.FieldByName("MEMBERCARDNO").Index()), fetchWay(d.FieldByName("FETCHWAY").Index()),
          orderFrom(d.FieldByName("OrderFrom").Index()), clientType(d.FieldByName("CLIENTTYPE").Index()),
          certificateType(d.FieldByName("CERTIFICATETYPE").Index()),
          identTypeName(d.FieldByName("IDENTTYPENAME").Index()),
          orderStatus(d.FieldByName("ORDERSTATUS").Index()), seatCount(d.FieldByName("SeatCount").Index()),
          identTypeId(d.FieldByName("IDENTTYPEID").Index()),
          receivables(d.FieldByName("Receivables").Index()),
          productHappenTime(d.FieldByName("ProductHappenTime").Index()),
          orderHandlerTime(d.FieldByName("OrderHandlerTime").Index()),
          orderTime(d.FieldByName("OrderTime").Index()) {
        for (std::size_t i = 0; i < kDirectTextCount; ++i)
            direct[i] = d.FieldByName(kDirectTexts[i].column).Index();
    }

    std::array<int, kDirectTextCount> direct{}; // the column of each of kDirectTexts
    int saleClassName, createUser, memberCardNo, fetchWay, orderFrom, clientType, certificateType,
        identTypeName, orderStatus, seatCount, identTypeId, receivables, productHappenTime, orderHandlerTime,
        orderTime;
};

// The price-line columns, looked up once per result.
struct DiscountColumnsOf {
    explicit DiscountColumnsOf(TClientDataSet& d)
        : discount(d.FieldByName("Discount").Index()), price(d.FieldByName("Price").Index()),
          seatAmount(d.FieldByName("SeatAmount").Index()) {}

    int discount, price, seatAmount;
};

// Price and count of each line, "880X2;600X1;", appended.
void AppendDescription(const TRowReader& lines, const DiscountColumnsOf& d, std::string& description) {
    for (int row = 0, count = lines.RowCount(); row < count; ++row) {
        lines.AppendText(row, d.price, description);
        description.push_back('X');
        lines.AppendText(row, d.seatAmount, description);
        description.push_back(';');
    }
}

// Equality of two codes of a row: they are one to a few characters, for which a library call
// costs more than the comparison.
bool SameCode(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

// The answer of a look-up for each distinct code of one binding run: the codes repeat over the
// orders of a result (a handful of customer types, certificate types and pay modes), and the
// look-ups may read tables or ask other packages.
template <typename Answer> class AnswersByCode {
public:
    template <typename Ask> const Answer& Get(std::string_view code, const Ask& ask) {
        // Neighbouring orders mostly share their codes: try the last answer first.
        if (last_ != answers_.end() && SameCode(last_->first, code)) return last_->second;
        auto found = answers_.find(code);
        if (found == answers_.end())
            found = answers_.emplace(std::string(code), ask(std::string(code))).first;
        last_ = found;
        return found->second;
    }

private:
    std::map<std::string, Answer, std::less<>> answers_;
    typename std::map<std::string, Answer, std::less<>>::const_iterator last_ = answers_.end();
};

// The display texts and look-up answers of one binding run.
class RunLookups {
public:
    explicit RunLookups(const TOrderBindingLookups& lookups)
        : lookups_(lookups), viewedSources_(OrderFromTypeInfos(lookups.canViewOrders)) {}

    const std::string& OrderFromName(std::string_view code) {
        return orderSources_.Get(code, [this](const std::string& c) {
            for (const auto& source : viewedSources_)
                if (source.code == c) return source.name;
            return std::string();
        });
    }
    const std::string& CustomerTypeName(std::string_view clientType) {
        static const std::string none;
        if (!lookups_.customerTypeName) return none;
        return customerTypes_.Get(clientType, lookups_.customerTypeName);
    }
    const std::string& ShippingWayName(std::string_view code) {
        return shippingWays_.Get(code, [](const std::string& c) { return GetShippingWayDisplayName(c); });
    }
    const std::string& OrderStatusName(std::string_view code) {
        return orderStatuses_.Get(code, [](const std::string& c) { return GetOrderStatusDisplayname(c); });
    }
    int CertificateId(std::string_view certificateType) {
        if (!lookups_.certificateId) return -1;
        return certificateIds_.Get(certificateType, lookups_.certificateId);
    }
    bool IsPrintNote(std::string_view payModeCode) {
        if (!lookups_.isPrintNote) return false;
        return printNotes_.Get(payModeCode, lookups_.isPrintNote);
    }

private:
    const TOrderBindingLookups& lookups_;
    const TOrderFromTypeInfoArr viewedSources_; // the sources the user may view
    AnswersByCode<std::string> orderSources_;
    AnswersByCode<std::string> customerTypes_;
    AnswersByCode<int> certificateIds_;
    AnswersByCode<bool> printNotes_;
    AnswersByCode<std::string> shippingWays_;
    AnswersByCode<std::string> orderStatuses_;
};

// Days with two decimals, rounded as printf rounds (the exact binary value to nearest, ties to
// even): whole days, and the decimals as hundredths of a day turned into hours. The hundredths
// are found exactly in double arithmetic; formatting the number as text is several times slower
// and is kept for the days that double cannot scale exactly.
void AppendContinuedTime(TDateTime orderTime, TDateTime now, std::string& text) {
    const double days = now - orderTime;
    const double scaled = days * 100;
    std::string_view whole;
    int hundredths = 0;
    char digits[400]; // room for any finite double in fixed notation
    if (std::fabs(scaled) < 0x1p52) {
        // Adding and taking away 2^52 rounds a smaller magnitude to a whole number, ties to even.
        const double size = std::fabs(scaled);
        double rounded = (size + 0x1p52) - 0x1p52;
        if (std::fabs(size - rounded) == 0.5) {
            // A tie of the rounded product: the exact one, days * 100 == scaled + error, decides.
            const double error = std::fma(days, 100, -scaled);
            if (error != 0) rounded = (error > 0) == (scaled > 0) ? std::ceil(size) : std::floor(size);
        }
        const auto magnitude = static_cast<std::uint64_t>(rounded);
        char* out = digits;
        if (std::signbit(days)) *out++ = '-';
        out = std::to_chars(out, digits + sizeof digits, magnitude / 100).ptr;
        whole = std::string_view(digits, static_cast<std::size_t>(out - digits));
        hundredths = static_cast<int>(magnitude % 100);
    } else {
        const char* end =
            std::to_chars(digits, digits + sizeof digits, days, std::chars_format::fixed, 2).ptr;
        const char* point = end - 3;
        whole = std::string_view(digits, static_cast<std::size_t>(point - digits));
        hundredths = (point[1] - '0') * 10 + (point[2] - '0');
    }
    // The hours complete the text in the same buffer, after the whole days it begins with. 24 times
    // a number of hundredths never ends in 50, so rounding them to whole hours meets no tie.
    constexpr std::string_view day = "天", hour = "时";
    char* out = std::copy(day.begin(), day.end(), digits + whole.size());
    out = std::to_chars(out, digits + sizeof digits, (hundredths * 24 + 50) / 100).ptr;
    out = std::copy(hour.begin(), hour.end(), out);
    text.append(digits, static_cast<std::size_t>(out - digits));
}

// Reads the rows of one result into order records, with the scratch texts the composed fields
// are built in.
class OrderBinder {
public:
    OrderBinder(TClientDataSet& orders, const TOrderBindingLookups& given)
        : f_(orders), l_(orders.FieldByName(kOrderDiscountDataSet).NestedDataSet()), lookups_(given),
          given_(given) {}

    // Binds row `row`; `lines` is the reader of the row's price lines.
    std::unique_ptr<TodrHOrderInfoRecord> Bind(const TRowReader& d, int row, const TRowReader& lines) {
        // Every member has its own initialiser: default-initialise rather than zero the record first.
        std::unique_ptr<TodrHOrderInfoRecord> r(new TodrHOrderInfoRecord);
        for (std::size_t i = 0; i < kDirectTextCount; ++i) {
            const std::string_view text = d.TextOf(row, f_.direct[i], scratch_);
            if (!text.empty()) (*r).*kDirectTexts[i].member = text; // a new record's texts are empty
        }
        d.ReadText(row, f_.saleClassName, composed_);
        composed_.push_back('(');
        if (lines.RowCount() > 0) lines.AppendText(0, l_.discount, composed_); // the first line is current
        composed_.append("%)");
        r->saleClassName = composed_;
        d.ReadText(row, f_.orderFrom, r->orderFrom.code);
        r->orderFrom.name = lookups_.OrderFromName(r->orderFrom.code);
        if (SameCode(r->orderFrom.code, kOrderFromOnline)) {
            composed_.assign("(").append(r->createGroup).append(")网上售票");
            r->createUser = composed_;
        } else {
            r->createUser = d.TextOf(row, f_.createUser, scratch_);
        }
        composed_.clear();
        AppendDescription(lines, l_, composed_);
        r->description = composed_;
        const std::string_view card = d.TextOf(row, f_.memberCardNo, scratch_);
        if (!SameCode(card, "-1")) r->memberCardNo = card; // -1 is stored for "no card"
        d.ReadText(row, f_.fetchWay, r->shippingWay.code);
        r->shippingWay.name = lookups_.ShippingWayName(r->shippingWay.code);
        d.ReadText(row, f_.clientType, r->customerType.code);
        r->customerType.name = lookups_.CustomerTypeName(r->customerType.code);
        d.ReadText(row, f_.certificateType, r->certificate.certificateType);
        d.ReadText(row, f_.identTypeName, r->certificate.name);
        r->certificate.identTypeId = lookups_.CertificateId(r->certificate.certificateType);
        d.ReadText(row, f_.orderStatus, r->orderStatus.code);
        r->orderStatus.name = lookups_.OrderStatusName(r->orderStatus.code);
        r->seatCount = d.ReadInteger(row, f_.seatCount);
        r->identTypeId = d.ReadInteger(row, f_.identTypeId);
        r->receivables = d.ReadFloat(row, f_.receivables);
        r->productHappenTime = d.ReadDateTime(row, f_.productHappenTime);
        r->orderHandlerTime = d.ReadDateTime(row, f_.orderHandlerTime);
        r->orderTime = d.ReadDateTime(row, f_.orderTime);
        r->printNote = lookups_.IsPrintNote(r->payModeCode);
        composed_.clear();
        AppendContinuedTime(r->orderTime, given_.now, composed_);
        r->continuedTime = composed_;
        r->seatLoader = given_.seatLoader;
        return r;
    }

private:
    const OrderColumnsOf f_;
    const DiscountColumnsOf l_;
    RunLookups lookups_;
    const TOrderBindingLookups& given_;
    std::string scratch_;  // a value converted to text
    std::string composed_; // a text built from several values
};

} // namespace

TodrHSeatInfoList FillSeatInfoList(TClientDataSet& d) {
    TField& sectionName = d.FieldByName("SectionName");
    TField& floorName = d.FieldByName("FloorName");
    TField& rowName = d.FieldByName("RowName");
    TField& seatCode = d.FieldByName("SeatCode");
    TField& seatNo = d.FieldByName("SeatNo");
    TField& status = d.FieldByName("Status");
    TField& orderCode = d.FieldByName("OrderCode");
    TField& priceLevel = d.FieldByName("PriceLevel");
    TField& discount = d.FieldByName("Discount");
    TField& seatAmount = d.FieldByName("SeatAmount");
    TField& price = d.FieldByName("Price");
    TField& totalPrice = d.FieldByName("TotalPrice");
    TodrHSeatInfoList list;
    for (d.First(); !d.Eof(); d.Next()) {
        auto seat = std::make_unique<TodrHSeatInfoRecord>();
        seat->sectionName = sectionName.AsString();
        seat->floorName = floorName.AsString();
        seat->rowName = rowName.AsString();
        seat->seatCode = seatCode.AsString();
        seat->seatNo = seatNo.AsString();
        seat->status = status.AsString();
        seat->orderCode = orderCode.AsString();
        seat->priceLevel = priceLevel.AsString();
        seat->discount = discount.AsInteger();
        seat->seatAmount = seatAmount.AsInteger();
        seat->price = price.AsFloat();
        seat->totalPrice = totalPrice.AsFloat();
        list.Add(std::move(seat));
    }
    return list;
}

TodrHOrderInfoList FillOrderInfoList(TClientDataSet& orders, const TOrderBindingLookups& lookups) {
    OrderBinder binder(orders, lookups);
    const int linesField = orders.FieldByName(kOrderDiscountDataSet).Index();
    TodrHOrderInfoList list;
    // The rows are read by position; the cursor ends where walking them would leave it, on the
    // last row past its end.
    orders.First();
    TRowReader rows(orders);
    TRowReader lines;
    list.Reserve(rows.RowCount());
    for (int row = 0, count = rows.RowCount(); row < count; ++row) {
        rows.FetchAhead(row, linesField);
        rows.ReadNested(row, linesField, lines);
        list.Add(binder.Bind(rows, row, lines));
    }
    orders.Last();
    return list;
}

std::string GetOrderContinuedTime(TDateTime orderTime, TDateTime now) {
    std::string result;
    AppendContinuedTime(orderTime, now, result);
    return result;
}

std::string GetDescription(TClientDataSet& discounts) {
    if (!discounts.Active()) return {};
    const DiscountColumnsOf columns(discounts);
    std::string description;
    AppendDescription(TRowReader(discounts), columns, description);
    discounts.First();
    return description;
}

} // namespace kav::orderhandler
