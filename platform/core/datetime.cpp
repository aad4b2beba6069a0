#include "platform/core/datetime.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace kav {
namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
// Days from 1899-12-30 to 1970-01-01.
constexpr std::int64_t kUnixEpochDays = 25569;

std::int64_t DaysFromCivil(int y, int m, int d) {
    using namespace std::chrono;
    return (sys_days{year{y} / month{static_cast<unsigned>(m)} / day{static_cast<unsigned>(d)}}
                .time_since_epoch()
                .count()) +
           kUnixEpochDays;
}

// Milliseconds since 1899-12-30 00:00 on a continuous scale, from the wire's signed-fraction form.
// Values outside years 1 to 9999 (and NaN or infinities) have no calendar date; converting them to
// integers would be undefined, so they are refused.
std::int64_t ToLinearMs(TDateTime value) {
    constexpr double kFirstDay = -693593.0;    // 0001-01-01
    constexpr double kPastLastDay = 2958466.0; // 10000-01-01
    if (!(value > kFirstDay - 1 && value < kPastLastDay))
        throw DateTimeError("date-time value out of range: " + std::to_string(value));
    double whole = std::trunc(value);
    double frac = std::fabs(value - whole);
    auto days = static_cast<std::int64_t>(whole);
    auto ms = static_cast<std::int64_t>(std::llround(frac * kMsPerDay));
    return days * kMsPerDay + ms;
}

TDateTime FromLinearMs(std::int64_t linear) {
    std::int64_t days = linear >= 0 ? linear / kMsPerDay : -((-linear + kMsPerDay - 1) / kMsPerDay);
    std::int64_t ms = linear - days * kMsPerDay;
    double frac = static_cast<double>(ms) / kMsPerDay;
    // Before the epoch the fraction is stored with the sign of the day number.
    return days >= 0 ? static_cast<double>(days) + frac : static_cast<double>(days) - frac;
}

} // namespace

bool IsLeapYear(int y) noexcept {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) noexcept {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12) return 0;
    return m == 2 && IsLeapYear(y) ? 29 : days[m - 1];
}

TDateTime EncodeDateTime(const CivilDateTime& v) {
    if (v.year < 1 || v.year > 9999 || v.month < 1 || v.month > 12 || v.day < 1 ||
        v.day > DaysInMonth(v.year, v.month))
        throw DateTimeError("invalid date " + std::to_string(v.year) + "-" + std::to_string(v.month) + "-" +
                            std::to_string(v.day));
    if (v.hour < 0 || v.hour > 23 || v.minute < 0 || v.minute > 59 || v.second < 0 || v.second > 59 ||
        v.millisecond < 0 || v.millisecond > 999)
        throw DateTimeError("invalid time " + std::to_string(v.hour) + ":" + std::to_string(v.minute) + ":" +
                            std::to_string(v.second) + "." + std::to_string(v.millisecond));
    std::int64_t days = DaysFromCivil(v.year, v.month, v.day);
    std::int64_t ms = ((v.hour * 60LL + v.minute) * 60 + v.second) * 1000 + v.millisecond;
    return FromLinearMs(days * kMsPerDay + ms);
}

TDateTime EncodeDate(int year, int month, int day) {
    return EncodeDateTime({year, month, day});
}

CivilDateTime DecodeDateTime(TDateTime value) {
    using namespace std::chrono;
    std::int64_t linear = ToLinearMs(value);
    std::int64_t days = linear >= 0 ? linear / kMsPerDay : -((-linear + kMsPerDay - 1) / kMsPerDay);
    std::int64_t ms = linear - days * kMsPerDay;
    year_month_day ymd{sys_days{std::chrono::days{days - kUnixEpochDays}}};
    CivilDateTime out;
    out.year = static_cast<int>(ymd.year());
    out.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    out.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    out.hour = static_cast<int>(ms / 3'600'000);
    out.minute = static_cast<int>(ms / 60'000 % 60);
    out.second = static_cast<int>(ms / 1000 % 60);
    out.millisecond = static_cast<int>(ms % 1000);
    return out;
}

TDateTime DateOf(TDateTime value) {
    CivilDateTime c = DecodeDateTime(value);
    return EncodeDate(c.year, c.month, c.day);
}

TDateTime TimeOf(TDateTime value) {
    return std::fabs(value - std::trunc(value));
}

TDateTime Now() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return EncodeDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                           local.tm_sec, static_cast<int>(ms)});
}

TDateTime Today() {
    return DateOf(Now());
}

TDateTime FromUnixMilliseconds(std::int64_t ms) {
    return FromLinearMs(ms + kUnixEpochDays * kMsPerDay);
}

std::int64_t ToUnixMilliseconds(TDateTime value) {
    return ToLinearMs(value) - kUnixEpochDays * kMsPerDay;
}

std::string FormatDateTimeIso(TDateTime value) {
    CivilDateTime c = DecodeDateTime(value);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", c.year, c.month, c.day, c.hour, c.minute,
                  c.second);
    return buf;
}

std::string FormatDateIso(TDateTime value) {
    CivilDateTime c = DecodeDateTime(value);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", c.year, c.month, c.day);
    return buf;
}

TDateTime ParseDateTimeIso(const std::string& text) {
    CivilDateTime c;
    char sep1 = 0, sep2 = 0;
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c%d%n", &c.year, &sep1, &c.month, &sep2, &c.day, &consumed) != 5 ||
        sep1 != sep2 || (sep1 != '-' && sep1 != '/'))
        throw DateTimeError("not a date: '" + text + "'");
    const char* rest = text.c_str() + consumed;
    if (*rest == ' ' || *rest == 'T') {
        int n = 0;
        int got = std::sscanf(rest + 1, "%d:%d%n", &c.hour, &c.minute, &n);
        if (got != 2) throw DateTimeError("not a date-time: '" + text + "'");
        rest += 1 + n;
        if (*rest == ':') {
            double seconds = 0;
            // Also refuses "nan", "inf" and huge values before they are cast to int.
            if (std::sscanf(rest + 1, "%lf%n", &seconds, &n) != 1 || !(seconds >= 0 && seconds < 60))
                throw DateTimeError("not a date-time: '" + text + "'");
            c.second = static_cast<int>(seconds);
            c.millisecond = static_cast<int>(std::lround((seconds - c.second) * 1000));
            if (c.millisecond == 1000) c.millisecond = 999;
            rest += 1 + n;
        }
    }
    while (*rest == ' ')
        ++rest;
    if (*rest != '\0') throw DateTimeError("not a date-time: '" + text + "'");
    return EncodeDateTime(c);
}

} // namespace kav
