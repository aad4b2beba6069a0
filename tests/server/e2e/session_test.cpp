// Signing of session contexts and the server's command line, without a server.

#include "rpc/exceptions.h"
#include "server/serveroptions.h"
#include "server/sessionsigner.h"

#include <gtest/gtest.h>

using namespace kav;
using namespace kav::server;

namespace {

TContextText Values() {
    TContextText values;
    values.SetValue("NodeCode", "01");
    values.SetValue("UserCode", "demo");
    values.SetValue("UserName", "演示");
    return values;
}

bool Verifies(const TSessionSigner& signer, const std::string& text) {
    try {
        signer.Verify(text);
        return true;
    } catch (const pelio::EosRemoteException& e) {
        EXPECT_EQ(e.what(), std::string(kInvalidSessionText));
        return false;
    }
}

} // namespace

TEST(SessionSigner, VerifiesWhatItIssuedAndGivesTheValuesBack) {
    const TSessionSigner signer;
    TContextText values = Values();
    values.SetValue("Signature", "forged"); // dropped, never signed as a value
    const std::string text = signer.Issue(values);
    EXPECT_TRUE(text.starts_with("NodeCode=01\nUserCode=demo\nUserName=演示\nSignature="));
    EXPECT_TRUE(text.ends_with("\n"));
    EXPECT_EQ(signer.Verify(text).Entries(), Values().Entries());
    // The final line end is optional, as a text field may drop it.
    EXPECT_TRUE(Verifies(signer, text.substr(0, text.size() - 1)));
}

TEST(SessionSigner, RefusesEveryChangeAndEveryOtherKey) {
    const TSessionSigner signer;
    const std::string text = signer.Issue(Values());
    const std::size_t signature = text.find("Signature=") + 10;
    std::string flipped = text;
    flipped[signature] = flipped[signature] == '0' ? '1' : '0';
    std::string renamed = text;
    renamed.replace(text.find("demo"), 4, "root");

    const std::string refused[] = {
        "",
        "Signature=",
        text.substr(0, signature),                               // signature cut off
        text.substr(0, text.size() - 3) + "\n",                  // signature shortened
        text.substr(0, signature) + std::string(64, 'g') + "\n", // not hexadecimal
        text.substr(0, signature) + std::string(66, '0') + "\n", // too long
        flipped,                                                 // one digit changed
        renamed,                                                 // a value changed
        "NodeCode=02\n" + text,                                  // a line added before
        text + "NodeCode=02\n",                                  // a line added after
        TSessionSigner().Issue(Values()),                        // signed by another server
    };
    for (const std::string& candidate : refused) {
        SCOPED_TRACE(candidate);
        EXPECT_FALSE(Verifies(signer, candidate));
    }
}

TEST(ServerOptions, DefaultsAndEveryOption) {
    const ServerOptions defaults = ParseServerOptions({});
    EXPECT_EQ(defaults.port, 6666);
    EXPECT_EQ(defaults.database, "sqlite:kav.db");
    EXPECT_EQ(defaults.seed, "");
    EXPECT_EQ(defaults.maxConnections, 0);
    EXPECT_EQ(defaults.stallTimeoutSeconds, 60);
    EXPECT_EQ(defaults.sessionKeyFile, "");
    EXPECT_EQ(defaults.httpPort, -1) << "no HTTP unless asked";

    const ServerOptions options = ParseServerOptions(
        {"--port", "0", "--db", "postgresql://kav@localhost/kav", "--seed", "bench:1000000", "--threads", "8",
         "--max-connections", "50", "--max-message-bytes", "4194304", "--stall-timeout", "5",
         "--session-key-file", "/etc/kav/session.key", "--http-port", "0"});
    EXPECT_EQ(options.port, 0);
    EXPECT_EQ(options.database, "postgresql://kav@localhost/kav");
    EXPECT_EQ(options.seed, "bench:1000000");
    EXPECT_EQ(options.threads, 8);
    EXPECT_EQ(options.maxConnections, 50);
    EXPECT_EQ(options.maxMessageBytes, 4194304u);
    EXPECT_EQ(options.stallTimeoutSeconds, 5);
    EXPECT_EQ(options.sessionKeyFile, "/etc/kav/session.key");
    EXPECT_EQ(options.httpPort, 0);
    EXPECT_EQ(ParseServerOptions({"--seed", "demo"}).seed, "demo");
}

TEST(ServerOptions, RefusesWhatItCannotUse) {
    const std::vector<std::vector<std::string>> refused = {
        {"--port"},
        {"--port", "65536"},
        {"--port", "-1"},
        {"--port", "66x"},
        {"--port", ""},
        {"--threads", "0"},
        {"--seed", "bench:"},
        {"--seed", "bench:0"},
        {"--seed", "big"},
        {"--db", ""},
        {"--max-message-bytes", "1000"},
        {"--verbose", "1"},
        {"--max-connections", "-5"},
        {"--stall-timeout", "0"},
        {"--session-key-file", ""},
        {"--http-port", "70000"},
    };
    for (const auto& arguments : refused) {
        SCOPED_TRACE(arguments.front() + " " + (arguments.size() > 1 ? arguments[1] : ""));
        EXPECT_THROW(ParseServerOptions(arguments), ServerOptionsError);
    }
}
