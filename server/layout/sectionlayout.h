#pragma once
// The sections of a venue map as the layout windows keep them (name, grid, stage position and custom
// stage), and the save of a delta of them. Rows are those of the session's node and the map.
//
// A save checks the whole delta before it writes: a changed or deleted section must be one of the map's
// and keep its performance; names are not empty; grids are 1..100 rows by 1..150 columns and never cut
// off a seat; the stage position STYLE is 0, 1 or 2; a custom stage ARENAXY is empty or four whole
// numbers joined by "|". A new section needs a code no other section has and a performance of the node
// that uses the map; a section is deleted with its floors and rows, and only while it has no seats.
// Saving the same delta twice leaves the sections as saving it once does. Both run inside the caller's
// transaction.

#include "rpc/variant.h"
#include "server/db/database.h"

#include <cstdint>
#include <string>

namespace kav::server {

// SECTIONCODE, PRODUCTCODE, CNAME, DESCRIPTION, BACKPIC, EXTRASTRING, CELLROWS, CELLCOLUMNS, STYLE,
// ARENAXY, by SECTIONCODE, as a data packet.
std::string ReadSections(Connection& connection, const std::string& node, const std::string& map);

// Checks and applies the delta; answers the number of sections inserted, changed or deleted. Raises
// pelio::EosRemoteException for a refusal.
std::int32_t SaveSections(Connection& connection, const std::string& node, const std::string& map,
                          const pelio::Variant& delta);

} // namespace kav::server
