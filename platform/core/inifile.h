#pragma once
// INI files ("update.ini", "SEATMAP.CFG", "CONFIGURE.CONF", the dialogs' don't-show-again memory).
//
// Section and key names are matched without regard to ASCII letter case, as the system's files were
// always read. Values are kept as written (surrounding blanks trimmed). Files are read as UTF-8; a
// file that is not valid UTF-8 is taken to be in the ansi code page (GB18030) so that files written
// by older installations still read correctly. Files are written as UTF-8, atomically.
//
// Thread safety: an IniFile is a plain value; share it between threads only behind a lock.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kav {

class IniFile {
public:
    IniFile() = default;
    // Reads the file when it exists; a missing file gives an empty IniFile bound to that path.
    // An unreadable existing file raises std::runtime_error naming the path.
    explicit IniFile(std::filesystem::path path);

    static IniFile FromText(std::string_view text);

    const std::filesystem::path& Path() const { return path_; }
    bool FileExisted() const { return existed_; }

    std::optional<std::string> TryReadString(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    // Decimal, or hexadecimal with a leading "$" or "0x"; the default when absent or not a number.
    long long ReadInteger(std::string_view section, std::string_view key, long long def) const;
    // "0" is false, any other integer true; the default when absent or not a number.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    double ReadFloat(std::string_view section, std::string_view key, double def) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, long long value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::vector<std::string> ReadSections() const;
    std::vector<std::string> ReadSection(std::string_view section) const; // key names in file order
    void EraseSection(std::string_view section);
    void DeleteKey(std::string_view section, std::string_view key);

    std::string ToText() const;
    // Writes the whole file to Path() atomically (temporary file, then rename).
    void UpdateFile() const;

    // Parses an integer the way ReadInteger does; nullopt when the text is not one.
    static std::optional<long long> ParseInteger(std::string_view text);

private:
    struct Entry {
        std::string key;   // empty for a comment or blank line kept as written
        std::string value; // the value, or the whole raw line for a comment
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    void Parse(std::string_view text);
    const Section* FindSection(std::string_view name) const;
    Section* FindSection(std::string_view name);

    std::filesystem::path path_;
    bool existed_ = false;
    std::vector<Entry> preamble_; // lines before the first section
    std::vector<Section> sections_;
};

} // namespace kav
