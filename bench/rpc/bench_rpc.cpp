// Remote call throughput and latency of pelio beside gRPC and a raw TCP ping-pong of frames of
// the same sizes, a 10 MB data packet beside zlib alone, and the buffer's encoding of a request.
//   build/bin/bench_rpc --benchmark_counters_tabular=true

#include "rpc/pelioserver.h"
#include "services/ticketoffice/testticketoffice.h"
#include "ticketoffice_bench.grpc.pb.h"

#include <algorithm>
#include <asio/ip/tcp.hpp>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <grpcpp/grpcpp.h>
#include <random>
#include <thread>
#include <zlib.h>

namespace {

using Clock = std::chrono::steady_clock;

// A session context text of the size the client shell sends.
const std::string kContext =
    "NODECODE=0101\nUSERCODE=U0042\nUSERNAME=售票员甲\nGROUPCODE=G01\nGROUPTYPE=1\n"
    "OWNERCODE=OWN01\nSITENAME=大剧院售票处\nSIGNATURE=6b1f0e7c9a2d4e58b3c1f9a07d6e2b45";
const std::string kOrderCode = "20261207000123";

// Per-call latencies of a single-threaded run, reported as p50 and p99 in microseconds.
class Latencies {
public:
    explicit Latencies(const benchmark::State& state) : enabled_(state.threads() == 1) {
        if (enabled_) samples_.reserve(1 << 20);
    }
    template <class Call> void Measure(Call call) {
        if (!enabled_) {
            call();
            return;
        }
        const auto start = Clock::now();
        call();
        samples_.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    void Report(benchmark::State& state) {
        if (!enabled_ || samples_.empty()) return;
        std::sort(samples_.begin(), samples_.end());
        state.counters["p50_us"] = samples_[samples_.size() / 2];
        state.counters["p99_us"] = samples_[samples_.size() * 99 / 100];
    }

private:
    bool enabled_;
    std::vector<double> samples_;
};

class BenchServant : public kav::TTestTicketOffice {
public:
    // Returns the packet it was given, for moving large packets both ways.
    kav::Variant CreateOrderByBatch(const std::string&, const std::string&, const std::string&,
                                    const std::string&, std::int32_t,
                                    const kav::Variant& cdsSeatDelta) override {
        return cdsSeatDelta;
    }
};

int PelioPort() {
    static pelio::TPelioServer* server = [] {
        pelio::ORBRegisterServantClass<BenchServant>(std::string(kav::kTicketOfficeInterface));
        auto* s = new pelio::TPelioServer; // lives until the process ends
        s->SetPort(0);
        s->SetActive(true);
        return s;
    }();
    return server->ListeningPort();
}

// Sizes of the ReleaseSeat request and response bodies, for the raw TCP floor.
std::pair<std::size_t, std::size_t> ReleaseSeatSizes() {
    pelio::TosDataBuffer request;
    pelio::TPelioEnvironment environment;
    environment.Reset();
    environment.CreateSession();
    environment.Info.ClientAddress = "127.0.0.1";
    request.WriteSmallInt(pelio::OSTP_VERSION_INFO);
    request.WriteSmallInt(pelio::OSTP_RPC_REQUEST);
    environment.WriteBuffer(request);
    request.WriteString(kav::kTicketOfficeInterface);
    request.WriteString("ReleaseSeat");
    request.WriteString(kContext);
    request.WriteString(kOrderCode);
    pelio::TosDataBuffer response;
    response.WriteSmallInt(pelio::OSTP_VERSION_INFO);
    response.WriteSmallInt(pelio::OSTP_RPC_RESPONSE);
    environment.WriteBuffer(response);
    response.WriteBoolean(true);
    return {request.GetSize() + pelio::kFrameHeaderSize, response.GetSize() + pelio::kFrameHeaderSize};
}

void BM_Pelio_ReleaseSeat(benchmark::State& state) {
    pelio::TPelioClient client;
    client.SetPort(PelioPort());
    kav::TTPTicketOffice office(&client);
    office.ReleaseSeat(kContext, kOrderCode); // connect and announce outside the measurement
    Latencies latencies(state);
    for (auto _ : state)
        latencies.Measure([&] { benchmark::DoNotOptimize(office.ReleaseSeat(kContext, kOrderCode)); });
    state.SetItemsProcessed(state.iterations());
    latencies.Report(state);
}
BENCHMARK(BM_Pelio_ReleaseSeat)->Threads(1)->Threads(8)->UseRealTime();

class GrpcTicketOffice final : public kavbench::TicketOffice::Service {
    grpc::Status ReleaseSeat(grpc::ServerContext*, const kavbench::ReleaseSeatRequest*,
                             kavbench::ReleaseSeatReply* reply) override {
        reply->set_result(true);
        return grpc::Status::OK;
    }
};

int GrpcPort() {
    static int port = [] {
        int chosen = 0;
        auto* service = new GrpcTicketOffice;
        grpc::ServerBuilder builder;
        builder.AddListeningPort("127.0.0.1:0", grpc::InsecureServerCredentials(), &chosen);
        builder.RegisterService(service);
        builder.BuildAndStart().release(); // lives until the process ends
        return chosen;
    }();
    return port;
}

void BM_Grpc_ReleaseSeat(benchmark::State& state) {
    grpc::ChannelArguments arguments;
    arguments.SetInt(GRPC_ARG_USE_LOCAL_SUBCHANNEL_POOL, 1); // one connection per client thread
    auto channel = grpc::CreateCustomChannel("127.0.0.1:" + std::to_string(GrpcPort()),
                                             grpc::InsecureChannelCredentials(), arguments);
    auto stub = kavbench::TicketOffice::NewStub(channel);
    kavbench::ReleaseSeatRequest request;
    request.set_context(kContext);
    request.set_order_code(kOrderCode);
    auto call = [&] {
        grpc::ClientContext context;
        kavbench::ReleaseSeatReply reply;
        if (!stub->ReleaseSeat(&context, request, &reply).ok()) state.SkipWithError("gRPC call failed");
        benchmark::DoNotOptimize(reply.result());
    };
    call();
    Latencies latencies(state);
    for (auto _ : state)
        latencies.Measure(call);
    state.SetItemsProcessed(state.iterations());
    latencies.Report(state);
}
BENCHMARK(BM_Grpc_ReleaseSeat)->Threads(1)->Threads(8)->UseRealTime();

// The floor: the same frame sizes over TCP, no compression, no marshalling.
int RawPort() {
    static int port = [] {
        auto* io = new asio::io_context;
        auto* acceptor =
            new asio::ip::tcp::acceptor(*io, asio::ip::tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
        std::thread([io, acceptor] {
            const auto [requestSize, responseSize] = ReleaseSeatSizes();
            for (;;) {
                asio::ip::tcp::socket accepted(*io);
                acceptor->accept(accepted);
                std::thread([socket = std::make_shared<pelio::TosSocket>(std::move(accepted)), requestSize,
                             responseSize] {
                    std::string request(requestSize, '\0');
                    const std::string response(responseSize, 'r');
                    try {
                        for (;;) {
                            socket->ReadExact(request.data(), request.size());
                            socket->WriteAll(response);
                        }
                    } catch (const std::exception&) {
                    }
                }).detach();
            }
        }).detach();
        return static_cast<int>(acceptor->local_endpoint().port());
    }();
    return port;
}

void BM_RawTcp_PingPong(benchmark::State& state) {
    const auto [requestSize, responseSize] = ReleaseSeatSizes();
    asio::io_context io;
    pelio::TosSocket socket(io);
    socket.Connect("127.0.0.1", RawPort(), std::chrono::seconds(5));
    const std::string request(requestSize, 'q');
    std::string response(responseSize, '\0');
    Latencies latencies(state);
    for (auto _ : state)
        latencies.Measure([&] {
            socket.WriteAll(request);
            socket.ReadExact(response.data(), response.size());
        });
    state.SetItemsProcessed(state.iterations());
    state.counters["request_bytes"] = static_cast<double>(requestSize);
    state.counters["response_bytes"] = static_cast<double>(responseSize);
    latencies.Report(state);
}
BENCHMARK(BM_RawTcp_PingPong)->Threads(1)->Threads(8)->UseRealTime();

// Ten megabytes shaped like a data packet: rows of codes, numbers and names.
const std::string& TenMegabytePacket() {
    static const std::string packet = [] {
        std::mt19937 engine(42);
        auto random = [&engine] { return static_cast<unsigned>(engine()); };
        std::string bytes;
        bytes.reserve(10 << 20);
        char row[128];
        while (bytes.size() < (10u << 20)) {
            const int n = std::snprintf(row, sizeof row, "ORD%010u|P%05u|S%03u|R%02uC%03u|%u.%02u|%c|%08x\n",
                                        random() % 100000000u, random() % 1000u, random() % 40u,
                                        random() % 60u, random() % 120u, random() % 2000u, random() % 100u,
                                        "FBAOGC"[random() % 6], random());
            bytes.append(row, static_cast<std::size_t>(n));
        }
        bytes.resize(10u << 20);
        return bytes;
    }();
    return packet;
}

void BM_Pelio_10MB_PacketRoundTrip(benchmark::State& state) {
    pelio::TPelioClient client;
    client.SetPort(PelioPort());
    kav::TTPTicketOffice office(&client);
    const kav::Variant packet = kav::Variant::ByteArray(std::string(TenMegabytePacket()));
    for (auto _ : state) {
        kav::Variant back = office.CreateOrderByBatch("B", kContext, "P", "S", 1, packet);
        if (back.ByteArrayView().size() != packet.ByteArrayView().size())
            state.SkipWithError("packet changed size");
    }
    // The packet crosses the connection twice per call.
    state.SetBytesProcessed(state.iterations() * 2 * static_cast<std::int64_t>(TenMegabytePacket().size()));
}
BENCHMARK(BM_Pelio_10MB_PacketRoundTrip)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Zlib_10MB_CompressInflate(benchmark::State& state) {
    const std::string& data = TenMegabytePacket();
    std::string compressed(compressBound(data.size()), '\0');
    std::string inflated(data.size(), '\0');
    for (auto _ : state) {
        uLongf compressedSize = compressed.size();
        compress2(reinterpret_cast<Bytef*>(compressed.data()), &compressedSize,
                  reinterpret_cast<const Bytef*>(data.data()), data.size(), 1);
        uLongf inflatedSize = inflated.size();
        uncompress(reinterpret_cast<Bytef*>(inflated.data()), &inflatedSize,
                   reinterpret_cast<const Bytef*>(compressed.data()), compressedSize);
        benchmark::DoNotOptimize(inflated.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.size()));
}
BENCHMARK(BM_Zlib_10MB_CompressInflate)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Buffer_ReleaseSeatRequest(benchmark::State& state) {
    pelio::TosDataBuffer buffer;
    pelio::TPelioEnvironment environment;
    environment.CreateSession();
    for (auto _ : state) {
        buffer.Reset();
        buffer.WriteSmallInt(pelio::OSTP_VERSION_INFO);
        buffer.WriteSmallInt(pelio::OSTP_RPC_REQUEST);
        environment.WriteBuffer(buffer);
        buffer.WriteString(kav::kTicketOfficeInterface);
        buffer.WriteString("ReleaseSeat");
        buffer.WriteString(kContext);
        buffer.WriteString(kOrderCode);
        buffer.Rewind();
        buffer.ReadSmallInt();
        buffer.ReadSmallInt();
        environment.ReadBuffer(buffer);
        benchmark::DoNotOptimize(buffer.ReadString());
        benchmark::DoNotOptimize(buffer.ReadString());
        benchmark::DoNotOptimize(buffer.ReadString());
        benchmark::DoNotOptimize(buffer.ReadString());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Buffer_ReleaseSeatRequest);

} // namespace

BENCHMARK_MAIN();
