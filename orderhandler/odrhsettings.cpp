#include "orderhandler/odrhsettings.h"

#include "platform/core/inifile.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <stdexcept>

namespace kav::orderhandler {

namespace {

constexpr const char* kShippingSection = "OrderShippingList";
constexpr const char* kTimeSection = "OrderTimePeriodInOrderHandler";
constexpr const char* kMessageSection = "MessageService";

constexpr std::array<const char*, 3> kKindNames{"TodayBefore", "Today", "NoDefine"};

// The file as it stands, or an empty one bound to its path when it cannot be read.
IniFile ReadOrEmpty(const std::filesystem::path& file) {
    try {
        return IniFile(file);
    } catch (const std::runtime_error&) {
        return IniFile();
    }
}

std::optional<TOrderTimeKind> KindOf(const std::string& name) {
    for (std::size_t i = 0; i < kKindNames.size(); ++i)
        if (name == kKindNames[i]) return static_cast<TOrderTimeKind>(i);
    return std::nullopt;
}

const char* NameOf(TOrderTimeKind kind) {
    return kKindNames[static_cast<std::size_t>(kind)];
}

struct Bound {
    TOrderTimeKind& kind;
    int& days;
    TDateTime& time;
};

void ReadBound(const IniFile& ini, const std::string& prefix, Bound bound) {
    if (auto kind = KindOf(ini.ReadString(kTimeSection, prefix + "OrderTimeKind", NameOf(bound.kind))))
        bound.kind = *kind;
    if (bound.kind == TOrderTimeKind::otkNoDefine) {
        bound.days = 0;
        bound.time = 0;
        return;
    }
    const long long days = ini.ReadInteger(kTimeSection, prefix + "OrderDates", bound.days);
    const long long least = bound.kind == TOrderTimeKind::otkTodayBefore ? 1 : 0;
    if (days >= least && days <= kMaxOrderTimeDays) bound.days = static_cast<int>(days);
    else if (bound.days < least) bound.days = static_cast<int>(least);
    TDateTime time = 0;
    if (ParseTimeOfDay(ini.ReadString(kTimeSection, prefix + "OrderTime", "00:00:00"), time)) bound.time = time;
}

void WriteBound(IniFile& ini, const std::string& prefix, TOrderTimeKind kind, int days, TDateTime time) {
    ini.WriteString(kTimeSection, prefix + "OrderTimeKind", NameOf(kind));
    const bool none = kind == TOrderTimeKind::otkNoDefine;
    ini.WriteString(kTimeSection, prefix + "OrderDates", none ? std::string() : std::to_string(days));
    ini.WriteString(kTimeSection, prefix + "OrderTime", none ? std::string() : FormatTimeOfDay(time));
}

TDateTime DateOfBound(TOrderTimeKind kind, int days, TDateTime today) {
    return kind == TOrderTimeKind::otkTodayBefore ? today - days : today;
}

} // namespace

std::string LoadPrinterNameFromConfigFile(const std::filesystem::path& file) {
    return ReadOrEmpty(file).ReadString(kShippingSection, "PrinterName", "");
}

void SavePrinterNameToConfigFile(const std::string& name, const std::filesystem::path& file) {
    IniFile ini(file);
    ini.WriteString(kShippingSection, "PrinterName", name);
    ini.UpdateFile();
}

TOrderTimePeriodSetting LoadOrderTimeSettingFromConfigFile(const std::filesystem::path& file) {
    const IniFile ini = ReadOrEmpty(file);
    TOrderTimePeriodSetting setting;
    ReadBound(ini, "Begin", {setting.beginKind, setting.beginDays, setting.beginTime});
    ReadBound(ini, "End", {setting.endKind, setting.endDays, setting.endTime});
    return setting;
}

void SaveOrderTimeSettingToConfigFile(const TOrderTimePeriodSetting& setting, const std::filesystem::path& file) {
    IniFile ini(file);
    WriteBound(ini, "Begin", setting.beginKind, setting.beginDays, setting.beginTime);
    WriteBound(ini, "End", setting.endKind, setting.endDays, setting.endTime);
    ini.UpdateFile();
}

TShippingListPage LoadShippingListPage(const std::filesystem::path& file) {
    const IniFile ini = ReadOrEmpty(file);
    TShippingListPage page;
    page.pageSize = ini.ReadString(kShippingSection, "PageSize", page.pageSize);
    if (page.pageSize.empty()) page.pageSize = TShippingListPage().pageSize;
    page.landscape = ini.ReadString(kShippingSection, "Orientation", "Landscape") != "Portrait";
    return page;
}

void SaveShippingListPage(const TShippingListPage& page, const std::filesystem::path& file) {
    IniFile ini(file);
    ini.WriteString(kShippingSection, "PageSize", page.pageSize);
    ini.WriteString(kShippingSection, "Orientation", page.landscape ? "Landscape" : "Portrait");
    ini.UpdateFile();
}

std::string LoadMessageServiceUrl(const std::filesystem::path& file) {
    return ReadOrEmpty(file).ReadString(kMessageSection, "Url", "");
}

bool ExtractOrderTimeSetting(const TOrderTimePeriodSetting& setting, TDateTime& begin, TDateTime& end,
                             TDateTime now) {
    if (setting.endKind == TOrderTimeKind::otkNoDefine) return false;
    const TDateTime today = DateOf(now);
    begin = DateOfBound(setting.beginKind, setting.beginDays, today) + TimeOf(setting.beginTime);
    end = DateOfBound(setting.endKind, setting.endDays, today) + TimeOf(setting.endTime);
    return true;
}

bool CompareOrderTimeSetting(const TOrderTimePeriodSetting& a, const TOrderTimePeriodSetting& b) {
    if (a.beginKind != b.beginKind) return false;
    if (a.beginKind == TOrderTimeKind::otkNoDefine) return true;
    return a.beginDays == b.beginDays && FormatTimeOfDay(a.beginTime) == FormatTimeOfDay(b.beginTime) &&
           a.endKind == b.endKind && a.endDays == b.endDays &&
           FormatTimeOfDay(a.endTime) == FormatTimeOfDay(b.endTime);
}

std::string FormatTimeOfDay(TDateTime time) {
    const CivilDateTime c = DecodeDateTime(TimeOf(time));
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", c.hour, c.minute, c.second);
    return text;
}

bool ParseTimeOfDay(const std::string& text, TDateTime& time) {
    int hour = 0, minute = 0, second = 0, used = 0;
    const int fields = std::sscanf(text.c_str(), "%2d:%2d%n:%2d%n", &hour, &minute, &used, &second, &used);
    if (fields < 2 || static_cast<std::size_t>(used) != text.size()) return false;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return false;
    time = (hour * 3600 + minute * 60 + second) / 86400.0;
    return true;
}

} // namespace kav::orderhandler
