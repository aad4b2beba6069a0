#pragma once
// Encoding and decoding of data packets (docs/data-packet.md). Internal to the dataset.

#include "platform/dataset/packetbytes.h"
#include "platform/dataset/table.h"

#include <memory>
#include <string>
#include <string_view>

namespace kav::detail {

enum class PacketContent { All, Delta };

// Magic, version, flags and the data field definitions (calculated fields left out).
void WritePacketHeader(PacketWriter& w, const std::vector<TFieldDef>& fields, PacketContent content);

// Writes the data fields of `table` (calculated fields are never stored) and its rows:
// every live row and logged deletion (All), or only changed rows (Delta).
std::string EncodePacket(const Table& table, PacketContent content);

// Reads a packet into a new table; `calculated` field definitions are appended after the
// packet's fields (their values start null). Raises EDatabaseError for any malformed input.
std::shared_ptr<Table> DecodePacket(std::string_view packet, const std::vector<TFieldDef>& calculated);

} // namespace kav::detail
