// The stall limit of kav-server's connections: a request that keeps arriving, however slowly, is
// answered; one that stops arriving in the middle closes its connection and nothing else.

#include "rpc/wirepeer.h"
#include "serverfixture.h"
#include "services/login/tplogin.h"

#include <asio/io_context.hpp>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace kav;
using namespace kav::server;
using kav::server::e2e::ServerFixture;

namespace {

constexpr auto kStallLimit = std::chrono::milliseconds(300);

class StallTest : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        server_->Server().SetActive(false);
        server_->Server().SetTransportLimits({kMaxMessageBytes, kStallLimit});
        server_->Server().SetActive(true);
        client_ = NewClient();
    }

    // The bytes a client sends to log in on a new connection: the session's audit notice, then
    // the request.
    static std::string LoginBytes() {
        return pelio::testing::CapturedFrames(
            [](int port) {
                pelio::TPelioClient client;
                client.SetHost("127.0.0.1");
                client.SetPort(port);
                try {
                    TTPLogin(&client).Login("demo", "demo");
                } catch (const pelio::EosException&) { // the capture hangs up without answering
                }
            },
            2);
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, StallTest, ::testing::ValuesIn(test::TestBackends()),
                         [](const auto& info) { return test::BackendName(info.param); });

TEST_P(StallTest, ATrickleIsAnsweredAStallIsCut) {
    const std::string frame = LoginBytes();
    asio::io_context io;
    pelio::TosSocket trickle(io);
    trickle.Connect("127.0.0.1", server_->Port(), std::chrono::seconds(5));
    // Four times the stall limit in all (the request alone more than the limit), never a fraction
    // of it without a byte.
    const auto gap = kStallLimit * 4 / static_cast<int>(frame.size());
    const auto start = std::chrono::steady_clock::now();
    for (char byte : frame) {
        std::this_thread::sleep_for(gap);
        trickle.WriteAll(std::string_view(&byte, 1));
    }
    EXPECT_GT(std::chrono::steady_clock::now() - start, kStallLimit);
    char answer[pelio::kFrameHeaderSize];
    trickle.ReadExact(answer, sizeof answer);
    EXPECT_EQ(std::string(answer, 4), "OSTP") << "answered";

    pelio::TosSocket stall(io);
    stall.Connect("127.0.0.1", server_->Port(), std::chrono::seconds(5));
    stall.WriteAll(std::string_view(frame).substr(0, frame.size() / 2));
    char byte;
    EXPECT_THROW(stall.ReadExact(&byte, 1), pelio::TosSocketError) << "the server hangs up";
    EXPECT_FALSE(LoginAs("demo", "demo").empty()) << "other connections are served";
}
