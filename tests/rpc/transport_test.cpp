#include "bytes.h"
#include "rpc/exceptions.h"
#include "rpc/pelioenv.h"
#include "wirepeer.h"
#include "zlibpeer.h"

#include <cstring>
#include <gtest/gtest.h>
#include <thread>

using namespace pelio;
using pelio::testing::HexBytes;
using pelio::testing::SocketPair;

namespace {

std::string Header(std::uint32_t compressed, std::uint32_t uncompressed, const char* magic = "OSTP") {
    std::string header(magic, 4);
    for (std::uint32_t value : {0u, compressed, uncompressed})
        for (int i = 0; i < 4; ++i)
            header.push_back(static_cast<char>(value >> (8 * i)));
    return header;
}

// The message `receiver` raises on receiving what `peer` wrote.
std::string ReceiveFailure(SocketPair& pair, TosTransport& receiver) {
    receiver.SetConnection(pair.server.get());
    try {
        receiver.OpenBuffer(true);
    } catch (const std::exception& e) {
        EXPECT_FALSE(pair.server->Connected()) << "a refused frame closes the connection";
        return e.what();
    }
    return "received";
}

} // namespace

TEST(Transport, EmptyAndLargeMessagesTravelIntact) {
    SocketPair pair;
    TosTransport sender, receiver;
    sender.SetConnection(&pair.client);
    receiver.SetConnection(pair.server.get());

    sender.OpenBuffer(false);
    sender.CloseBuffer();
    char raw[16];
    pair.server->ReadExact(raw, 16);
    EXPECT_EQ(std::string(raw, 16), Header(0, 0)) << "an empty buffer is a bare header";

    std::string large(100000, '\0');
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7 % 251);
    for (int round = 0; round < 3; ++round) { // the kept zlib streams are reset per message
        sender.OpenBuffer(false);
        sender.DataBuffer().WriteRawData(large.data(), large.size());
        sender.CloseBuffer();
        EXPECT_EQ(sender.DataBuffer().GetSize(), 0u);
        receiver.OpenBuffer(true);
        EXPECT_EQ(receiver.DataBuffer().Bytes(), large);
        EXPECT_EQ(receiver.DataBuffer().Position(), 0u);
        receiver.CloseBuffer();
        EXPECT_EQ(receiver.DataBuffer().GetSize(), 0u);
    }

    // A frame without body but with an uncompressed size still yields an empty buffer.
    pair.client.WriteAll(Header(0, 42));
    receiver.OpenBuffer(true);
    EXPECT_EQ(receiver.DataBuffer().GetSize(), 0u);
}

TEST(Transport, BodiesOfEverySizeArePlainZlibStreams) {
    // Small and larger messages take different compressors (limit 512 bytes); a peer
    // inflates all of them with zlib alone, and the next message after each still travels intact.
    SocketPair pair;
    TosTransport sender, receiver;
    sender.SetConnection(&pair.client);
    receiver.SetConnection(pair.server.get());
    const std::size_t fixedCodeLimit = TosFixedDeflater::kMaxInput;
    for (std::size_t size : {std::size_t{1}, fixedCodeLimit, fixedCodeLimit + 1, std::size_t{16384},
                             std::size_t{16385}, std::size_t{70000}}) {
        std::string data(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            data[i] = static_cast<char>("OSTP seat 12 row 7 "[i % 19] + (i / 4096) % 3);
        sender.OpenBuffer(false);
        sender.DataBuffer().WriteRawData(data.data(), data.size());
        sender.CloseBuffer();
        char header[16];
        pair.server->ReadExact(header, sizeof header);
        std::uint32_t compressed = 0, uncompressed = 0;
        std::memcpy(&compressed, header + 8, 4);
        std::memcpy(&uncompressed, header + 12, 4);
        ASSERT_EQ(uncompressed, size);
        std::string body(compressed, '\0');
        pair.server->ReadExact(body.data(), body.size());
        EXPECT_EQ(body.substr(0, 2), "\x78\x01") << size << " bytes: zlib header of the fastest level";
        EXPECT_EQ(pelio::test::ZlibInflate(body, size), data) << size << " bytes";

        sender.OpenBuffer(false);
        sender.DataBuffer().WriteRawData(data.data(), data.size());
        sender.CloseBuffer();
        receiver.OpenBuffer(true);
        EXPECT_EQ(receiver.DataBuffer().Bytes(), data) << size << " bytes through the transport";
        receiver.CloseBuffer();
    }
}

TEST(Transport, FramesOfZlibsOwnCompressionAreRead) {
    std::string data(70000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>("seat 12 row 7 "[i % 14] + i / 5000);
    for (int level : {1, 6, 9}) {
        SocketPair pair;
        TosTransport receiver;
        receiver.SetConnection(pair.server.get());
        const std::string body = pelio::test::ZlibCompress(data, level);
        pair.client.WriteAll(Header(body.size(), data.size()) + body);
        receiver.OpenBuffer(true);
        EXPECT_EQ(receiver.DataBuffer().Bytes(), data) << "level " << level;
    }
}

TEST(Transport, ExceptionMessageBody) {
    SocketPair pair;
    TosTransport sender, receiver;
    sender.SetConnection(&pair.client);
    receiver.SetConnection(pair.server.get());
    sender.SendRemoteException("abc");
    receiver.OpenBuffer(true);
    EXPECT_EQ(receiver.DataBuffer().Bytes(), HexBytes("1E00 FFFF 03000000 616263"));
}

TEST(Transport, RefusedFrames) {
    const std::string body = pelio::test::ZlibCompress("0123456789", 1);
    const std::string bomb = pelio::test::ZlibCompress(std::string(1 << 20, '\0'), 1);
    struct Case {
        const char* name;
        std::string bytes;
        const char* message; // null: any message
    } cases[] = {
        {"wrong magic", "HTTP/1.1 200 OK\r\n\r\n", "无效的消息格式, 数据可能被篡改!"},
        {"compressed size over the limit", Header(5000, 10), nullptr},
        {"uncompressed size over the limit", Header(10, 5000), nullptr},
        {"inflates to more than announced", Header(body.size(), 9) + body, nullptr},
        {"inflates to less than announced", Header(body.size(), 11) + body, nullptr},
        {"a bomb announced as small", Header(bomb.size(), 100) + bomb, nullptr},
        {"corrupt body", Header(4, 10) + "junk", nullptr},
        {"body cut short by the peer", Header(body.size(), 10) + body.substr(0, 3),
         "请检查网络，现在已和服务器断开连接!"},
    };
    for (Case& c : cases) {
        SocketPair pair;
        TosTransport receiver;
        receiver.SetLimits({4096, std::chrono::seconds(10)});
        pair.client.WriteAll(c.bytes);
        if (std::string(c.name) == "body cut short by the peer") pair.client.Disconnect();
        const std::string failure = ReceiveFailure(pair, receiver);
        EXPECT_NE(failure, "received") << c.name;
        if (c.message) {
            EXPECT_EQ(failure, c.message) << c.name;
        }
    }
}

TEST(Transport, OversizedFrameIsRefusedWithoutWaitingForItsBody) {
    SocketPair pair;
    TosTransport receiver;
    receiver.SetLimits({1 << 20, std::chrono::hours(1)});
    pair.client.WriteAll(Header(0xFFFFFFF0u, 0xFFFFFFF0u)); // and nothing else, the connection stays open
    try {
        receiver.SetConnection(pair.server.get());
        receiver.OpenBuffer(true);
        FAIL() << "accepted";
    } catch (const EosException& e) {
        // The seller reads it: Chinese, with the sizes.
        EXPECT_EQ(std::string(e.what()), "收到的数据过大: 压缩后 4294967280 字节, 原长 4294967280 字节, "
                                         "超过消息上限 1048576 字节, 请缩小查询范围");
    }
}

TEST(Transport, OversizedMessageIsNotSentAndSaysSoInChinese) {
    SocketPair pair;
    TosTransport sender;
    sender.SetLimits({1000, std::chrono::seconds(10)});
    sender.SetConnection(&pair.client);
    sender.OpenBuffer(false);
    const std::string payload(1001, 'x');
    sender.DataBuffer().WriteRawData(payload.data(), payload.size());
    try {
        sender.CloseBuffer();
        FAIL() << "sent";
    } catch (const EosException& e) {
        EXPECT_EQ(std::string(e.what()),
                  "发送的数据过大: 1001 字节, 超过消息上限 1000 字节, 请减少一次提交的数据");
    }
}

TEST(Transport, StalledFrameTimesOutButIdleTimeAndATrickleDoNot) {
    SocketPair pair;
    TosTransport receiver;
    receiver.SetLimits({1 << 20, std::chrono::milliseconds(300)});
    receiver.SetConnection(pair.server.get());

    // Idle for longer than the stall limit before a frame starts: fine.
    std::thread late([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        pair.client.WriteAll(Header(0, 0));
    });
    receiver.OpenBuffer(true);
    late.join();
    EXPECT_TRUE(pair.server->Connected());

    // A frame that keeps arriving, a byte at a time, is read whole however long it takes in all.
    TosTransport sender;
    sender.SetConnection(&pair.client);
    sender.OpenBuffer(false);
    sender.DataBuffer().WriteString(std::string(64, 'x'));
    std::string frame;
    {
        SocketPair capture;
        sender.SetConnection(&capture.client);
        sender.CloseBuffer();
        frame.resize(kFrameHeaderSize);
        capture.server->ReadExact(frame.data(), frame.size());
        std::uint32_t compressed = 0;
        std::memcpy(&compressed, frame.data() + 8, 4);
        frame.resize(kFrameHeaderSize + compressed);
        capture.server->ReadExact(frame.data() + kFrameHeaderSize, compressed);
    }
    std::thread trickle([&] {
        for (char byte : frame) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1200) / frame.size());
            pair.client.WriteAll(std::string_view(&byte, 1));
        }
    });
    const auto trickleStart = std::chrono::steady_clock::now();
    receiver.OpenBuffer(true);
    trickle.join();
    EXPECT_GT(std::chrono::steady_clock::now() - trickleStart, std::chrono::milliseconds(600))
        << "longer in all than the stall limit";
    EXPECT_EQ(receiver.DataBuffer().ReadString(), std::string(64, 'x'));
    receiver.CloseBuffer();

    // A frame that starts and stops: refused once the limit has passed, the connection closed.
    pair.client.WriteAll("OST");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReceiveFailure(pair, receiver), "请检查网络，现在已和服务器断开连接!");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(Transport, SendWithoutConnectionIsAProgrammingError) {
    TosTransport transport;
    transport.OpenBuffer(false);
    try {
        transport.CloseBuffer();
        FAIL();
    } catch (const EosAssertion& e) {
        EXPECT_NE(std::string(e.what()).find("PelioCore"), std::string::npos);
    }
}

TEST(Environment, BlockSessionAndState) {
    TPelioEnvironment environment;
    environment.Info.State = "X";
    environment.Info.StateTime = 123;
    environment.Reset();
    EXPECT_EQ(environment.Info.State, "O");
    EXPECT_EQ(environment.Info.StateTime, 123) << "Reset keeps the time of the last state change";
    TosDataBuffer buffer;
    environment.WriteBuffer(buffer);
    EXPECT_EQ(buffer.Bytes(), std::string(28, '\0') + HexBytes("E7030000"));

    environment.CreateSession();
    const std::string first = environment.Info.SessionID;
    environment.CreateSession();
    EXPECT_NE(environment.Info.SessionID, first);
    EXPECT_EQ(first.size(), 32u);
    EXPECT_EQ(first.find_first_not_of("0123456789ABCDEF"), std::string::npos);

    environment.Info.AppField3 = "场次";
    environment.Info.AppCode = 7;
    buffer.Reset();
    environment.WriteBuffer(buffer);
    buffer.Rewind();
    TPelioEnvironment copy;
    copy.ReadBuffer(buffer);
    EXPECT_EQ(copy.Info.SessionID, environment.Info.SessionID);
    EXPECT_EQ(copy.Info.AppField3, "场次");
    EXPECT_EQ(copy.Info.AppCode, 7);

    copy.RecordInfo("");
    EXPECT_EQ(copy.Info.State, "O");
    EXPECT_GT(copy.Info.StateTime, 40000);
    copy.RecordInfo("E");
    EXPECT_EQ(copy.Info.State, "E");
}

TEST(Helpers, Crc32AndTicks) {
    EXPECT_EQ(CalculateCRC32("123456789"), 0xCBF43926u);
    EXPECT_EQ(CalculateCRC32(""), 0u);
    EXPECT_GT(GetTickCount(), 0u);
    std::uint32_t other = 0;
    std::thread([&] { other = CurrentThreadID(); }).join();
    EXPECT_NE(other, CurrentThreadID());
}
