#include "server/ticketoffice/requestpacket.h"

#include "rpc/exceptions.h"

namespace kav::server {

RequestPacket::RequestPacket(const pelio::Variant& packet, std::string argumentName)
    : argument_(std::move(argumentName)) {
    if (!packet.IsByteArray()) Refuse({}, "不是数据包");
    if (packet.ByteArrayView().empty()) return;
    try {
        dataset_.SetData(packet.ByteArrayView());
        TField* selected = dataset_.FindField("SELECTED");
        for (dataset_.First(); !dataset_.Eof(); dataset_.Next())
            if (!selected || (!selected->IsNull() && selected->AsBoolean()))
                rows_.push_back(dataset_.GetBookmark());
    } catch (const EDatabaseError& e) {
        Refuse({}, e.what());
    }
}

void RequestPacket::Select(int row) {
    dataset_.GotoBookmark(rows_.at(static_cast<std::size_t>(row)));
}

bool RequestPacket::HasField(std::string_view field) {
    return dataset_.Active() && dataset_.FindField(field) != nullptr;
}

std::string RequestPacket::Text(std::string_view field) {
    TField* f = dataset_.Active() ? dataset_.FindField(field) : nullptr;
    if (!f || f->IsNull()) return {};
    try {
        return f->AsString();
    } catch (const EDatabaseError& e) {
        Refuse(field, e.what());
    }
}

std::optional<double> RequestPacket::Number(std::string_view field) {
    TField* f = dataset_.Active() ? dataset_.FindField(field) : nullptr;
    if (!f || f->IsNull()) return std::nullopt;
    try {
        return f->AsFloat();
    } catch (const EDatabaseError& e) {
        Refuse(field, e.what());
    }
}

void RequestPacket::Refuse(std::string_view field, std::string_view why) const {
    std::string where = argument_;
    if (!field.empty()) where += "." + std::string(field);
    throw pelio::EosRemoteException("数据包 " + where + " 无效: " + std::string(why));
}

} // namespace kav::server
