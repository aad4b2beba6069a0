#pragma once
// One batch writer per table the seed fills, with the columns it writes.

#include "server/db/batchinsert.h"

namespace kav::server::seed {

struct SeedTables final {
    explicit SeedTables(Connection& connection);
    // Writes every pending row, children after the rows they refer to.
    void FinishAll();

    BatchInsert group, user, orderHandlerRight, place, productClass, clientType, identType, sysInfo, payMode,
        payModeDisplay, creditCompany, saleSort, groupMaxSaleMoney, groupMaxSaleMoneyProductSet;
    BatchInsert product, priceShow, saleClass, saleClassLevel, sectionShow, floorShow, rowShow, seatShow,
        ticketFace, ticketFaceElement, ticketFaceSection;
    BatchInsert orderShow, orderClient, orderDiscount, reportShow, accountShow, payModeMoney, ticketShow,
        clientInfo;
    BatchInsert groupActionDeny, member;
};

} // namespace kav::server::seed
