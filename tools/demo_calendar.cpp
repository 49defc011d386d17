#include "tools/demo_calendar.h"

#include "platform/value.h"

#include <cstdio>

namespace tillora::demo {
namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long days_from_civil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CalendarDate civil_from_days(long z) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int y = static_cast<int>(yoe + era * 400 + (m <= 2));
    return {y, m, d};
}

}  // namespace

std::optional<CalendarDate> date_from_number(long yyyymmdd) {
    const CalendarDate date{static_cast<int>(yyyymmdd / 10000),
                            static_cast<int>(yyyymmdd / 100 % 100),
                            static_cast<int>(yyyymmdd % 100)};
    if (date.year < 1900 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1) {
        return std::nullopt;
    }
    const CalendarDate round_trip =
        civil_from_days(days_from_civil(date.year, date.month, date.day));
    if (round_trip.day != date.day || round_trip.month != date.month) return std::nullopt;
    return date;
}

int date_number(const CalendarDate& date) {
    return date.year * 10000 + date.month * 100 + date.day;
}

CalendarDate add_days(const CalendarDate& date, int days) {
    return civil_from_days(days_from_civil(date.year, date.month, date.day) + days);
}

std::string mmddyyyy(const CalendarDate& date) {
    return zero_padded(date.month, 2) + zero_padded(date.day, 2) + std::to_string(date.year);
}

std::string dashed_date(const CalendarDate& date) {
    return zero_padded(date.month, 2) + "-" + zero_padded(date.day, 2) + "-" +
           std::to_string(date.year);
}

std::string time_text(int seconds) {
    return zero_padded(seconds / 3600, 2) + ":" + zero_padded(seconds / 60 % 60, 2) + ":" +
           zero_padded(seconds % 60, 2);
}

std::string hour_minute(int seconds) {
    return zero_padded(seconds / 3600, 2) + ":" + zero_padded(seconds / 60 % 60, 2);
}

}  // namespace tillora::demo
