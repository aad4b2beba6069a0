// Pack numbering, URLs and the update state kept in "update.ini".

#include "platform/core/inifile.h"
#include "updater/packnames.h"
#include "updater/processes.h"
#include "updater/updatestate.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace kav {
namespace {

struct FetchCase {
    const char* name;
    const char* state;
    std::string_view prefix;
    const char* file; // nullptr: the name cannot be numbered
};

TEST(PackNames, FileToFetchFollowsTheState) {
    const FetchCase cases[] = {
        {"ctcom1", "0", kSystemPackPrefix, "ctcom1.zip"},  // not applied yet: the same pack again
        {"ctcom9", "1", kSystemPackPrefix, "ctcom10.zip"}, // applied: the next number, across a digit
        {"pack12", "1", kUserPackPrefix, "pack13.zip"},    //
        {"ctcom3", "2", kSystemPackPrefix, "ctcom3"},      // any other state: the name as it is
        {"pack4", "", kUserPackPrefix, "pack4"},           //
        {"cXXXX7", "1", kSystemPackPrefix, "ctcom8.zip"},  // the prefix is counted, not compared
        {"ctcom", "1", kSystemPackPrefix, nullptr},        // no number at all
        {"ctcom1a", "1", kSystemPackPrefix, nullptr},      // trailing garbage
        {"pack-3", "1", kUserPackPrefix, nullptr},         // signs are no part of a pack number
        {"pack99999999999999999999", "1", kUserPackPrefix, nullptr}, // out of range
    };
    for (const FetchCase& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " state '" + c.state + "'");
        if (c.file)
            EXPECT_EQ(PackFileToFetch(c.name, c.state, c.prefix), c.file);
        else
            EXPECT_THROW(PackFileToFetch(c.name, c.state, c.prefix), PackNameError);
    }
}

TEST(PackNames, NamesAndUrls) {
    EXPECT_EQ(PackNameOfFile("ctcom10.zip"), "ctcom10");
    EXPECT_EQ(PackNameOfFile("ctcom3"), "ctcom3");
    EXPECT_EQ(PackUrl("http://h:8080/01", "pack1.zip"), "http://h:8080/01/pack1.zip");
    EXPECT_EQ(PackUrl("http://h/01/", "pack1.zip"), "http://h/01/pack1.zip");
}

class UpdateIni : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("kavupdate-ini-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                   "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path File() const { return folder_ / kUpdateIniFileName; }
    void Write(const std::string& text) const { std::ofstream(File()) << text; }
    IniFile Reread() const { return IniFile(File()); }

    std::filesystem::path folder_;
};

TEST_F(UpdateIni, DistributionMovesToTheDownloadKeysOfItsKind) {
    struct Case {
        const char* distribution;
        const char* systemPack;
        const char* systemState;
        const char* userPack;
        const char* userState;
    };
    const Case cases[] = {
        {"name=ctcom4\nstate=1", "ctcom4", "1", "pack2", "0"}, // "c": a system pack
        {"name=pack7\nstate=1", "ctcom2", "0", "pack7", "1"},  // "p": a user pack
        {"NAME=pack7", "ctcom2", "0", "pack7", "0"},           // key case ignored, state defaults to "0"
        {"name=Pack7\nstate=1", "ctcom2", "0", "pack2", "0"},  // the first letter is compared exactly
        {"", "ctcom2", "0", "pack2", "0"},                     // nothing handed over yet
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distribution);
        Write(std::string("[Distribution]\n") + c.distribution +
              "\n[download]\nsystempack=ctcom2\nSystemPackState=0\nUserPack=pack2\nUserPackState=0\n");
        IniFile ini(File());
        CopyDistributionToDownload(ini);
        const IniFile saved = Reread();
        EXPECT_EQ(CurrentPack(saved, PackKind::System).name, c.systemPack);
        EXPECT_EQ(CurrentPack(saved, PackKind::System).state, c.systemState);
        EXPECT_EQ(CurrentPack(saved, PackKind::User).name, c.userPack);
        EXPECT_EQ(CurrentPack(saved, PackKind::User).state, c.userState);
    }
}

TEST_F(UpdateIni, HandOverRecordsThePackAndKeepsOtherKeys) {
    Write("; kept\n[Distribution]\ncourse=1\nname=ctcom1\nstate=1\n[Download]\nSystemPack=ctcom1\n"
          "SystemPackState=0\nUserPack=pack5\nUserPackState=0\n[Site]\nx=y\n");
    IniFile ini(File());
    RecordHandOver(ini, PackKind::System, "99", "ctcom2");
    IniFile saved = Reread();
    EXPECT_EQ(saved.ReadString("Distribution", "course", ""), "99");
    EXPECT_EQ(saved.ReadString("Distribution", "name", ""), "ctcom2");
    EXPECT_EQ(saved.ReadString("Distribution", "state", ""), "0");
    EXPECT_EQ(CurrentPack(saved, PackKind::System).name, "ctcom2");
    EXPECT_EQ(CurrentPack(saved, PackKind::System).state, "1");
    EXPECT_EQ(CurrentPack(saved, PackKind::User).name, "pack5");
    EXPECT_EQ(CurrentPack(saved, PackKind::User).state, "0");
    EXPECT_EQ(saved.ReadSection("Download").size(), 4u); // "SystemPackstate" is the same key
    EXPECT_EQ(saved.ReadString("Site", "x", ""), "y");
    EXPECT_NE(saved.ToText().find("; kept"), std::string::npos);

    RecordHandOver(saved, PackKind::User, "100", "pack6");
    saved = Reread();
    EXPECT_EQ(saved.ReadString("Distribution", "name", ""), "pack6");
    EXPECT_EQ(CurrentPack(saved, PackKind::User).name, "pack6");
    EXPECT_EQ(CurrentPack(saved, PackKind::User).state, "1");
    EXPECT_EQ(CurrentPack(saved, PackKind::System).name, "ctcom2");
}

TEST(Processes, NameIsCutToTenCharacters) {
    struct Case {
        const char* file;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"KavClient2", "KavClient2", true},
        {"KavClient2.et", "KavClient2", true},
        {"KavClient20.bin", "KavClient2", true},
        {"KavClient", "KavClient2", false},
        {"kavclient2", "KavClient2", false},
        {"DEV", "DEV", true},
        {"DEV.et", "DEV", false},
        {"DEVX", "DEV", false},
        {"dev", "DEV", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProgramNameMatches(c.file, c.name), c.matches) << c.file << " / " << c.name;
}

} // namespace
} // namespace kav
