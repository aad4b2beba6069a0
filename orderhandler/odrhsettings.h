#pragma once
// The order handler's per-workstation settings in "CONFIGURE.CONF" (an INI file beside the program):
// the create-time range a detail search starts with, the shipping-list printer and the address of the
// text-message service. (The receipt printer is chosen by the printing seam, platform/widgets/printerchoice.h.)
//
//   [OrderShippingList]              PrinterName        (empty)
//                                    PageSize           a paper name Qt knows: A4, A5, B5, Letter ... (A5)
//                                    Orientation        Portrait | Landscape  (Landscape)
//   [OrderTimePeriodInOrderHandler]  BeginOrderTimeKind TodayBefore | Today | NoDefine   (TodayBefore)
//                                    BeginOrderDates    days before today, 1-30 for TodayBefore  (1)
//                                    BeginOrderTime     hh:mm:ss  (00:00:00)
//                                    EndOrderTimeKind   (Today), EndOrderDates (0), EndOrderTime (00:00:00)
//   [MessageService]                 Url                (empty: the server's HTTP endpoint, RPC port + 1)
//
// A kind's days and time are written empty for NoDefine and not read back. A missing or unreadable file,
// and any value that cannot be used (an unknown kind, a time that is not one, days outside 0-30), read
// as the default in brackets. Writing keeps every other section and key of the file, atomically.
//
// Threading: none; GUI thread in practice.

#include "orderhandler/odrhfiles.h"
#include "platform/core/datetime.h"

#include <filesystem>
#include <string>

namespace kav::orderhandler {

enum class TOrderTimeKind { otkTodayBefore, otkToday, otkNoDefine };

struct TOrderTimePeriodSetting {
    TOrderTimeKind beginKind = TOrderTimeKind::otkTodayBefore;
    int beginDays = 1;      // days before today, with otkTodayBefore
    TDateTime beginTime = 0; // time of day (fraction of a day)
    TOrderTimeKind endKind = TOrderTimeKind::otkToday;
    int endDays = 0;
    TDateTime endTime = 0;
    friend bool operator==(const TOrderTimePeriodSetting&, const TOrderTimePeriodSetting&) = default;
};

// The page shipping lists are printed on.
struct TShippingListPage {
    std::string pageSize = "A5";
    bool landscape = true;
    friend bool operator==(const TShippingListPage&, const TShippingListPage&) = default;
};

struct TOrderHandlerSetting {
    TOrderTimePeriodSetting period;
    std::string printerName; // shipping lists
};

inline constexpr int kMaxOrderTimeDays = 30;

std::string LoadPrinterNameFromConfigFile(const std::filesystem::path& file = ConfigureFilePath());
void SavePrinterNameToConfigFile(const std::string& name, const std::filesystem::path& file = ConfigureFilePath());
TOrderTimePeriodSetting LoadOrderTimeSettingFromConfigFile(const std::filesystem::path& file = ConfigureFilePath());
void SaveOrderTimeSettingToConfigFile(const TOrderTimePeriodSetting& setting,
                                      const std::filesystem::path& file = ConfigureFilePath());
TShippingListPage LoadShippingListPage(const std::filesystem::path& file = ConfigureFilePath());
void SaveShippingListPage(const TShippingListPage& page, const std::filesystem::path& file = ConfigureFilePath());
// The configured address ("http://host:port"); empty when the site set none.
std::string LoadMessageServiceUrl(const std::filesystem::path& file = ConfigureFilePath());

// The range a setting stands for on the day of `now`: each bound is today (or today minus its days for
// otkTodayBefore) at its time of day. False, leaving begin and end alone, when the end kind is
// otkNoDefine.
bool ExtractOrderTimeSetting(const TOrderTimePeriodSetting& setting, TDateTime& begin, TDateTime& end,
                             TDateTime now = Now());
// Equal begin kinds, and for a kind other than otkNoDefine every other field equal too.
bool CompareOrderTimeSetting(const TOrderTimePeriodSetting& a, const TOrderTimePeriodSetting& b);

// "hh:mm:ss" of a time of day, and back ("h:mm" and "h:mm:ss"); nullopt-like: false when the text is not
// a time.
std::string FormatTimeOfDay(TDateTime time);
bool ParseTimeOfDay(const std::string& text, TDateTime& time);

} // namespace kav::orderhandler
