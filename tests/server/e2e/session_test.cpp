// Signing of session contexts and the server's command line, without a server.

#include "rpc/exceptions.h"
#include "server/serveroptions.h"
#include "server/sessionkeyfile.h"
#include "server/sessionsigner.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The key file: made once with mode 0600, then read back by every server that is given it.
TEST(SessionKeyFile, IsCreatedOnceAndSharedAndRefusedWhenUnsafeOrDamaged) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kav-key-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "session.key";

    const TSessionSigner::Key key = LoadOrCreateSessionKey(file);
    struct stat status {};
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(std::filesystem::file_size(file), 65u);
    EXPECT_EQ(LoadOrCreateSessionKey(file), key);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "no temporary left";
    // A context issued by one server verifies on another with the same file.
    const TSessionSigner first(key), second(LoadOrCreateSessionKey(file));
    EXPECT_TRUE(Verifies(second, first.Issue(Values())));

    const auto refused = [&](const std::string& content, unsigned mode, const std::string& why) {
        { std::ofstream(file, std::ios::trunc) << content; }
        std::filesystem::permissions(file, static_cast<std::filesystem::perms>(mode));
        try {
            LoadOrCreateSessionKey(file);
            ADD_FAILURE() << "accepted: " << why;
        } catch (const ESessionKeyFile& e) {
            EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
        }
    };
    refused(std::string(64, 'a') + "\n", 0644, "others may read it");
    refused(std::string(63, 'a') + "\n", 0600, "64 hexadecimal digits");
    refused(std::string(64, 'g') + "\n", 0600, "64 hexadecimal digits");
    refused("", 0600, "64 hexadecimal digits");
    std::filesystem::remove_all(folder);
}

TEST(ServerOptions, DefaultsAndEveryOption) {
    const ServerOptions defaults = ParseServerOptions({});
    EXPECT_EQ(defaults.port, 6666);
    EXPECT_EQ(defaults.database, "sqlite:kav.db");
    EXPECT_EQ(defaults.seed, "");
    EXPECT_EQ(defaults.maxConnections, 0);
    EXPECT_EQ(defaults.stallTimeoutSeconds, 60);
    EXPECT_EQ(defaults.httpPort, -1) << "no HTTP unless asked";
    EXPECT_EQ(defaults.pipe.url, "");
    EXPECT_EQ(defaults.pipe.rowSecurity, std::nullopt);
    EXPECT_EQ(defaults.login.failures, 5);
    EXPECT_EQ(defaults.login.windowSeconds, 900);
    EXPECT_EQ(defaults.login.lockSeconds, 30);

    const ServerOptions options = ParseServerOptions(
        {"--port", "0", "--db", "postgresql://kav@localhost/kav", "--seed", "bench:1000000", "--threads", "8",
         "--max-connections", "50", "--max-message-bytes", "4194304", "--session-key-file", "/var/lib/kav/key",
         "--stall-timeout", "5", "--http-port", "0"});
    EXPECT_EQ(options.port, 0);
    EXPECT_EQ(options.database, "postgresql://kav@localhost/kav");
    EXPECT_EQ(options.seed, "bench:1000000");
    EXPECT_EQ(options.threads, 8);
    EXPECT_EQ(options.maxConnections, 50);
    EXPECT_EQ(options.maxMessageBytes, 4194304u);
    EXPECT_EQ(options.sessionKeyFile, "/var/lib/kav/key");
    EXPECT_EQ(options.stallTimeoutSeconds, 5);
    EXPECT_EQ(options.httpPort, 0);
    EXPECT_EQ(ParseServerOptions({"--seed", "demo"}).seed, "demo");

    const ServerOptions guarded =
        ParseServerOptions({"--db", "host=db dbname=kav", "--pipe-db", "host=db dbname=kav user=pipe",
                            "--pipe-row-security", "on", "--login-failures", "0", "--login-window", "60",
                            "--login-lock", "5", "--login-lock-max", "5"});
    EXPECT_EQ(guarded.pipe.url, "host=db dbname=kav user=pipe");
    EXPECT_EQ(guarded.pipe.rowSecurity, true);
    EXPECT_EQ(guarded.login.failures, 0);
    EXPECT_EQ(guarded.login.windowSeconds, 60);
    EXPECT_EQ(guarded.login.lockSeconds, 5);
    EXPECT_EQ(guarded.login.maxLockSeconds, 5);
    EXPECT_EQ(
        ParseServerOptions({"--db", "postgresql:///kav", "--pipe-row-security", "off"}).pipe.rowSecurity,
        false);
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
        {"--session-key-file", ""},
        {"--max-message-bytes", "1000"},
        {"--verbose", "1"},
        {"--max-connections", "-5"},
        {"--stall-timeout", "0"},
        {"--http-port", "70000"},
        {"--pipe-row-security", "yes"},
        {"--pipe-row-security", "on"}, // the default database is SQLite
        {"--pipe-db", "host=db"},
        {"--db", "postgresql:///kav", "--pipe-db", ""},
        {"--login-failures", "-1"},
        {"--login-window", "0"},
        {"--login-lock", "60", "--login-lock-max", "30"},
    };
    for (const auto& arguments : refused) {
        SCOPED_TRACE(arguments.front() + " " + (arguments.size() > 1 ? arguments[1] : ""));
        EXPECT_THROW(ParseServerOptions(arguments), ServerOptionsError);
    }
}
