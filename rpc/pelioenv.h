#pragma once
// TPelioEnvironment: who is calling and what a connection is doing. The first eight fields travel
// with every request, response and audit notice as the environment block: seven Strings
// (SessionID, AppField2-5, ClientAddress, AppField7) then one Integer (AppCode). The other fields
// are kept by a server connection for its own listing and never travel.
//
// Threading: none; the owning client or server connection thread uses it.

#include "platform/core/datetime.h"

#include <cstdint>
#include <string>

namespace pelio {

class TosDataBuffer;

struct TosEnvironmentInfo {
    std::string SessionID;
    std::string AppField2;
    std::string AppField3;
    std::string AppField4;
    std::string AppField5;
    std::string ClientAddress;
    std::string AppField7;
    std::int32_t AppCode = 999;
    std::string ServerAddress;
    std::string PeerAddress;
    std::int32_t ServerPort = 0;
    std::int32_t RequestCount = 0;
    std::string InterfaceName;
    std::string MethodName;
    std::string State = "O";
    kav::TDateTime StateTime = 0;
};

class TPelioEnvironment final {
public:
    TosEnvironmentInfo Info;

    // Empties every field but StateTime; AppCode 999, State "O".
    void Reset();
    // A new SessionID: a random GUID as 32 upper-case hexadecimal digits.
    void CreateSession();
    void WriteBuffer(TosDataBuffer& buffer) const;
    // Replaces the eight travelling fields; raises what the buffer raises on a short block.
    void ReadBuffer(TosDataBuffer& buffer);
    // Sets State when `state` is not empty, and StateTime to now in every case.
    void RecordInfo(const std::string& state);
};

} // namespace pelio
