// A client dataset's data packets and files.
#include "platform/core/atomicfile.h"
#include "platform/dataset/clientdataset.h"
#include "platform/dataset/datapacket.h"

#include <fstream>
#include <iterator>

namespace kav {

std::string TClientDataSet::Data() const {
    CheckActive();
    return detail::EncodePacket(*table_, detail::PacketContent::All);
}

std::string TClientDataSet::Delta() const {
    CheckActive();
    return detail::EncodePacket(*table_, detail::PacketContent::Delta);
}

void TClientDataSet::SetData(std::string_view packet) {
    std::vector<TFieldDef> calculated;
    for (const auto& def : fieldDefs_)
        if (def.IsCalculated()) calculated.push_back(def);
    auto table = detail::DecodePacket(packet, calculated); // raises before anything changes
    if (Active()) Cancel();
    Attach(std::move(table));
}

void TClientDataSet::SaveToFile(const std::filesystem::path& path) const {
    auto bytes = Data();
    try {
        WriteFileAtomically(path, bytes);
    } catch (const std::runtime_error& e) {
        throw EDatabaseError(e.what());
    }
}

void TClientDataSet::LoadFromFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EDatabaseError("Cannot open file '" + path.string() + "'");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw EDatabaseError("Cannot read file '" + path.string() + "'");
    SetData(bytes);
}

void TClientDataSet::CopyFrom(const TClientDataSet& source) {
    source.CheckActive();
    if (&source == this) return;
    auto table = source.table_->DeepCopy();
    if (Active()) Cancel();
    onCalcFields_ = table->onCalcFields;
    Attach(std::move(table));
}

} // namespace kav
