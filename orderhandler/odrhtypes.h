#pragma once
// The plain records the order handler's windows and data providers exchange. Codes are the short
// texts stored in the database (ORDERSTATUS, ORDERFROM, FETCHWAY, CLIENTTYPE) and are compared
// exactly, letter case included.

#include "platform/core/datetime.h"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace kav::orderhandler {

// The kind of an order list column: chooses the export field class and the sort comparison.
enum class TFieldType { ftStr, ftInt, ftFlo, ftTime, ftFMTBCD };

// A code with its display name; filled from the database or the fixed code tables.
struct TCodeNameItem {
    std::string code;
    std::string name;
    friend bool operator==(const TCodeNameItem&, const TCodeNameItem&) = default;
};

// "code=name", for messages and test output.
std::ostream& operator<<(std::ostream& out, const TCodeNameItem& item);

using TPlaceItem = TCodeNameItem;         // PLACECODE and venue name
using TProductClassItem = TCodeNameItem;  // product class code and name
using TSectionItem = TCodeNameItem;       // section code and name
using TFloorItem = TCodeNameItem;         // floor code and name
using TRowItem = TCodeNameItem;           // row code and name
using TPayModeItem = TCodeNameItem;       // PAYMODECODE and pay mode name
using TCreditCompanyItem = TCodeNameItem; // COMPONY_CODE and COMPONY_NAME

using TOrderFromTypeInfoRecord = TCodeNameItem;   // order source code and display text
using TOrderStatusTypeInfoRecord = TCodeNameItem; // order status code and display text
using TShippingWayTypeInfoRecord = TCodeNameItem; // shipping way code and display text

using TOrderFromTypeInfoArr = std::vector<TOrderFromTypeInfoRecord>;
using TOrderStatusTypeInfoArr = std::vector<TOrderStatusTypeInfoRecord>;
using TShippingWayTypeInfoArr = std::vector<TShippingWayTypeInfoRecord>;

// One performance found by the product search.
struct TProductItem {
    std::string productCode;
    std::string productName;
    std::string reserved1; // left empty by the product search
    std::string reserved2; // left empty by the product search
    std::string placeName;
    TDateTime happenTime = 0; // HAPPENTIME
};

// What the product search hands back: [0] the selected product codes as an SQL in-list body
// ('P001','P002'), [1] the product names, each followed by ';'.
using TSelectedProducts = std::array<std::string, 2>;

// The selection of the given products. Each code becomes a string literal with its apostrophes
// doubled, so that element 0 is always a well-formed in-list body.
TSelectedProducts MakeSelectedProducts(const std::vector<TProductItem>& products);

// Order status filter values besides the stored status codes.
inline constexpr const char* kStatusPaidOrCollected = "RA";
inline constexpr const char* kStatusAll = "ALL";
// Order sources.
inline constexpr const char* kOrderFromCallCentre = "2";
inline constexpr const char* kOrderFromOnline = "3";
// The group type that sees every group's orders.
inline constexpr const char* kGroupTypeAll = "A";

// The conditions of a detail order search. A text filter takes part only when its ignore flag is
// false; the date-time ranges likewise.
struct TOrderHandlerSearchCondition {
    std::string productCodes; // element 0 of TSelectedProducts
    std::string clientType;   // CLIENTTYPE
    std::string orderStatus;  // a status code, "RA" or "ALL"
    std::string orderFrom;
    std::string customerName;
    std::string telephone;
    std::string cellPhone;
    std::string identityNumber;
    std::string certificateType;
    std::string groupType; // of the user's group; "A" lifts the group restriction
    std::string groupCode; // what the group restriction compares with
    std::string comment;   // fragment of the shipping comment
    TDateTime createTimeFrom = 0;
    TDateTime createTimeTo = 0;
    TDateTime failDateFrom = 0; // date part only
    TDateTime failDateTo = 0;   // date part only
    TDateTime handlerTimeFrom = 0;
    TDateTime handlerTimeTo = 0;
    std::string memberCardNo;
    std::string email; // fragment of the e-mail address

    bool ignoreProductCodes = true;
    bool ignoreClientType = true;
    bool ignoreOrderStatus = true;
    bool ignoreOrderFrom = true;
    bool ignoreCustomerName = true;
    bool ignoreTelephone = true;
    bool ignoreCellPhone = true;
    bool ignoreCertificate = true; // type and number together
    bool ignoreCreateTime = true;
    bool ignoreEmail = true;
    bool ignoreComment = true;
    bool ignoreHandlerTime = true;
    bool ignoreFailDate = true;
    bool ignoreMemberCardNo = true;

    // The right to see other groups' orders: negative = groups whose owner or code is groupCode,
    // 0 = orders created by groupCode only, positive = every group.
    std::int32_t groupScope = 0;
    bool mayEditOthersOrders = false;
};

} // namespace kav::orderhandler
