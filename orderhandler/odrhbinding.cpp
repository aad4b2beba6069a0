#include "orderhandler/odrhbinding.h"

#include <cmath>
#include <cstdio>
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
        : lines(d), discount(d.FieldByName("Discount")), price(d.FieldByName("Price")),
          seatAmount(d.FieldByName("SeatAmount")) {}

    TClientDataSet& lines;
    TField &discount, &price, &seatAmount;
};

// The discount of the current price line; empty when the order has none.
std::string CurrentDiscount(const DiscountColumnsOf& d) {
    return d.lines.IsEmpty() ? std::string() : d.discount.AsString();
}

std::string Description(const DiscountColumnsOf& d) {
    std::string description;
    for (d.lines.First(); !d.lines.Eof(); d.lines.Next())
        description += d.price.AsString() + "X" + d.seatAmount.AsString() + ";";
    d.lines.First();
    return description;
}

std::unique_ptr<TodrHOrderInfoRecord> BindOrder(const OrderColumnsOf& f, const DiscountColumnsOf& discounts,
                                                const TOrderBindingLookups& lookups) {
    auto r = std::make_unique<TodrHOrderInfoRecord>();
    r->orderCode = f.orderCode.AsString();
    r->sectionCode = f.sectionCode.AsString();
    r->isGift = f.isGift.AsString();
    r->productCode = f.productCode.AsString();
    r->userRegType = f.userRegType.AsString();
    r->productName = f.productName.AsString();
    r->placeName = f.placeName.AsString();
    r->saleClassCode = f.saleClassCode.AsString();
    r->saleClassName = f.saleClassName.AsString() + "(" + CurrentDiscount(discounts) + "%)";
    r->groupType = f.groupType.AsString();
    r->createGroup = f.createGroup.AsString();
    r->createGroupName = f.createGroupName.AsString();
    r->ownerCode = f.ownerCode.AsString();
    r->orderFrom.code = f.orderFrom.AsString();
    r->orderFrom.name = GetOrderFromDisplayName(r->orderFrom.code, lookups.canViewOrders);
    r->createUser =
        r->orderFrom.code == kOrderFromOnline ? "(" + r->createGroup + ")网上售票" : f.createUser.AsString();
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
    if (lookups.customerTypeName) r->customerType.name = lookups.customerTypeName(r->customerType.code);
    r->certificate.certificateType = f.certificateType.AsString();
    r->certificate.name = f.identTypeName.AsString();
    r->certificate.identTypeId =
        lookups.certificateId ? lookups.certificateId(r->certificate.certificateType) : -1;
    r->orderStatus.code = f.orderStatus.AsString();
    r->orderStatus.name = GetOrderStatusDisplayname(r->orderStatus.code);
    r->seatCount = f.seatCount.AsInteger();
    r->identTypeId = f.identTypeId.AsInteger();
    r->receivables = f.receivables.AsFloat();
    r->productHappenTime = f.productHappenTime.AsDateTime();
    r->orderHandlerTime = f.orderHandlerTime.AsDateTime();
    r->orderTime = f.orderTime.AsDateTime();
    r->printNote = lookups.isPrintNote && lookups.isPrintNote(r->memberId, r->payModeCode);
    r->continuedTime = GetOrderContinuedTime(r->orderTime, lookups.now);
    r->seatLoader = lookups.seatLoader;
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
    TodrHOrderInfoList list;
    for (orders.First(); !orders.Eof(); orders.Next())
        list.Add(BindOrder(columns, discounts, lookups));
    return list;
}

std::string GetOrderContinuedTime(TDateTime orderTime, TDateTime now) {
    // Days with two decimals; the decimals are the fraction of a day, turned into hours.
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", now - orderTime);
    const std::string days(text);
    const std::size_t point = days.find('.');
    const long hours = std::lround(std::stoi(days.substr(point + 1)) * 24 / 100.0);
    return days.substr(0, point) + "天" + std::to_string(hours) + "时";
}

std::string GetDescription(TClientDataSet& discounts) {
    return discounts.Active() ? Description(DiscountColumnsOf(discounts)) : std::string();
}

} // namespace kav::orderhandler
