#include "orderhandler/odrhasyncseats.h"

#include "orderhandler/odrhdataprovider.h"
#include "orderhandler/odrhorderprovider.h"
#include "rpc/pelioclient.h"
#include "services/dbpipe/tpdbpipe.h"

#include <stdexcept>

namespace kav::orderhandler {

TAsyncGetSeatInfo::TAsyncGetSeatInfo(std::string host, int port) : host_(std::move(host)), port_(port) {}

TAsyncGetSeatInfo::~TAsyncGetSeatInfo() {
    if (worker_.joinable()) worker_.join();
}

void TAsyncGetSeatInfo::GetSeatInfo(const TKavContext& context, std::string nodeCode, std::string orderCode,
                                    TGetSeatInfoEvent handler) {
    if (worker_.joinable()) throw std::logic_error("the background seat fetch serves one request");
    worker_ = std::thread([host = host_, port = port_, contextText = context.GetAsString(),
                           nodeCode = std::move(nodeCode), orderCode = std::move(orderCode),
                           handler = std::move(handler)] {
        std::unique_ptr<TodrHSeatInfoList> seats;
        std::exception_ptr error;
        try {
            pelio::TPelioClient client;
            client.SetHost(host);
            client.SetPort(port);
            client.SetActive(true);
            TTPDBPipe pipe(&client);
            TKavContext ownContext;
            ownContext.SetAsString(contextText);
            TodrHDataProvider lookups(pipe, ownContext);
            TodrHOrderInfoDataProvider provider(pipe, ownContext, lookups);
            seats = provider.SearchOrderHandlerSeatInfo(nodeCode, orderCode);
        } catch (...) {
            // An exception must not leave the thread; it goes to the handler instead.
            error = std::current_exception();
        }
        if (handler) handler(seats, error);
    });
}

} // namespace kav::orderhandler
