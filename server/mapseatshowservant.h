#pragma once
// TKavMapSeatShow: the map seat show servant (services/mapseatshow): a section with its floors and
// rows, and a performance's price levels, of the caller's node, after checking the session; and the
// section's seats as the layout window reads and saves them (server/layout/seatlayout.h), each save
// one transaction.
//
// TKavFreeSaleShow: the free sale show servant (services/freesaleshow): a section's seats with their
// sales state.

#include "server/serverservices.h"
#include "services/freesaleshow/tpfreesaleshow.h"
#include "services/mapseatshow/tpmapseatshow.h"

namespace kav::server {

class TKavMapSeatShow final : public TTPMapSeatShow_serv {
public:
    explicit TKavMapSeatShow(const ServerServices& services) : services_(services) {}

    Variant GetSection(const std::string& Context, const std::string& ProductCode,
                       const std::string& SectionCode) override;
    Variant GetPrice(const std::string& Context, const std::string& ProductCode) override;
    Variant GetSeat(const std::string& Context, const std::string& ProductCode, const std::string& MapCode,
                    const std::string& SectionCode) override;
    Variant SetSeat(const std::string& Context, const std::string& ProductCode, const std::string& MapCode,
                    const std::string& SectionCode, const Variant& SeatDelta) override;

private:
    const ServerServices& services_;
};

class TKavFreeSaleShow final : public TTPFreeSaleShow_serv {
public:
    explicit TKavFreeSaleShow(const ServerServices& services) : services_(services) {}

    Variant GetSeat(const std::string& Context, const std::string& SectionCode,
                    const std::string& ProductCode) override;

private:
    const ServerServices& services_;
};

// The statement selecting the seats of the caller's node with the columns of GetSeat; `where` is the
// rest of the condition ("and ..."), `orderBy` the order.
std::string SeatRowsSql(const std::string& nodeCode, const std::string& where, const std::string& orderBy);

} // namespace kav::server
