// The order handler's detail searches on a large bench database, end to end: the order provider's
// search through the data pipe proxy to a kav-server hosted in this process on a loopback port,
// with the price lines nested (GetMasterDetailData) and the answer bound into order records. Each
// search is measured whole and in its parts, so that one run shows where the time goes:
//   <Search>/Server     the server's own work: query, price lines and data packet
//                       (Connection::GetMasterDetailData in this thread)
//   <Search>/Pipe       the pipe call as the client makes it: the server's work plus session check,
//                       compression, loopback transfer and inflation (transfer = Pipe - Server)
//   <Search>/Bind       the answer loaded into a dataset and bound into order records
//   <Search>/EndToEnd   TodrHOrderInfoDataProvider::SearchOrderHandlerInfoEx, all of the above
// Searches: by telephone (the customer of an order from the middle of the table) and by that
// order's product within 30 days of its create time.
//
// The database is the shared bench database (bench/server/benchdatabase.h: KAV_BENCH_DB,
// KAV_BENCH_ORDERS).
//   build/bin/bench_orderhandler_search --benchmark_counters_tabular=true
#include "benchdatabase.h"
#include "host/kavcontext.h"
#include "orderhandler/odrhbinding.h"
#include "orderhandler/odrhdataprovider.h"
#include "orderhandler/odrhorderprovider.h"
#include "orderhandler/odrhsql.h"
#include "rpc/pelioclient.h"
#include "rpc/pelioserver.h"
#include "server/serverservices.h"
#include "services/dbpipe/tpdbpipe.h"

#include <benchmark/benchmark.h>
#include <iostream>
#include <optional>

namespace {

using namespace kav;
using namespace kav::orderhandler;
using kav::server::Database;

TProductItem SelectedProduct(const std::string& code) {
    TProductItem product;
    product.productCode = code;
    return product;
}

// A condition without filters for a user who sees every group's orders.
TOrderHandlerSearchCondition EveryGroup() {
    TOrderHandlerSearchCondition condition;
    condition.groupType = std::string(kGroupTypeAll);
    condition.groupScope = 1;
    return condition;
}

// The bench database behind a kav-server on a loopback port, and a client logged in to it with
// the order providers over the pipe proxy.
struct SearchServer {
    std::unique_ptr<Database> database;
    std::unique_ptr<server::Connection> connection; // this thread's, for the server's part alone
    server::TSessionSigner sessions;
    std::optional<server::ServerServices> services;
    pelio::TPelioServer server;
    pelio::TPelioClient client;
    std::optional<TTPDBPipe> pipe;
    TKavContext context;
    std::optional<TodrHDataProvider> lookups;
    std::optional<TodrHOrderInfoDataProvider> orders;
    TOrderHandlerSearchCondition byTelephone;
    TOrderHandlerSearchCondition byProductAndTime;

    SearchServer() {
        database = bench::OpenBenchDatabase();
        connection = database->Connect();

        services.emplace(server::ServerServices{*database, sessions, 256u << 20});
        server::RegisterServices(*services);
        server.SetPort(0);
        server.SetActive(true);
        client.SetHost("127.0.0.1");
        client.SetPort(server.ListeningPort());
        pipe.emplace(&client);
        TContextText values;
        values.SetValue(context_names::NodeCode, "01");
        values.SetValue(context_names::UserCode, "demo");
        context.SetAsString(sessions.Issue(values));
        lookups.emplace(*pipe, context);
        TOrderOutsideLookups outside;
        outside.canViewOrders = [](int) { return true; };
        outside.customerTypeName = [](const std::string& type) {
            return type == "1" ? "会员" : "普通购票者";
        };
        orders.emplace(*pipe, context, *lookups, outside);

        // An order from the middle of the table: its customer's telephone, its product and time.
        const auto total =
            std::get<std::int64_t>(connection->Select("select count(*) from KAV_ORDER_SHOW")[0][0]);
        const auto order = connection->Select(
            "select o.PRODUCTCODE, o.CREATETIME, c.TEL from KAV_ORDER_SHOW o join KAV_ORDER_CLIENT_SHOW c "
            "on c.NODECODE = o.NODECODE and c.ORDERCODE = o.ORDERCODE where o.SEATCOUNT > 0 "
            "order by o.ORDERCODE limit 1 offset ?1",
            {total / 2})[0];
        const auto product = std::get<std::string>(order[0]);
        const TDateTime created = ParseDateTimeIso(std::get<std::string>(order[1]));
        const auto telephone = std::get<std::string>(order[2]);
        std::cerr << total << " orders; searching telephone " << telephone << ", product " << product
                  << " from " << FormatDateTimeIso(created - 15) << " to " << FormatDateTimeIso(created + 15)
                  << "\n";

        byTelephone = EveryGroup();
        byProductAndTime = EveryGroup();
        byTelephone.ignoreTelephone = false;
        byTelephone.telephone = telephone;
        byProductAndTime.ignoreProductCodes = false;
        byProductAndTime.productCodes = MakeSelectedProducts({SelectedProduct(product)})[0];
        byProductAndTime.ignoreCreateTime = false;
        byProductAndTime.createTimeFrom = created - 15;
        byProductAndTime.createTimeTo = created + 15;
    }
    ~SearchServer() { server.SetActive(false); }

    // The answer as the pipe delivers it.
    std::string Fetch(const TOrderHandlerSearchCondition& condition) {
        return std::string(
            pipe->GetMasterDetailData(context.GetAsString(), GetOrderInfoSQL(context.NodeCode(), condition),
                                      std::string(kOrderDiscountDataSet), GetOrderDiscountInfoSQL())
                .ByteArrayView());
    }

    // What the order provider binds with, over the same look-up provider.
    TOrderBindingLookups BindingLookups() {
        TOrderBindingLookups binding;
        binding.customerTypeName = [](const std::string& type) {
            return type == "1" ? "会员" : "普通购票者";
        };
        binding.certificateId = [this](const std::string& type) { return lookups->GetCertificateID(type); };
        binding.isPrintNote = [this](const std::string& payMode) {
            return lookups->NeedPrintNote("03", payMode);
        };
        binding.canViewOrders = [](int) { return true; };
        binding.now = Now();
        return binding;
    }
};

SearchServer& Server() {
    static SearchServer server;
    return server;
}

enum class Part { Server, Pipe, Bind, EndToEnd };

void Search(benchmark::State& state, TOrderHandlerSearchCondition SearchServer::*search, Part part) {
    SearchServer& s = Server();
    const TOrderHandlerSearchCondition& condition = s.*search;
    const std::string master = GetOrderInfoSQL(s.context.NodeCode(), condition);
    const std::string packet = s.Fetch(condition);
    const TOrderBindingLookups lookups = s.BindingLookups();
    int orders = 0;
    for (auto _ : state) {
        switch (part) {
        case Part::Server:
            benchmark::DoNotOptimize(s.connection->GetMasterDetailData(
                master, std::string(kOrderDiscountDataSet), GetOrderDiscountInfoSQL()));
            break;
        case Part::Pipe:
            benchmark::DoNotOptimize(s.Fetch(condition));
            break;
        case Part::Bind: {
            TClientDataSet answer;
            answer.SetData(packet);
            orders = FillOrderInfoList(answer, lookups).Count();
            break;
        }
        case Part::EndToEnd:
            orders = s.orders->SearchOrderHandlerInfoEx(condition)->Count();
            break;
        }
    }
    if (part == Part::Bind || part == Part::EndToEnd) state.counters["orders"] = orders;
    state.counters["packet_bytes"] = static_cast<double>(packet.size());
}

void ByTelephone(benchmark::State& state, Part part) {
    Search(state, &SearchServer::byTelephone, part);
}
void ByProductAndCreateTime(benchmark::State& state, Part part) {
    Search(state, &SearchServer::byProductAndTime, part);
}

BENCHMARK_CAPTURE(ByTelephone, Server, Part::Server)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ByTelephone, Pipe, Part::Pipe)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ByTelephone, Bind, Part::Bind)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ByTelephone, EndToEnd, Part::EndToEnd)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ByProductAndCreateTime, Server, Part::Server)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ByProductAndCreateTime, Pipe, Part::Pipe)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ByProductAndCreateTime, Bind, Part::Bind)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ByProductAndCreateTime, EndToEnd, Part::EndToEnd)->Unit(benchmark::kMillisecond);

} // namespace
