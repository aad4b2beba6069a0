#pragma once
// A data packet argument of a ticket office call (the client's dataset), read row by row by field
// name (letter case ignored). An empty byte array is a packet without rows. A packet whose rows
// carry a SELECTED field holds only its rows whose SELECTED is true or "Y" (a seat map's
// selection).
//
// Everything the client sent is untrusted: a malformed packet, or a field value that is not what
// its reader asks for, raises pelio::EosRemoteException naming the argument and the field.

#include "platform/dataset/clientdataset.h"
#include "rpc/variant.h"

#include <optional>
#include <string>
#include <string_view>

namespace kav::server {

class RequestPacket final {
public:
    RequestPacket(const pelio::Variant& packet, std::string argumentName);

    int RowCount() const { return static_cast<int>(rows_.size()); }
    // Moves to row `row` (0-based, < RowCount()).
    void Select(int row);

    bool HasField(std::string_view field);
    // The current row's value as text; empty when the field is absent or null.
    std::string Text(std::string_view field);
    // The current row's value as a number; none when the field is absent or null.
    std::optional<double> Number(std::string_view field);

private:
    [[noreturn]] void Refuse(std::string_view field, std::string_view why) const;

    std::string argument_;
    TClientDataSet dataset_;
    std::vector<TBookmark> rows_;
};

} // namespace kav::server
