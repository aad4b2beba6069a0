#include "platform/core/inifile.h"

#include "platform/core/atomicfile.h"
#include "platform/core/textcodec.h"

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <stdexcept>

namespace kav {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

} // namespace

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) {
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec)) return;
    std::ifstream in(path_, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path_.string());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::string text = bytes.str();
    if (text.starts_with("\xEF\xBB\xBF"))
        text.erase(0, 3);
    else if (!IsValidUtf8(text))
        text = AnsiToUtf8(text);
    existed_ = true;
    Parse(text);
}

IniFile IniFile::FromText(std::string_view text) {
    IniFile ini;
    ini.Parse(text);
    return ini;
}

void IniFile::Parse(std::string_view text) {
    Section* current = nullptr;
    while (!text.empty()) {
        size_t eol = text.find('\n');
        std::string_view raw = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
        std::string_view line = Trim(raw);
        auto& target = current ? current->entries : preamble_;
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            target.push_back({"", std::string(line)});
        } else if (line.front() == '[' && line.back() == ']') {
            std::string name(Trim(line.substr(1, line.size() - 2)));
            current = FindSection(name);
            if (!current) {
                sections_.push_back({name, {}});
                current = &sections_.back();
            }
        } else {
            size_t eq = line.find('=');
            std::string key(Trim(line.substr(0, eq)));
            std::string value = eq == std::string_view::npos ? "" : std::string(Trim(line.substr(eq + 1)));
            if (key.empty()) {
                target.push_back({"", std::string(line)});
                continue;
            }
            // A key given twice in a section: the first one counts, as readers always found it first.
            bool duplicate = false;
            for (const Entry& e : target)
                duplicate = duplicate || (!e.key.empty() && EqualsIgnoringCase(e.key, key));
            if (!duplicate) target.push_back({std::move(key), std::move(value)});
        }
    }
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    for (const Section& s : sections_)
        if (EqualsIgnoringCase(s.name, name)) return &s;
    return nullptr;
}

IniFile::Section* IniFile::FindSection(std::string_view name) {
    return const_cast<Section*>(static_cast<const IniFile*>(this)->FindSection(name));
}

std::optional<std::string> IniFile::TryReadString(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return std::nullopt;
    for (const Entry& e : s->entries)
        if (!e.key.empty() && EqualsIgnoringCase(e.key, key)) return e.value;
    return std::nullopt;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    auto v = TryReadString(section, key);
    return v ? *v : std::string(def);
}

std::optional<long long> IniFile::ParseInteger(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with("$")) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    unsigned long long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    if (value > static_cast<unsigned long long>(std::numeric_limits<long long>::max())) return std::nullopt;
    long long v = static_cast<long long>(value);
    return negative ? -v : v;
}

long long IniFile::ReadInteger(std::string_view section, std::string_view key, long long def) const {
    auto text = TryReadString(section, key);
    if (!text) return def;
    return ParseInteger(*text).value_or(def);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::ReadFloat(std::string_view section, std::string_view key, double def) const {
    auto text = TryReadString(section, key);
    if (!text || text->empty()) return def;
    double value = 0;
    auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
    return ec == std::errc{} && end == text->data() + text->size() ? value : def;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Section* s = FindSection(section);
    if (!s) {
        sections_.push_back({std::string(section), {}});
        s = &sections_.back();
    }
    for (Entry& e : s->entries)
        if (!e.key.empty() && EqualsIgnoringCase(e.key, key)) {
            e.value = std::string(value);
            return;
        }
    // New keys go after the last key, before trailing blank lines and comments.
    auto pos = s->entries.end();
    while (pos != s->entries.begin() && std::prev(pos)->key.empty())
        --pos;
    s->entries.insert(pos, {std::string(key), std::string(value)});
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, long long value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

bool IniFile::SectionExists(std::string_view section) const {
    return FindSection(section) != nullptr;
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
    return TryReadString(section, key).has_value();
}

std::vector<std::string> IniFile::ReadSections() const {
    std::vector<std::string> names;
    for (const Section& s : sections_)
        names.push_back(s.name);
    return names;
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->entries)
            if (!e.key.empty()) keys.push_back(e.key);
    return keys;
}

void IniFile::EraseSection(std::string_view section) {
    std::erase_if(sections_, [&](const Section& s) { return EqualsIgnoringCase(s.name, section); });
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
    if (Section* s = FindSection(section))
        std::erase_if(s->entries,
                      [&](const Entry& e) { return !e.key.empty() && EqualsIgnoringCase(e.key, key); });
}

std::string IniFile::ToText() const {
    std::string out;
    auto emit = [&out](const std::vector<Entry>& entries) {
        for (const Entry& e : entries)
            out += e.key.empty() ? e.value + "\n" : e.key + "=" + e.value + "\n";
    };
    emit(preamble_);
    for (const Section& s : sections_) {
        out += "[" + s.name + "]\n";
        emit(s.entries);
    }
    return out;
}

void IniFile::UpdateFile() const {
    if (path_.empty()) throw std::logic_error("IniFile::UpdateFile: the file has no path");
    WriteFileAtomically(path_, ToText());
}

} // namespace kav
