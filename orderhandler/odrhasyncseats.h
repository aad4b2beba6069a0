#pragma once
// TAsyncGetSeatInfo: fetches the seats of one order on a worker thread over its own connection,
// proxy and provider, so that the shared connection stays free for the GUI thread.
//
// One object serves one request. The result handler runs on the worker thread and owns the list
// it is given; on failure it gets a null list and the exception. The handler must not throw. The destructor
// waits for the worker to finish. Thread safety: GetSeatInfo is called once, from the thread that owns the
// object.

#include "host/kavcontext.h"
#include "orderhandler/odrhrecords.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace kav::orderhandler {

using TGetSeatInfoEvent =
    std::function<void(std::unique_ptr<TodrHSeatInfoList>& seats, std::exception_ptr error)>;

class TAsyncGetSeatInfo final {
public:
    // The server to connect to: the shared connection's host and port.
    TAsyncGetSeatInfo(std::string host, int port);
    ~TAsyncGetSeatInfo();
    TAsyncGetSeatInfo(const TAsyncGetSeatInfo&) = delete;
    TAsyncGetSeatInfo& operator=(const TAsyncGetSeatInfo&) = delete;

    // Starts the fetch with a copy of the context's current text. Raises std::logic_error when a
    // request was made before.
    void GetSeatInfo(const TKavContext& context, std::string nodeCode, std::string orderCode,
                     TGetSeatInfoEvent handler);

private:
    std::string host_;
    int port_;
    std::thread worker_;
};

} // namespace kav::orderhandler
