#include "rpc/bytes.h"
#include "rpc/exceptions.h"
#include "rpc/pelioserver.h"
#include "rpc/wirepeer.h"
#include "services/ticketoffice/testticketoffice.h"

#include <asio/io_context.hpp>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace kav;
using pelio::EosRemoteException;
using pelio::TosDataBuffer;
using pelio::Variant;

namespace {

std::atomic<int> servantsMade{0};

// Counts its instances; answers CreateOrderByBatch with the packet it received, byte for byte.
class CountingServant : public TTestTicketOffice {
public:
    CountingServant() { ++servantsMade; }
    Variant CreateOrderByBatch(const std::string& BatchCode, const std::string&, const std::string&,
                               const std::string&, std::int32_t, const Variant& cdsSeatDelta) override {
        if (BatchCode == "fail") throw std::runtime_error("批次不存在");
        return cdsSeatDelta;
    }
};

class NotATicketOffice : public pelio::TPelioServant {};

void UseServant(pelio::TPelioServantClass servantClass) {
    pelio::ORBRegisterServantClass(std::string(kTicketOfficeInterface), std::move(servantClass));
}

class TicketOfficeTest : public ::testing::Test {
protected:
    void SetUp() override {
        pelio::ORBRegisterServantClass<CountingServant>("ITPTicketOffice");
        server.SetPort(0);
        server.SetActive(true);
        client.SetPort(server.ListeningPort());
    }
    pelio::TPelioServer server;
    pelio::TPelioClient client;
    TTPTicketOffice office{&client};
};

std::string Text(const Variant& packet) {
    return std::string(packet.ByteArrayView());
}

std::string RemoteFailure(const std::function<void()>& call) {
    try {
        call();
    } catch (const EosRemoteException& e) {
        return e.what();
    }
    return "no failure";
}

std::string Encoded(const std::function<void(TosDataBuffer&)>& write) {
    TosDataBuffer buffer;
    write(buffer);
    return buffer.Bytes();
}

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

TEST(TicketOfficeWire, ArgumentsInDeclaredOrderAndEncodings) {
    pelio::testing::RecordingServer peer([](pelio::TosSocket&, pelio::TosTransport& transport) {
        transport.OpenBuffer(false);
        TosDataBuffer& buffer = transport.DataBuffer();
        buffer.WriteSmallInt(pelio::OSTP_VERSION_INFO);
        buffer.WriteSmallInt(pelio::OSTP_RPC_RESPONSE);
        pelio::TPelioEnvironment().WriteBuffer(buffer);
        buffer.WriteBoolean(true); // read as the Boolean of ReleaseSeat...
        transport.CloseBuffer();
    });
    pelio::TPelioClient client;
    client.SetPort(peer.Port());
    TTPTicketOffice office(&client);
    EXPECT_TRUE(office.ReleaseSeat("ctx", "A1"));
    // ...and as the start of a variant by the next call, which the reply is too short for.
    EXPECT_THROW(office.CreateOrderAndBooking(true, "c", "P", "S", 5, Variant::ByteArray("")),
                 std::runtime_error);

    const auto bodies = peer.WaitForMessages(3);
    ASSERT_EQ(bodies.size(), 3u);
    EXPECT_TRUE(EndsWith(bodies[1], Encoded([](TosDataBuffer& b) {
                                        b.WriteString("ITPTicketOffice");
                                        b.WriteString("ReleaseSeat");
                                    }) + pelio::testing::HexBytes("03000000 637478 02000000 4131")));
    // The Boolean comes first, the Integer before the packet, and an empty packet is an empty String.
    EXPECT_TRUE(
        EndsWith(bodies[2], Encoded([](TosDataBuffer& b) { b.WriteString("CreateOrderAndBooking"); }) +
                                pelio::testing::HexBytes("01 01000000 63 01000000 50 01000000 53 05000000 "
                                                         "00000000")));
}

TEST_F(TicketOfficeTest, EveryOperationReachesTheServant) {
    const Variant packet = Variant::ByteArray("rows");
    EXPECT_EQ(Text(office.GetProductPrivilege("ctx", "P1")), "GetProductPrivilege|ctx|P1");
    EXPECT_EQ(Text(office.GetSectionSeat("ctx", "P1", "S1")), "GetSectionSeat|ctx|P1|S1");
    EXPECT_TRUE(office.ReleaseSeat("ctx", "O1"));
    EXPECT_EQ(Text(office.GetSeat("ctx", "S1", "P1")), "GetSeat|ctx|S1|P1");
    EXPECT_EQ(Text(office.OutputTicket("ctx", "座1", "T", "Y", "C", "P1")), "OutputTicket|ctx|座1|T|Y|C|P1");
    EXPECT_EQ(Text(office.GetSaleClass("ctx", "P1")), "GetSaleClass|ctx|P1");
    EXPECT_TRUE(office.SaveFreeBookInfo("ctx", "A", "S", "O1", packet));
    EXPECT_EQ(office.SaleAccount("ctx", "param", packet, Variant::ByteArray("ab"), Variant::ByteArray("")),
              6);
    EXPECT_TRUE(office.ISAccountFail("ctx", "O1"));
    EXPECT_EQ(Text(office.GetTicketInfo("ctx", "O1", "座1")), "GetTicketInfo|ctx|O1|座1");
    EXPECT_EQ(Text(office.CreateOrderAndBooking(false, "ctx", "P1", "S1", 3, packet)),
              "CreateOrderAndBooking|false|ctx|P1|S1|3|4");
    EXPECT_TRUE(office.ReleaseBatch("ctx", "B1"));
    EXPECT_EQ(office.BatchAccount("ctx", "params", "B1", packet, packet, packet), 12);
    EXPECT_EQ(Text(office.GetSaleClassByBatch("ctx", "P1", "C1")), "GetSaleClassByBatch|ctx|P1|C1");
    EXPECT_EQ(Text(office.GetSeatByBatch("ctx", "O1")), "GetSeatByBatch|ctx|O1");

    // Packets are bytes, not text: every byte value survives both directions.
    std::string binary;
    for (int i = 0; i < 256 * 4; ++i)
        binary.push_back(static_cast<char>(i));
    EXPECT_EQ(
        Text(office.CreateOrderByBatch("B1", "ctx", "P1", "S1", 1, Variant::ByteArray(std::string(binary)))),
        binary);
    EXPECT_THROW(office.SaveFreeBookInfo("ctx", "A", "S", "O1", Variant::Integer(1)), std::runtime_error)
        << "a packet must be a byte array";
}

TEST_F(TicketOfficeTest, MethodNamesAreExactInterfaceNamesAreNot) {
    pelio::TPelioProxy proxy(&client);
    auto call = [&](const char* interfaceName, const char* method) {
        TosDataBuffer& request = proxy.CreateRequest(interfaceName, method);
        request.WriteString("ctx");
        request.WriteString("S1");
        request.WriteString("P1");
        proxy.SendRequest();
        Variant result = proxy.GetResponse().ReadOleVariant();
        proxy.DestoryResponse();
        return result;
    };
    EXPECT_EQ(RemoteFailure([&] { call("ITPTicketOffice", "getseat"); }),
              "<ITPTicketOffice.getseat> 未被实现!");
    EXPECT_EQ(Text(call("itpticketoffice", "GetSeat")), "GetSeat|ctx|S1|P1");
}

TEST_F(TicketOfficeTest, FreshServantPerCallAndServantFailures) {
    office.ReleaseSeat("ctx", "O1"); // connects; the connection's stub makes its own servant
    const int before = servantsMade;
    office.ReleaseSeat("ctx", "O1");
    office.GetSeat("ctx", "S1", "P1");
    EXPECT_EQ(servantsMade - before, 2);

    EXPECT_EQ(
        RemoteFailure([&] { office.CreateOrderByBatch("fail", "ctx", "P", "S", 1, Variant::ByteArray("")); }),
        "批次不存在");
    EXPECT_TRUE(office.ReleaseSeat("ctx", "O1")) << "the connection survives the servant's failure";
}

TEST_F(TicketOfficeTest, ServantClassProblems) {
    UseServant(nullptr);
    pelio::TPelioClient withoutServant;
    withoutServant.SetPort(server.ListeningPort());
    TTPTicketOffice first(&withoutServant);
    EXPECT_EQ(RemoteFailure([&] { first.ReleaseSeat("ctx", "O1"); }), "<ITPTicketOffice> 没有相应的Servant!");

    pelio::ORBRegisterServantClass<NotATicketOffice>("ITPTicketOffice");
    pelio::TPelioClient wrongServant;
    wrongServant.SetPort(server.ListeningPort());
    TTPTicketOffice second(&wrongServant);
    EXPECT_EQ(RemoteFailure([&] { second.ReleaseSeat("ctx", "O1"); }), "Invalid class typecast");
}

// The server program as a child process whose standard output the test reads line by line.
class ServerProcess {
public:
    // Started with "--port 0" and then `arguments`.
    explicit ServerProcess(std::vector<std::string> arguments = {}) {
        arguments.insert(arguments.begin(), {"ticketoffice-server", "--port", "0"});
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        int out[2];
        if (pipe(out) != 0) throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            execv("./ticketoffice-server", argv.data());
            _exit(127);
        }
        close(out[1]);
        output_ = fdopen(out[0], "r");
    }
    ~ServerProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        fclose(output_);
    }
    std::string ReadLine() {
        char line[256] = {};
        return fgets(line, sizeof line, output_) ? line : "";
    }
    void Signal(int number) { kill(pid_, number); }
    int Wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // The port of the first line of standard output, "ticketoffice-server listening on port N".
    int ListeningPort() {
        const std::string started = ReadLine();
        int port = 0;
        EXPECT_EQ(sscanf(started.c_str(), "ticketoffice-server listening on port %d", &port), 1) << started;
        return port;
    }

private:
    pid_t pid_ = 0;
    FILE* output_ = nullptr;
};

TEST(TicketOfficeServer, ProgramAnswersOnItsPort) {
    ServerProcess process;
    const int port = process.ListeningPort();
    ASSERT_NE(port, 0);

    pelio::TPelioClient client;
    client.SetPort(port);
    TTPTicketOffice office(&client);
    EXPECT_EQ(Text(office.GetSeat("ctx", "S1", "P1")), "GetSeat|ctx|S1|P1");
    EXPECT_EQ(office.SaleAccount("ctx", "", Variant::ByteArray("abc"), Variant::ByteArray(""),
                                 Variant::ByteArray("d")),
              4);

    process.Signal(SIGUSR1);
    EXPECT_EQ(process.ReadLine(), "1 connection(s)\n");
    EXPECT_NE(process.ReadLine().find("last ITPTicketOffice."), std::string::npos);
    process.Signal(SIGTERM);
    EXPECT_EQ(process.Wait(), 0);
}

// With --stall-timeout 1 a request that keeps arriving is answered however long it takes in all,
// and one that stops in the middle is cut after about a second rather than the default minute.
TEST(TicketOfficeServer, StallTimeoutCutsAStallButNotATrickle) {
    ServerProcess process({"--stall-timeout", "1"});
    const int port = process.ListeningPort();
    ASSERT_NE(port, 0);
    const std::string frames = pelio::testing::CapturedFrames(
        [](int capture) {
            pelio::TPelioClient client;
            client.SetPort(capture);
            try {
                TTPTicketOffice(&client).GetSeat("ctx", "S1", "P1");
            } catch (const pelio::EosException&) { // the capture hangs up without answering
            }
        },
        2); // the session's audit notice, then the request

    asio::io_context io;
    pelio::TosSocket trickle(io);
    trickle.Connect("127.0.0.1", port, std::chrono::seconds(5));
    constexpr int kPieces = 6; // 300 ms apart: 1.8 s in all, never a second without a byte
    const std::size_t piece = (frames.size() + kPieces - 1) / kPieces;
    for (std::size_t at = 0; at < frames.size(); at += piece) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        trickle.WriteAll(std::string_view(frames).substr(at, piece));
    }
    char answer[pelio::kFrameHeaderSize];
    trickle.ReadExact(answer, sizeof answer, std::chrono::seconds(5));
    EXPECT_EQ(std::string(answer, 4), "OSTP") << "answered";

    pelio::TosSocket stall(io);
    stall.Connect("127.0.0.1", port, std::chrono::seconds(5));
    stall.WriteAll(std::string_view(frames).substr(0, frames.size() / 2));
    const auto start = std::chrono::steady_clock::now();
    char byte;
    EXPECT_THROW(stall.ReadExact(&byte, 1, std::chrono::seconds(10)), pelio::TosSocketError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << "cut by the server";
}

TEST(TicketOfficeServer, AStallTimeoutOutOfRangeIsRefused) {
    for (const char* seconds : {"0", "86401", "x", ""}) {
        ServerProcess process({"--stall-timeout", seconds});
        EXPECT_EQ(process.Wait(), 2) << seconds;
    }
}
