#include "server/db/packetstream.h"

#include <cstring>
#include <stdexcept>

namespace kav::server::detail {

PacketStream::PacketStream(std::vector<ResultColumn> columns, std::size_t maxBytes)
    : columns_(std::move(columns)), names_(FieldNamesOf(columns_)), maxBytes_(maxBytes), size_(maxBytes) {
    for (const auto& column : columns_)
        tallies_.emplace_back(column.kind);
    Start();
}

void PacketStream::Start() {
    written_.clear();
    fields_.clear();
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        const auto kind = tallies_[c].Kind(); // widened by the values read so far
        tallies_[c] = ColumnTally(kind);
        written_.push_back(kind == ColumnKind::Unknown ? ColumnKind::Largeint : kind);
        fields_.push_back(ColumnTally(written_.back()).Field(names_[c], columns_[c].size));
    }
    builder_.emplace(fields_);
    size_ = PacketSizeGuard(maxBytes_);
    next_ = 0;
}

void PacketStream::BeginRow() {
    builder_->BeginRow();
    size_.AddRow(fields_.size());
    next_ = 0;
}

bool PacketStream::Add(const CellValue& value) {
    auto& tally = tallies_[next_];
    tally.Add(value);
    if (tally.Kind() != ColumnKind::Unknown && tally.Kind() != written_[next_]) {
        Start();
        return false;
    }
    size_.Add(AddValue(*builder_, fields_[next_], value));
    ++next_;
    return true;
}

std::string PacketStream::Packet() const {
    std::vector<TFieldDef> settled;
    for (std::size_t c = 0; c < columns_.size(); ++c)
        settled.push_back(tallies_[c].Field(names_[c], columns_[c].size));
    std::string packet = builder_->Packet();
    // Each packet below is a header and a row count of 0. Sizes and types are fixed-width fields
    // of the header, so the settled header takes exactly the place of the one written.
    const std::string header = TDataPacketBuilder(settled).Packet();
    if (header.size() != TDataPacketBuilder(fields_).Packet().size())
        throw std::logic_error("The settled fields change the length of the packet's header");
    std::memcpy(packet.data(), header.data(), header.size() - 4);
    return packet;
}

} // namespace kav::server::detail
