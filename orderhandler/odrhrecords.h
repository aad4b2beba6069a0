#pragma once
// The order and seat records the order handler's windows show, and their lists. A record is a
// plain value: copying an order record copies its seat list, so copies never share seats.

#include "orderhandler/odrhtypes.h"
#include "platform/core/compacttext.h"
#include "platform/core/ownedlist.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kav::orderhandler {

// One seat of an order.
struct TodrHSeatInfoRecord {
    std::string sectionName;
    std::string floorName;
    std::string rowName;
    std::string seatCode;
    std::string seatNo;
    std::string status;
    std::string orderCode;
    std::string priceLevel;
    std::int32_t discount = 0; // percent
    std::int32_t seatAmount = 0;
    double price = 0;
    double totalPrice = 0;
};

class TodrHSeatInfoList : public TOwnedList<TodrHSeatInfoRecord> {
public:
    // Index of the first seat with that seat code, -1 when none.
    int Find(std::string_view seatCode) const;
};

// The certificate of an order's customer.
struct TCertificateInfo {
    std::string certificateType; // CERTIFICATETYPE
    std::string name;            // IDENTTYPENAME
    std::int32_t identTypeId = -1;
};

// Fetches the seats of an order by its order code. Raises what the data pipe raises.
using TSeatLoader = std::function<TodrHSeatInfoList(const std::string& orderCode)>;

// One order. A search gives thousands of them, so the texts read from the row take half the room
// of a std::string each (TCompactText).
struct TodrHOrderInfoRecord {
    TCompactText orderCode;
    TCompactText sectionCode;
    TCompactText isGift;
    TCompactText productCode;
    TCompactText userRegType;
    TCompactText productName;
    TCompactText placeName;
    TCompactText saleClassCode;
    TCompactText saleClassName; // sale class name with the discount, "name(90%)"
    TCompactText groupType;
    TCompactText createGroup;
    TCompactText createGroupName;
    TCompactText ownerCode;
    TCompactText createUser; // for online orders "(group)网上售票"
    TCompactText memberId;
    TCompactText customerName;
    TCompactText customerTel;
    TCompactText customerCellPhone;
    TCompactText shippingAddress;
    TCompactText shippingComment;
    TCompactText invoiceHead;
    TCompactText email;
    TCompactText sex;
    TCompactText clientLevel;
    TCompactText identityNumber;
    TCompactText orderHandlerGroup;
    TCompactText orderHandlerUser;
    TCompactText payModeCode;
    TCompactText productOwnerGroup;
    TCompactText description; // price and count of each price line, "880X2;"
    TCompactText isFeeMember;
    TCompactText memberCardNo; // empty when the order has no card
    TCompactText createUserName;
    TCompactText orderHandlerUserName;
    TCompactText orderPassword;
    TCompactText continuedTime; // "1天12时"
    TCompactText isPrint;
    bool printNote = false; // the order's pay mode prints a statement
    TShippingWayTypeInfoRecord shippingWay;
    TOrderFromTypeInfoRecord orderFrom;
    TCodeNameItem customerType;
    TCertificateInfo certificate;
    TOrderStatusTypeInfoRecord orderStatus;
    std::int32_t seatCount = 0;
    std::int32_t identTypeId = 0;
    double receivables = 0;
    TDateTime productHappenTime = 0;
    TDateTime orderHandlerTime = 0;
    TDateTime orderTime = 0;

    // Absent until GetSeats loads them.
    std::optional<TodrHSeatInfoList> seats;
    // Set by the binder; copied with the record.
    TSeatLoader seatLoader;

    bool HasSeats() const noexcept { return seats.has_value(); }
    // The seats, loaded through seatLoader on first use. Raises std::logic_error when they are
    // absent and the record has no loader, and what the loader raises (the record is then unchanged).
    TodrHSeatInfoList& GetSeats();
    // Drops the seats and loads them again.
    TodrHSeatInfoList& RefreshSeats();
};

class TodrHOrderInfoList : public TOwnedList<TodrHOrderInfoRecord> {};

// One column of the order list, as the user arranged it.
struct TOrderTitleInfoRecord {
    int index = 0;        // into OrderColumns()
    int columnIndex = -1; // grid column; -1 when hidden
    std::string fieldName;
    TFieldType sortKind = TFieldType::ftStr;
    std::string title;
    int width = 0;
    bool shown = true;
};

// The record of column `index` of OrderColumns(), shown and not yet placed in the grid.
// Raises std::out_of_range for an index outside 0-25.
std::unique_ptr<TOrderTitleInfoRecord> MakeOrderTitleInfoRecord(int index);

class TOrderTitleInfoList : public TOwnedList<TOrderTitleInfoRecord> {
public:
    // The first record with that field name, null when none.
    TOrderTitleInfoRecord* Find(std::string_view fieldName) const;
    // The record shown in that grid column; null for -1 or when none is.
    TOrderTitleInfoRecord* GetOrderTitleInfoRecord(int columnIndex) const;
};

} // namespace kav::orderhandler
