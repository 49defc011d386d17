// Calendar arithmetic and the date and time texts the register writes.
#pragma once

#include <optional>
#include <string>

namespace tillora::demo {

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// The date of a YYYYMMDD number; nothing when it is not a real date (years 1900-9999).
std::optional<CalendarDate> date_from_number(long yyyymmdd);
// The YYYYMMDD number of a date.
int date_number(const CalendarDate& date);
// The date `days` days after `date` (before, when negative).
CalendarDate add_days(const CalendarDate& date, int days);
// "MMDDYYYY" (audit entries) and "MM-DD-YYYY" (the platform's date text).
std::string mmddyyyy(const CalendarDate& date);
std::string dashed_date(const CalendarDate& date);
// "HH:MM:SS" and "HH:MM" of a second of the day (0-86399).
std::string time_text(int seconds);
std::string hour_minute(int seconds);

}  // namespace tillora::demo
