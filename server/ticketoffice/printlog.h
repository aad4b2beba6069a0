#pragma once
// The print log (KAV_PRINT_LOG): one row for every ticket handed out for printing, the first print
// ('O', by OutputTicket) and every reprint ('R', by GetTicketInfo), so that a manager sees each
// print and no ticket is printed twice unnoticed. Written inside the caller's transaction.

#include "server/db/database.h"
#include "server/ticketoffice/caller.h"

#include <cstdint>
#include <string>

namespace kav::server {

inline constexpr char kFirstPrint = 'O';
inline constexpr char kReprint = 'R';

struct PrintedTicket {
    std::string barcode;
    std::string orderCode;
    std::int64_t seatCode = 0;
    std::string productCode;
};

// `now` as "YYYY-MM-DD hh:mm:ss". Raises EDatabase when the database refuses.
void LogPrint(Connection& connection, const Caller& caller, char kind, const PrintedTicket& ticket,
              const std::string& now);

} // namespace kav::server
