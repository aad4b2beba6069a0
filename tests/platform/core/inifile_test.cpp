#include "platform/core/atomicfile.h"
#include "platform/core/connectionsettings.h"
#include "platform/core/inifile.h"
#include "platform/core/textcodec.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace kav;
namespace fs = std::filesystem;

namespace {
struct TempDir {
    fs::path path = fs::temp_directory_path() /
                    ("kavcore-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
};
} // namespace

TEST(IniFile, NamesIgnoreCaseAndValuesParse) {
    auto ini = IniFile::FromText("; comment\n[Download]\nSystemPack = ctcom9 \r\nState=$1F\nBad=12x\n"
                                 "[download]\nSystemPack=second\n");
    EXPECT_EQ(ini.ReadString("DOWNLOAD", "systempack", ""), "ctcom9");
    EXPECT_EQ(ini.ReadInteger("Download", "State", 0), 31);
    EXPECT_EQ(ini.ReadInteger("Download", "Bad", -7), -7);
    EXPECT_EQ(ini.ReadInteger("Download", "Missing", 5), 5);
    EXPECT_TRUE(ini.ReadBool("Download", "State", false));
    EXPECT_EQ(ini.ReadSections().size(), 1u); // a repeated header joins the first section
    EXPECT_EQ(ini.ReadSection("download"), (std::vector<std::string>{"SystemPack", "State", "Bad"}));
    EXPECT_EQ(IniFile::ParseInteger("0x10"), 16);
    EXPECT_EQ(IniFile::ParseInteger("-12"), -12);
    EXPECT_FALSE(IniFile::ParseInteger("$"));
}

TEST(IniFile, EditsKeepCommentsAndOrder) {
    auto ini = IniFile::FromText("top=1\n[A]\n; keep me\nx=1\n\n[B]\ny=2\n");
    ini.WriteString("a", "X", "9");
    ini.WriteString("A", "z", "3");
    ini.WriteString("C", "w", "4");
    ini.DeleteKey("B", "Y");
    EXPECT_EQ(ini.ToText(), "top=1\n[A]\n; keep me\nx=9\nz=3\n\n[B]\n[C]\nw=4\n");
    ini.EraseSection("b");
    EXPECT_FALSE(ini.SectionExists("B"));
}

TEST(IniFile, FilesAreWrittenAtomicallyAndAnsiFilesStillRead) {
    TempDir dir;
    const fs::path file = dir.path / "update.ini";
    {
        IniFile ini(file);
        EXPECT_FALSE(ini.FileExisted());
        ini.WriteString("Distribution", "name", "ctcom1");
        ini.UpdateFile();
    }
    EXPECT_EQ(IniFile(file).ReadString("distribution", "NAME", ""), "ctcom1");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator{}),
              1); // no temporary left

    const fs::path old = dir.path / "old.ini";
    std::ofstream(old, std::ios::binary) << Utf8ToAnsi("[Msg]\nText=请检查网络\n");
    EXPECT_EQ(IniFile(old).ReadString("Msg", "Text", ""), "请检查网络");

    // A target that cannot be replaced leaves the old content and no temporary.
    fs::create_directories(dir.path / "blocked.ini");
    EXPECT_THROW(WriteFileAtomically(dir.path / "blocked.ini", "x"), std::runtime_error);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator{}), 3);
}

TEST(ConnectionSettings, DefaultsRoundTripAndBadPort) {
    TempDir dir;
    const fs::path file = ConnectionSettingsPath(dir.path);
    ConnectionSettings s = ReadConnectionSettings(file);
    EXPECT_EQ(s.host, "127.0.0.1");
    EXPECT_EQ(s.port, 6666);
    s.host = "box1";
    s.port = 7000;
    s.updateServer = "upd:8080";
    s.nodeCode = "01";
    WriteConnectionSettings(file, s);
    ConnectionSettings back = ReadConnectionSettings(file);
    EXPECT_EQ(back.host, "box1");
    EXPECT_EQ(back.port, 7000);
    EXPECT_EQ(back.updateServer, "upd:8080");
    EXPECT_EQ(back.nodeCode, "01");
    std::ofstream(file) << "[server]\nport=70000\n";
    EXPECT_THROW(ReadConnectionSettings(file), ConnectionSettingsError);
}
