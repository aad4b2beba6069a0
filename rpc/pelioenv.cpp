#include "rpc/pelioenv.h"

#include "rpc/databuffer.h"

#include <random>

namespace pelio {

void TPelioEnvironment::Reset() {
    const kav::TDateTime stateTime = Info.StateTime;
    Info = TosEnvironmentInfo();
    Info.StateTime = stateTime;
}

void TPelioEnvironment::CreateSession() {
    thread_local std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string id;
    id.reserve(32);
    for (int half = 0; half < 2; ++half) {
        std::uint64_t bits = generator();
        for (int i = 0; i < 16; ++i, bits >>= 4)
            id.push_back(kHex[bits & 0xF]);
    }
    Info.SessionID = std::move(id);
}

void TPelioEnvironment::WriteBuffer(TosDataBuffer& buffer) const {
    buffer.WriteString(Info.SessionID);
    buffer.WriteString(Info.AppField2);
    buffer.WriteString(Info.AppField3);
    buffer.WriteString(Info.AppField4);
    buffer.WriteString(Info.AppField5);
    buffer.WriteString(Info.ClientAddress);
    buffer.WriteString(Info.AppField7);
    buffer.WriteInteger(Info.AppCode);
}

void TPelioEnvironment::ReadBuffer(TosDataBuffer& buffer) {
    TosEnvironmentInfo read = Info;
    read.SessionID = buffer.ReadString();
    read.AppField2 = buffer.ReadString();
    read.AppField3 = buffer.ReadString();
    read.AppField4 = buffer.ReadString();
    read.AppField5 = buffer.ReadString();
    read.ClientAddress = buffer.ReadString();
    read.AppField7 = buffer.ReadString();
    read.AppCode = buffer.ReadInteger();
    Info = std::move(read);
}

void TPelioEnvironment::RecordInfo(const std::string& state) {
    if (!state.empty()) Info.State = state;
    Info.StateTime = kav::Now();
}

} // namespace pelio
