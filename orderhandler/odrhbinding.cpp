#include "orderhandler/odrhbinding.h"

#include <charconv>
#include <cmath>
#include <map>
#include <string>

namespace kav::orderhandler {

namespace {

// The columns of an order row, looked up once per result.
struct OrderColumnsOf {
    explicit OrderColumnsOf(TClientDataSet& d)
        : orderCode(d.FieldByName("OrderCode")), sectionCode(d.FieldByName("SectionCode")),
          isGift(d.FieldByName("IsGift")), productCode(d.FieldByName("ProductCode")),
          userRegType(d.FieldByName("UserRegType")), productName(d.FieldByName("ProductName")),
          placeName(d.FieldByName("PlaceName")), saleClassCode(d.FieldByName("SaleclassCode")),
          saleClassName(d.FieldByName("SaleclassName")), groupType(d.FieldByName("GROUPTYPE")),
          createGroup(d.FieldByName("CREATEGROUP")), createGroupName(d.FieldByName("CreateGroupName")),
          ownerCode(d.FieldByName("OwnerCode")), createUser(d.FieldByName("CreateUser")),
          memberId(d.FieldByName("MemberID")), customerName(d.FieldByName("CUSTOMERNAME")),
          customerTel(d.FieldByName("CUSTOMERTEL")), customerCellPhone(d.FieldByName("CUSTOMERCELLPHONE")),
          shippingAddress(d.FieldByName("FETCHADDRESS")), shippingComment(d.FieldByName("ShippingComment")),
          invoiceHead(d.FieldByName("INVOICEHEAD")), email(d.FieldByName("EMAIL")), sex(d.FieldByName("Sex")),
          clientLevel(d.FieldByName("ClientLevel")), identityNumber(d.FieldByName("IDENTCODE")),
          orderHandlerGroup(d.FieldByName("OrderHandlerGroup")),
          orderHandlerUser(d.FieldByName("ORDERHANDLERUSER")), payModeCode(d.FieldByName("PayModeCode")),
          productOwnerGroup(d.FieldByName("ProductOwnerGroup")), isFeeMember(d.FieldByName("ISFeeMember")),
          memberCardNo(d.FieldByName("MEMBERCARDNO")), createUserName(d.FieldByName("USERNAME")),
          orderHandlerUserName(d.FieldByName("ORDERHANDLERUSERNAME")),
          orderPassword(d.FieldByName("OrderPassWord")), isPrint(d.FieldByName("ISPRINT")),
          fetchWay(d.FieldByName("FETCHWAY")), orderFrom(d.FieldByName("OrderFrom")),
          clientType(d.FieldByName("CLIENTTYPE")), certificateType(d.FieldByName("CERTIFICATETYPE")),
          identTypeName(d.FieldByName("IDENTTYPENAME")), orderStatus(d.FieldByName("ORDERSTATUS")),
          seatCount(d.FieldByName("SeatCount")), identTypeId(d.FieldByName("IDENTTYPEID")),
          receivables(d.FieldByName("Receivables")), productHappenTime(d.FieldByName("ProductHappenTime")),
          orderHandlerTime(d.FieldByName("OrderHandlerTime")), orderTime(d.FieldByName("OrderTime")) {}

    TField &orderCode, &sectionCode, &isGift, &productCode, &userRegType, &productName, &placeName,
        &saleClassCode, &saleClassName, &groupType, &createGroup, &createGroupName, &ownerCode, &createUser,
        &memberId, &customerName, &customerTel, &customerCellPhone, &shippingAddress, &shippingComment,
        &invoiceHead, &email, &sex, &clientLevel, &identityNumber, &orderHandlerGroup, &orderHandlerUser,
        &payModeCode, &productOwnerGroup, &isFeeMember, &memberCardNo, &createUserName, &orderHandlerUserName,
        &orderPassword, &isPrint, &fetchWay, &orderFrom, &clientType, &certificateType, &identTypeName,
        &orderStatus, &seatCount, &identTypeId, &receivables, &productHappenTime, &orderHandlerTime,
        &orderTime;
};

// The price-line columns, looked up once per result.
struct DiscountColumnsOf {
    explicit DiscountColumnsOf(TClientDataSet& d)
        : lines(d), discount(d.FieldByName("Discount")), price(d.FieldByName("Price").Index()),
          seatAmount(d.FieldByName("SeatAmount").Index()) {}

    TClientDataSet& lines;
    TField& discount;
    int price, seatAmount;
};

// The discount of the current price line; empty when the order has none.
std::string CurrentDiscount(const DiscountColumnsOf& d) {
    return d.lines.IsEmpty() ? std::string() : d.discount.AsString();
}

// Read by row, so that the cursor of the lines does not move.
std::string Description(const DiscountColumnsOf& d) {
    std::string description;
    for (int row = 0, count = d.lines.RecordCount(); row < count; ++row)
        description.append(d.lines.TextAt(row, d.price))
            .append("X")
            .append(d.lines.TextAt(row, d.seatAmount))
            .append(";");
    return description;
}

// The answer of a look-up for each distinct code of one binding run: the codes repeat over the
// orders of a result (a handful of customer types, certificate types and pay modes), and the
// look-ups may read tables or ask other packages.
template <typename Answer> class AnswersByCode {
public:
    template <typename Ask> const Answer& Get(const std::string& code, const Ask& ask) {
        auto found = answers_.find(code);
        if (found == answers_.end()) found = answers_.emplace(code, ask(code)).first;
        return found->second;
    }

private:
    std::map<std::string, Answer, std::less<>> answers_;
};

// The display texts and look-up answers of one binding run.
class RunLookups {
public:
    explicit RunLookups(const TOrderBindingLookups& lookups)
        : lookups_(lookups), orderSources_(OrderFromTypeInfos(lookups.canViewOrders)) {}

    std::string OrderFromName(std::string_view code) const {
        for (const auto& source : orderSources_)
            if (source.code == code) return source.name;
        return {};
    }
    std::string CustomerTypeName(const std::string& clientType) {
        if (!lookups_.customerTypeName) return {};
        return customerTypes_.Get(clientType, lookups_.customerTypeName);
    }
    int CertificateId(const std::string& certificateType) {
        if (!lookups_.certificateId) return -1;
        return certificateIds_.Get(certificateType, lookups_.certificateId);
    }
    bool IsPrintNote(const std::string& payModeCode) {
        if (!lookups_.isPrintNote) return false;
        return printNotes_.Get(payModeCode, lookups_.isPrintNote);
    }

private:
    const TOrderBindingLookups& lookups_;
    const TOrderFromTypeInfoArr orderSources_; // the sources the user may view
    AnswersByCode<std::string> customerTypes_;
    AnswersByCode<int> certificateIds_;
    AnswersByCode<bool> printNotes_;
};

std::unique_ptr<TodrHOrderInfoRecord> BindOrder(const OrderColumnsOf& f, const DiscountColumnsOf& discounts,
                                                RunLookups& lookups, const TOrderBindingLookups& given) {
    auto r = std::make_unique<TodrHOrderInfoRecord>();
    r->orderCode = f.orderCode.AsString();
    r->sectionCode = f.sectionCode.AsString();
    r->isGift = f.isGift.AsString();
    r->productCode = f.productCode.AsString();
    r->userRegType = f.userRegType.AsString();
    r->productName = f.productName.AsString();
    r->placeName = f.placeName.AsString();
    r->saleClassCode = f.saleClassCode.AsString();
    r->saleClassName = f.saleClassName.AsString();
    r->saleClassName.append("(").append(CurrentDiscount(discounts)).append("%)");
    r->groupType = f.groupType.AsString();
    r->createGroup = f.createGroup.AsString();
    r->createGroupName = f.createGroupName.AsString();
    r->ownerCode = f.ownerCode.AsString();
    r->orderFrom.code = f.orderFrom.AsString();
    r->orderFrom.name = lookups.OrderFromName(r->orderFrom.code);
    if (r->orderFrom.code == kOrderFromOnline)
        r->createUser.append("(").append(r->createGroup).append(")网上售票");
    else
        r->createUser = f.createUser.AsString();
    r->memberId = f.memberId.AsString();
    r->customerName = f.customerName.AsString();
    r->customerTel = f.customerTel.AsString();
    r->customerCellPhone = f.customerCellPhone.AsString();
    r->shippingAddress = f.shippingAddress.AsString();
    r->shippingComment = f.shippingComment.AsString();
    r->invoiceHead = f.invoiceHead.AsString();
    r->email = f.email.AsString();
    r->sex = f.sex.AsString();
    r->clientLevel = f.clientLevel.AsString();
    r->identityNumber = f.identityNumber.AsString();
    r->orderHandlerGroup = f.orderHandlerGroup.AsString();
    r->orderHandlerUser = f.orderHandlerUser.AsString();
    r->payModeCode = f.payModeCode.AsString();
    r->productOwnerGroup = f.productOwnerGroup.AsString();
    r->description = Description(discounts);
    r->isFeeMember = f.isFeeMember.AsString();
    r->memberCardNo = f.memberCardNo.AsString();
    if (r->memberCardNo == "-1") r->memberCardNo.clear(); // stored for "no card"
    r->createUserName = f.createUserName.AsString();
    r->orderHandlerUserName = f.orderHandlerUserName.AsString();
    r->orderPassword = f.orderPassword.AsString();
    r->isPrint = f.isPrint.AsString();
    r->shippingWay.code = f.fetchWay.AsString();
    r->shippingWay.name = GetShippingWayDisplayName(r->shippingWay.code);
    r->customerType.code = f.clientType.AsString();
    r->customerType.name = lookups.CustomerTypeName(r->customerType.code);
    r->certificate.certificateType = f.certificateType.AsString();
    r->certificate.name = f.identTypeName.AsString();
    r->certificate.identTypeId = lookups.CertificateId(r->certificate.certificateType);
    r->orderStatus.code = f.orderStatus.AsString();
    r->orderStatus.name = GetOrderStatusDisplayname(r->orderStatus.code);
    r->seatCount = f.seatCount.AsInteger();
    r->identTypeId = f.identTypeId.AsInteger();
    r->receivables = f.receivables.AsFloat();
    r->productHappenTime = f.productHappenTime.AsDateTime();
    r->orderHandlerTime = f.orderHandlerTime.AsDateTime();
    r->orderTime = f.orderTime.AsDateTime();
    r->printNote = lookups.IsPrintNote(r->payModeCode);
    r->continuedTime = GetOrderContinuedTime(r->orderTime, given.now);
    r->seatLoader = given.seatLoader;
    return r;
}

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
    const OrderColumnsOf columns(orders);
    const DiscountColumnsOf discounts(orders.FieldByName(kOrderDiscountDataSet).NestedDataSet());
    RunLookups answers(lookups);
    TodrHOrderInfoList list;
    for (orders.First(); !orders.Eof(); orders.Next())
        list.Add(BindOrder(columns, discounts, answers, lookups));
    return list;
}

std::string GetOrderContinuedTime(TDateTime orderTime, TDateTime now) {
    // Days with two decimals (rounded as printf rounds); the decimals are the fraction of a day,
    // turned into hours.
    char text[400]; // room for any finite double in fixed notation
    const char* end =
        std::to_chars(text, text + sizeof text, now - orderTime, std::chars_format::fixed, 2).ptr;
    const char* point = end - 3;
    const long hours = std::lround(((point[1] - '0') * 10 + (point[2] - '0')) * 24 / 100.0);
    std::string result(static_cast<const char*>(text), point);
    result.append("天").append(std::to_string(hours)).append("时");
    return result;
}

std::string GetDescription(TClientDataSet& discounts) {
    if (!discounts.Active()) return {};
    std::string description = Description(DiscountColumnsOf(discounts));
    discounts.First();
    return description;
}

} // namespace kav::orderhandler
