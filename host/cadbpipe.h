#pragma once
// Access classes of the remote data pipe (services/dbpipe). Created without arguments they work
// over the shared connection (ORB); given a client they work over that one, which must outlive
// them. They raise what the pipe's proxy raises (EosRemoteException with the server's text, or
// EosException for a lost connection). Threading: that of their client.

#include "services/dbpipe/tpdbpipe.h"

#include <cstdint>
#include <string>

namespace kav {

class TCADBPipe {
public:
    TCADBPipe();
    explicit TCADBPipe(pelio::TPelioClient& client);
    virtual ~TCADBPipe() = default;
    TCADBPipe(const TCADBPipe&) = delete;
    TCADBPipe& operator=(const TCADBPipe&) = delete;

    // The whole result set of one read-only statement as a data packet (a byte-array variant).
    Variant GetData(const std::string& context, const std::string& sql);

protected:
    TTPDBPipe& Pipe() noexcept { return pipe_; }

private:
    TTPDBPipe pipe_;
};

class TCADBPipe2 : public TCADBPipe {
public:
    using TCADBPipe::TCADBPipe;

    // One insert, update or delete; 1 when it ran.
    std::int32_t ExecSQL(const std::string& context, const std::string& sql);
};

} // namespace kav
