#pragma once
// Access classes of the seat layout and sales state services (services/mapseatshow,
// services/freesaleshow). Created without arguments they work over the shared connection (ORB);
// given a client they work over that one, which must outlive them. They raise what the proxies raise
// (EosRemoteException with the server's text, EosException for a lost connection). Threading: that of
// their client.

#include "services/freesaleshow/tpfreesaleshow.h"
#include "services/mapseatshow/tpmapseatshow.h"

#include <string>

namespace kav {

class TCAMapSeatShow {
public:
    TCAMapSeatShow();
    explicit TCAMapSeatShow(pelio::TPelioClient& client);
    TCAMapSeatShow(const TCAMapSeatShow&) = delete;
    TCAMapSeatShow& operator=(const TCAMapSeatShow&) = delete;

    // The section with its floors and their rows nested (qryFloor, qryRow).
    Variant GetSection(const std::string& context, const std::string& productCode,
                       const std::string& sectionCode);
    // The performance's price levels.
    Variant GetPrice(const std::string& context, const std::string& productCode);
    // The section's seats as the layout window edits them.
    Variant GetSeat(const std::string& context, const std::string& productCode, const std::string& mapCode,
                    const std::string& sectionCode);
    // Saves the delta of those seats; answers the section's seats as saved.
    Variant SetSeat(const std::string& context, const std::string& productCode, const std::string& mapCode,
                    const std::string& sectionCode, const Variant& seatDelta);

private:
    TTPMapSeatShow proxy_;
};

class TCAFreeSaleShow {
public:
    TCAFreeSaleShow();
    explicit TCAFreeSaleShow(pelio::TPelioClient& client);
    TCAFreeSaleShow(const TCAFreeSaleShow&) = delete;
    TCAFreeSaleShow& operator=(const TCAFreeSaleShow&) = delete;

    // The section's seats with their status and holding order; the section comes first.
    Variant GetSeat(const std::string& context, const std::string& sectionCode,
                    const std::string& productCode);

private:
    TTPFreeSaleShow proxy_;
};

} // namespace kav
