#pragma once
// Date-times as the system stores and sends them: a double counting days since 1899-12-30 00:00,
// the fraction being the time of day (0.5 = noon). Dates before the epoch are negative; their
// fraction still counts forward from midnight, as the wire format defines it.

#include <cstdint>
#include <string>

namespace kav {

using TDateTime = double;

struct CivilDateTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    friend bool operator==(const CivilDateTime&, const CivilDateTime&) = default;
};

// Raised for impossible dates or times (month 13, 30 February, hour 24, ...).
class DateTimeError : public std::exception {
public:
    explicit DateTimeError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

TDateTime EncodeDateTime(const CivilDateTime& value);
CivilDateTime DecodeDateTime(TDateTime value);
TDateTime EncodeDate(int year, int month, int day);

// Whole days and the time of day of a date-time.
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);

// Current local date-time, and the local date at midnight.
TDateTime Now();
TDateTime Today();

// Conversion to and from Unix time in milliseconds, both in UTC.
TDateTime FromUnixMilliseconds(std::int64_t ms);
std::int64_t ToUnixMilliseconds(TDateTime value);

// "yyyy-mm-dd hh:nn:ss" (the form SQL literals and logs use) and "yyyy-mm-dd".
std::string FormatDateTimeIso(TDateTime value);
std::string FormatDateIso(TDateTime value);
// Parses "yyyy-mm-dd", "yyyy-mm-dd hh:nn[:ss[.zzz]]" and the same with "/" or "T"; nullopt-free:
// raises DateTimeError naming the text when it is not a date.
TDateTime ParseDateTimeIso(const std::string& text);

bool IsLeapYear(int year) noexcept;
int DaysInMonth(int year, int month) noexcept;

} // namespace kav
