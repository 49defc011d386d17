#include "platform/clock.h"

#include "platform/value.h"

#include <cstdio>
#include <ctime>

namespace tillora {

namespace {

bool is_leap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int days_in_month(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap(year) ? 29 : days[month - 1];
}

// Reads `count` digits at `pos`; false when any of them is not a digit.
bool read_digits(const std::string& text, std::size_t pos, std::size_t count, int& out) {
    out = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        out = out * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

std::string Clock::date_text() const {
    const DateTime t = now();
    return zero_padded(t.month, 2) + "-" + zero_padded(t.day, 2) + "-" + zero_padded(t.year, 4);
}

std::string Clock::time_text() const {
    const DateTime t = now();
    return zero_padded(t.hour, 2) + ":" + zero_padded(t.minute, 2) + ":" + zero_padded(t.second, 2);
}

std::string Clock::audit_date() const {
    const DateTime t = now();
    return zero_padded(t.month, 2) + zero_padded(t.day, 2) + zero_padded(t.year, 4);
}

long long SystemClock::elapsed_ms() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

DateTime SystemClock::now() const {
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                    local.tm_hour,        local.tm_min,     local.tm_sec};
}

bool parse_date_time(const std::string& text, DateTime& out) {
    // YYYY-MM-DDTHH:MM:SS
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':') {
        return false;
    }
    DateTime t;
    if (!read_digits(text, 0, 4, t.year) || !read_digits(text, 5, 2, t.month) ||
        !read_digits(text, 8, 2, t.day) || !read_digits(text, 11, 2, t.hour) ||
        !read_digits(text, 14, 2, t.minute) || !read_digits(text, 17, 2, t.second)) {
        return false;
    }
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > days_in_month(t.year, t.month) ||
        t.hour > 23 || t.minute > 59 || t.second > 59) {
        return false;
    }
    out = t;
    return true;
}

bool is_calendar_date(const std::string& text) {
    DateTime t;
    return text.size() == 8 && read_digits(text, 0, 4, t.year) &&
           read_digits(text, 4, 2, t.month) && read_digits(text, 6, 2, t.day) && t.year >= 1 &&
           t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= days_in_month(t.year, t.month);
}

std::string date_number_text(const DateTime& t) {
    return zero_padded(t.year, 4) + zero_padded(t.month, 2) + zero_padded(t.day, 2);
}

DateTime add_days(DateTime t, int days) {
    for (; days > 0; --days) {
        if (++t.day > days_in_month(t.year, t.month)) {
            t.day = 1;
            if (++t.month > 12) t = DateTime{t.year + 1, 1, 1, t.hour, t.minute, t.second};
        }
    }
    for (; days < 0; ++days) {
        if (--t.day < 1) {
            if (--t.month < 1) t = DateTime{t.year - 1, 12, 1, t.hour, t.minute, t.second};
            t.day = days_in_month(t.year, t.month);
        }
    }
    return t;
}

}  // namespace tillora
