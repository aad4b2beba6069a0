#include "rpc/exceptions.h"
#include "rpc/pelioclient.h"
#include "rpc/pelioserver.h"
#include "wirepeer.h"

#include <asio/write.hpp>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

using namespace pelio;
using pelio::testing::Listener;
using pelio::testing::RecordingServer;

namespace {

// Echoes the arguments of a request back as its results; "Fail" raises; "Who" answers with the
// addresses of the stub and servant that served it.
class EchoStub : public TPelioStub {
public:
    void DoInvoke(const std::string& interfaceName, const std::string& methodName) override {
        if (methodName == "Fail") throw std::runtime_error("座位已售出");
        if (methodName == "Who") {
            DestroyRequest();
            TosDataBuffer& response = CreateResponse();
            response.WriteInt64(reinterpret_cast<std::intptr_t>(this));
            response.WriteInt64(reinterpret_cast<std::intptr_t>(GetServant()));
            SendResponse();
            return;
        }
        if (methodName != "Echo") return TPelioStub::DoInvoke(interfaceName, methodName);
        TosDataBuffer& request = GetRequest();
        const std::string arguments = request.Bytes().substr(request.Position());
        DestroyRequest();
        TosDataBuffer& response = CreateResponse();
        response.WriteRawData(arguments.data(), arguments.size());
        SendResponse();
    }
};

class PlainServant : public TPelioServant {};

const bool registered = [] {
    ORBRegisterStubClass<EchoStub>("IEcho");
    ORBRegisterServantClass<PlainServant>("IEcho");
    ORBRegisterStubClass<EchoStub>("INoServant");
    ORBRegisterServantClass<PlainServant>("IOnlyServant"); // no stub: has no effect
    return true;
}();

template <class Predicate> bool WaitUntil(Predicate predicate) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!predicate()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

struct Call {
    TPelioProxy proxy;
    explicit Call(TPelioClient& client) : proxy(&client) {}
    // Calls `method` of `interfaceName` with one String argument and returns the one String back.
    std::string Run(const std::string& interfaceName, const std::string& method,
                    const std::string& argument = "") {
        proxy.CreateRequest(interfaceName, method).WriteString(argument);
        proxy.SendRequest();
        std::string result = proxy.GetResponse().ReadString();
        proxy.DestoryResponse();
        return result;
    }
};

template <class E> std::string FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const E& e) {
        return e.what();
    }
    return "no failure";
}

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.SetPort(0);
        server.SetActive(true);
        client.SetPort(server.ListeningPort());
    }
    TPelioServer server;
    TPelioClient client;
};

} // namespace

TEST(Client, DefaultsAndHostPortRules) {
    TPelioClient client;
    EXPECT_EQ(client.GetHost(), "127.0.0.1");
    EXPECT_EQ(client.GetPort(), 6666);
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(client.Environment().Info.AppCode, 999);
    EXPECT_EQ(client.Environment().Info.State, "O");

    RecordingServer peer;
    client.SetPort(peer.Port());
    client.SetActive(true);
    ASSERT_TRUE(client.Connected());
    client.SetPort(peer.Port());
    client.SetHost("127.0.0.1");
    EXPECT_TRUE(client.Connected()) << "the same host and port keep the connection";
    client.SetHost("localhost");
    EXPECT_FALSE(client.Connected()) << "another host disconnects";
    client.SetActive(true);
    client.SetPort(peer.Port() == 1 ? 2 : 1);
    EXPECT_FALSE(client.Connected()) << "another port disconnects";

    EXPECT_THROW(TPelioProxy(nullptr), EosAssertion);
}

TEST(Client, ConnectFailureIsAConnectionError) {
    int closedPort;
    {
        Listener listener;
        closedPort = listener.Port();
    }
    TPelioClient client;
    client.SetPort(closedPort);
    Call call(client);
    EXPECT_EQ(FailureOf<EosConnectionError>([&] { call.Run("IEcho", "Echo"); }),
              "请检查网络，现在已和服务器断开连接!");
    EXPECT_FALSE(client.GetActive());
}

TEST(Client, AuditNoticeOnlyOnANewConnection) {
    RecordingServer peer;
    TPelioClient client;
    client.SetPort(peer.Port());
    client.Environment().Info.AppField2 = "售票员";
    TPelioProxy proxy(&client);
    for (int call = 0; call < 2; ++call) {
        proxy.CreateRequest("IEcho", "Echo");
        proxy.SendRequest();
        EXPECT_TRUE(proxy.GetResponse().ReadBoolean());
        proxy.DestoryResponse();
    }
    const std::vector<std::string> bodies = peer.WaitForMessages(3);
    ASSERT_EQ(bodies.size(), 3u);
    auto kindOf = [](const std::string& body) {
        TosDataBuffer buffer;
        buffer.WriteRawData(body.data(), body.size());
        buffer.Rewind();
        EXPECT_EQ(buffer.ReadSmallInt(), OSTP_VERSION_INFO);
        return buffer.ReadSmallInt();
    };
    EXPECT_EQ(kindOf(bodies[0]), OSTP_AUDIT_NOTIFY);
    EXPECT_EQ(kindOf(bodies[1]), OSTP_RPC_REQUEST);
    EXPECT_EQ(kindOf(bodies[2]), OSTP_RPC_REQUEST);
    // The notice carries the new 32-digit session and the application's fields.
    TosDataBuffer notice;
    notice.WriteRawData(bodies[0].data() + 4, bodies[0].size() - 4);
    notice.Rewind();
    TPelioEnvironment announced;
    announced.ReadBuffer(notice);
    EXPECT_EQ(announced.Info.SessionID.size(), 32u);
    EXPECT_EQ(announced.Info.AppField2, "售票员");
    EXPECT_EQ(announced.Info.ClientAddress, "127.0.0.1");
}

TEST(Client, BadRepliesFromThePeer) {
    // A reply of another version: refused, the connection stays open.
    RecordingServer wrongVersion([](TosSocket&, TosTransport& transport) {
        transport.OpenBuffer(false);
        transport.DataBuffer().WriteSmallInt(31);
        transport.DataBuffer().WriteSmallInt(OSTP_RPC_RESPONSE);
        transport.CloseBuffer();
    });
    TPelioClient client;
    client.SetPort(wrongVersion.Port());
    Call call(client);
    EXPECT_EQ(FailureOf<EosRemoteException>([&] { call.Run("IEcho", "Echo"); }), "ORB的版本不对, 应为V3.0!");
    EXPECT_TRUE(client.Connected());

    // A reply that is not a frame: refused, the connection closed.
    RecordingServer wrongMagic(
        [](TosSocket& socket, TosTransport&) { socket.WriteAll("HTTP/1.0 400\r\n\r\n"); });
    client.SetPort(wrongMagic.Port());
    EXPECT_EQ(FailureOf<EosException>([&] { call.Run("IEcho", "Echo"); }), "无效的消息格式, 数据可能被篡改!");
    EXPECT_FALSE(client.Connected());
}

TEST_F(ServerTest, EveryBufferTypeTravelsToTheServerAndBack) {
    TPelioProxy proxy(&client);
    TosDataBuffer& request = proxy.CreateRequest("IEcho", "Echo");
    SafeArray grid = SafeArray::Create(varCurrency, 2, 1);
    grid.Bounds.push_back({2, 0});
    grid.RawData.assign(32, '\x11');
    SafeArray mixed;
    mixed.ElementType = varVariant;
    mixed.ElementSize = 16;
    mixed.Bounds = {{2, 0}};
    mixed.Variants = {Variant::String("散座"), Variant::ByteArray("packet")};
    const TGUID guid{0x9A779C68, 0x0259, 0x4BD8, {1, 2, 3, 4, 5, 6, 7, 8}};
    const std::vector<Variant> variants = {Variant(),
                                           Variant::Null(),
                                           Variant::SmallInt(-1),
                                           Variant::Integer(7),
                                           Variant::Single(0.5f),
                                           Variant::Double(2.25),
                                           Variant::Currency(12345),
                                           Variant::Date(45000.25),
                                           Variant::OleStr("宽"),
                                           Variant::Boolean(true),
                                           Variant::ShortInt(-8),
                                           Variant::Byte(8),
                                           Variant::Word(9),
                                           Variant::LongWord(10),
                                           Variant::Int64(-11),
                                           Variant::String("窄"),
                                           Variant::Array(grid),
                                           Variant::Array(mixed)};
    std::istringstream stream(std::string(40000, 's'));
    request.WriteBoolean(true);
    request.WriteByteBool(2);
    request.WriteByte(3);
    request.WriteShortInt(-4);
    request.WriteSmallInt(-5);
    request.WriteWord(6);
    request.WriteWordBool(0xFFFF);
    request.WriteInteger(-8);
    request.WriteLongInt(9);
    request.WriteCardinal(10);
    request.WriteLongWord(11);
    request.WriteLongBool(12);
    request.WriteSingle(13.5f);
    request.WriteDouble(14.25);
    request.WriteDateTime(15.5);
    request.WriteCurrency(160000);
    request.WriteComp(17);
    request.WriteInt64(-18);
    request.WriteReal48(19.5L);
    request.WriteExtended(20.125L);
    request.WriteGUID(guid);
    request.WriteRawData("raw!", 4);
    request.WriteString("一楼A区");
    request.WriteWideString("二楼B区");
    request.WritePChar(std::nullopt);
    request.WritePWideChar(std::nullopt);
    request.WriteStream(stream);
    for (const Variant& value : variants)
        request.WriteVariant(value);
    request.WriteOleVariant(Variant::String("变成宽"));
    proxy.SendRequest();

    TosDataBuffer& r = proxy.GetResponse();
    EXPECT_TRUE(r.ReadBoolean());
    EXPECT_EQ(r.ReadByteBool(), 2);
    EXPECT_EQ(r.ReadByte(), 3);
    EXPECT_EQ(r.ReadShortInt(), -4);
    EXPECT_EQ(r.ReadSmallInt(), -5);
    EXPECT_EQ(r.ReadWord(), 6);
    EXPECT_EQ(r.ReadWordBool(), 0xFFFF);
    EXPECT_EQ(r.ReadInteger(), -8);
    EXPECT_EQ(r.ReadLongInt(), 9);
    EXPECT_EQ(r.ReadCardinal(), 10u);
    EXPECT_EQ(r.ReadLongWord(), 11u);
    EXPECT_EQ(r.ReadLongBool(), 12u);
    EXPECT_EQ(r.ReadSingle(), 13.5f);
    EXPECT_EQ(r.ReadDouble(), 14.25);
    EXPECT_EQ(r.ReadDateTime(), 15.5);
    EXPECT_EQ(r.ReadCurrency(), 160000);
    EXPECT_EQ(r.ReadComp(), 17);
    EXPECT_EQ(r.ReadInt64(), -18);
    EXPECT_EQ(r.ReadReal48(), 19.5L);
    EXPECT_EQ(r.ReadExtended(), 20.125L);
    EXPECT_EQ(r.ReadGUID(), guid);
    char raw[4];
    r.ReadRawData(raw, 4);
    EXPECT_EQ(std::string(raw, 4), "raw!");
    EXPECT_EQ(r.ReadString(), "一楼A区");
    EXPECT_EQ(r.ReadWideString(), "二楼B区");
    EXPECT_EQ(r.ReadPChar(), std::optional<std::string>(""))
        << "a null ansi pointer travels as the empty text";
    EXPECT_EQ(r.ReadPWideChar(), std::nullopt);
    std::ostringstream back;
    r.ReadStream(back);
    EXPECT_EQ(back.str(), stream.str());
    for (const Variant& value : variants)
        EXPECT_EQ(r.ReadVariant(), value) << "type " << value.Type();
    EXPECT_EQ(r.ReadOleVariant(), Variant::OleStr("变成宽"));
    EXPECT_EQ(r.Remaining(), 0u);
    proxy.DestoryResponse();
}

TEST_F(ServerTest, DispatchErrorsKeepTheConnection) {
    Call call(client);
    const struct {
        const char* interfaceName;
        const char* method;
        const char* message;
    } cases[] = {
        {"INope", "Echo", "<INope> 未注册!"},
        {"IOnlyServant", "Echo", "<IOnlyServant> 未注册!"},
        {"INoServant", "Echo", "<INoServant> 没有相应的Servant!"},
        {"IEcho", "Missing", "<IEcho.Missing> 未被实现!"},
        {"IEcho", "Fail", "座位已售出"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FailureOf<EosRemoteException>([&] { call.Run(c.interfaceName, c.method); }), c.message);
        EXPECT_EQ(call.Run("iecho", "Echo", "next"), "next")
            << "interface names ignore case; still connected";
    }
    // The listing is updated just after each reply has gone out.
    ASSERT_TRUE(WaitUntil([&] { return server.Connections().at(0).RequestCount == 10; }));
    const auto connections = server.Connections();
    ASSERT_EQ(connections.size(), 1u);
    EXPECT_EQ(connections[0].InterfaceName, "iecho");
    EXPECT_EQ(connections[0].MethodName, "Echo");
    EXPECT_EQ(connections[0].State, "O");
    EXPECT_EQ(connections[0].SessionID, client.Environment().Info.SessionID);
    EXPECT_EQ(connections[0].PeerAddress, "127.0.0.1");
    EXPECT_EQ(connections[0].ServerPort, server.ListeningPort());
}

TEST_F(ServerTest, PingAnswersWithoutTouchingTheEnvironment) {
    Call call(client);
    call.Run("IEcho", "Echo");
    ASSERT_TRUE(WaitUntil([&] { return server.Connections().at(0).State == "O"; }));
    const auto before = server.Connections().at(0);
    client.SelfTest();
    client.SelfTest();
    const auto after = server.Connections().at(0);
    EXPECT_EQ(after.RequestCount, before.RequestCount);
    EXPECT_EQ(after.State, before.State);
    EXPECT_EQ(after.StateTime, before.StateTime);
}

TEST_F(ServerTest, AuditNoticeIsRecordedAndNotAnswered) {
    client.SetActive(true);
    ASSERT_TRUE(WaitUntil([&] {
        auto connections = server.Connections();
        return connections.size() == 1 && connections[0].SessionID == client.Environment().Info.SessionID;
    }));
    EXPECT_EQ(server.Connections().at(0).State, "C");
    // Nothing was answered: the next frame the client reads is its ping's answer.
    client.SelfTest();
    EXPECT_EQ(client.Transport().CompressedSize, 0u);
}

TEST_F(ServerTest, ReconnectsWithANewSessionAfterTheServerRestarts) {
    Call call(client);
    EXPECT_EQ(call.Run("IEcho", "Echo", "a"), "a");
    const std::string firstSession = client.Environment().Info.SessionID;
    EXPECT_EQ(firstSession.size(), 32u) << "the first request carries the session its connection announced";
    const int port = server.ListeningPort();
    server.SetPort(port); // another value than 0: stops the server
    EXPECT_FALSE(server.GetActive());
    server.SetActive(true);
    EXPECT_EQ(FailureOf<EosException>([&] { call.Run("IEcho", "Echo", "b"); }),
              "请检查网络，现在已和服务器断开连接!");
    EXPECT_EQ(call.Run("IEcho", "Echo", "c"), "c");
    EXPECT_NE(client.Environment().Info.SessionID, firstSession);
}

TEST_F(ServerTest, EveryConnectionHasItsOwnStubAndServant) {
    TPelioClient other;
    other.SetPort(server.ListeningPort());
    auto who = [](TPelioClient& c) {
        TPelioProxy proxy(&c);
        proxy.CreateRequest("IEcho", "Who");
        proxy.SendRequest();
        TosDataBuffer& response = proxy.GetResponse();
        std::pair<std::int64_t, std::int64_t> ids{response.ReadInt64(), response.ReadInt64()};
        proxy.DestoryResponse();
        return ids;
    };
    const auto first = who(client);
    const auto second = who(other); // both connections are open at once
    EXPECT_NE(first.first, second.first);
    EXPECT_NE(first.second, second.second);
    EXPECT_NE(first.second, 0);
    EXPECT_EQ(who(client), first) << "a connection keeps its stub and servant between calls";
    EXPECT_EQ(server.Connections().size(), 2u);
}

TEST_F(ServerTest, PortRulesAndStartFailure) {
    const int port = server.ListeningPort();
    server.SetPort(0);
    EXPECT_TRUE(server.GetActive()) << "the same port changes nothing";
    server.SetThreadPoolSize(100);
    server.SetMaxConnections(0);
    EXPECT_TRUE(server.GetActive());
    server.SetPort(port);
    EXPECT_FALSE(server.GetActive()) << "another port stops listening until activated again";

    Listener busy;
    TPelioServer second;
    second.SetPort(busy.Port());
    EXPECT_EQ(FailureOf<std::runtime_error>([&] { second.SetActive(true); }),
              "Can not start ORB Server on PORT: " + std::to_string(busy.Port()));
}

TEST_F(ServerTest, MaxConnectionsRefusesAtOnce) {
    server.SetMaxConnections(1);
    server.SetActive(true);
    client.SetPort(server.ListeningPort());
    Call first(client);
    EXPECT_EQ(first.Run("IEcho", "Echo", "in"), "in");

    TPelioClient refused;
    refused.SetPort(server.ListeningPort());
    Call second(refused);
    // Refused while announcing itself or while waiting for the reply, depending on timing.
    EXPECT_EQ(FailureOf<std::exception>([&] { second.Run("IEcho", "Echo", "out"); }),
              "请检查网络，现在已和服务器断开连接!");

    client.SetActive(false);
    ASSERT_TRUE(WaitUntil([&] { return server.Connections().empty(); }));
    EXPECT_EQ(second.Run("IEcho", "Echo", "now"), "now");
}

TEST_F(ServerTest, HostilePeersOnlyLoseTheirOwnConnection) {
    server.SetActive(false);
    server.SetTransportLimits({1 << 16, std::chrono::milliseconds(300)});
    server.SetActive(true);
    client.SetPort(server.ListeningPort());
    Call call(client);
    EXPECT_EQ(call.Run("IEcho", "Echo", "before"), "before");

    auto header = [](std::uint32_t compressed, std::uint32_t size) {
        std::string bytes = "OSTP";
        for (std::uint32_t value : {0u, compressed, size})
            bytes.append(reinterpret_cast<const char*>(&value), 4);
        return bytes;
    };
    const std::string attacks[] = {
        "garbage that is no frame at all",
        "OST",                            // stalls inside the header
        header(100, 1000) + "0123456789", // stalls inside the body
        header(1u << 30, 1u << 30),       // over the size limit
        header(4, 1000) + "junk",         // not a zlib stream
    };
    for (const std::string& attack : attacks) {
        asio::io_context io;
        TosSocket raw(io);
        raw.Connect("127.0.0.1", server.ListeningPort(), std::chrono::seconds(5));
        raw.WriteAll(attack);
        char byte;
        EXPECT_THROW(raw.ReadExact(&byte, 1), TosSocketError) << "the server closes: " << attack;
    }
    asio::io_context io;
    for (bool reset : {false, true}) { // leaves mid-header, by close and by reset
        asio::ip::tcp::socket raw(io);
        raw.connect(
            {asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(server.ListeningPort())});
        asio::write(raw, asio::buffer("OSTP\0\0", 6));
        if (reset) raw.set_option(asio::socket_base::linger(true, 0));
        raw.close();
    }
    EXPECT_EQ(call.Run("IEcho", "Echo", "after"), "after");
    EXPECT_TRUE(WaitUntil([&] { return server.Connections().size() == 1; }));
}

TEST(Registry, FirstStubStaysAndCopiesHaveNoObjects) {
    TPelioMetaList list;
    list.RegisterStubClass("IEcho", [] { return std::unique_ptr<TPelioStub>(new EchoStub); });
    list.RegisterStubClass("IECHO", [] { return std::unique_ptr<TPelioStub>(new TPelioStub); });
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_NE(dynamic_cast<EchoStub*>(list.GetStubObject("iecho")), nullptr);
    EXPECT_EQ(list.GetStubObject("iecho"), list.GetStubObject("IEcho")) << "created once";
    EXPECT_EQ(list.GetStubObject("IEcho")->GetServant(), nullptr);
    list.RegisterServantClass("IEcho", [] { return std::unique_ptr<TPelioServant>(new PlainServant); });

    TPelioMetaList copy;
    copy.CopyFrom(list);
    TPelioStub* copied = copy.GetStubObject("IEcho");
    EXPECT_NE(copied, list.GetStubObject("IEcho"));
    EXPECT_NE(copied->GetServant(), nullptr) << "the copy carries the servant class";
    EXPECT_EQ(copy.GetStubObject("IOther"), nullptr);
}

TEST_F(ServerTest, PoolThreadsAreReusedAndStopJoinsThem) {
    server.SetThreadPoolSize(1);
    server.SetActive(true);
    for (int round = 0; round < 3; ++round) {
        TPelioClient passing;
        passing.SetPort(server.ListeningPort());
        EXPECT_EQ(Call(passing).Run("IEcho", "Echo", "x"), "x");
        passing.SetActive(false);
        ASSERT_TRUE(WaitUntil([&] { return server.Connections().empty(); }));
    }
    EXPECT_EQ(server.ThreadCount(), 1u) << "one connection after another run on one thread";

    TPelioClient a, b;
    a.SetPort(server.ListeningPort());
    b.SetPort(server.ListeningPort());
    Call(a).Run("IEcho", "Echo");
    Call(b).Run("IEcho", "Echo");
    EXPECT_EQ(server.ThreadCount(), 2u);
    b.SetActive(false);
    ASSERT_TRUE(WaitUntil([&] { return server.Connections().size() == 1; }));
    EXPECT_EQ(server.ThreadCount(), 2u) << "the pool keeps an idle thread";

    server.SetActive(false);
    EXPECT_EQ(server.ThreadCount(), 0u);
    EXPECT_TRUE(server.Connections().empty());
    EXPECT_EQ(FailureOf<EosException>([&] { Call(a).Run("IEcho", "Echo"); }),
              "请检查网络，现在已和服务器断开连接!")
        << "stopping closed the live connection";
}

TEST_F(ServerTest, MessagesOfAnotherVersionOrKindAreDroppedWithoutReply) {
    asio::io_context io;
    TosSocket socket(io);
    socket.Connect("127.0.0.1", server.ListeningPort(), std::chrono::seconds(5));
    TosTransport transport;
    transport.SetConnection(&socket);
    for (auto [version, kind] : {std::pair<std::int16_t, std::int16_t>{31, OSTP_RPC_REQUEST}, {30, 5}}) {
        transport.OpenBuffer(false);
        transport.DataBuffer().WriteSmallInt(version);
        transport.DataBuffer().WriteSmallInt(kind);
        transport.CloseBuffer();
    }
    // The next frame that comes back is the answer to this ping: nothing answered the two above.
    transport.OpenBuffer(false);
    transport.CloseBuffer();
    transport.OpenBuffer(true);
    EXPECT_EQ(transport.DataBuffer().GetSize(), 0u);
    EXPECT_EQ(transport.CompressedSize, 0u);
}
