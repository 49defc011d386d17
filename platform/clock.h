// The current date and time as the reports print them, from a clock that tests can fix.
#pragma once

#include <chrono>
#include <string>

namespace tillora {

struct DateTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;
    // Milliseconds on a clock that never goes back (for how long work has run).
    virtual long long elapsed_ms() const = 0;

    // "MM-DD-YYYY"
    std::string date_text() const;
    // "HH:MM:SS" (24-hour)
    std::string time_text() const;
    // "MMDDYYYY", the date of an audit entry
    std::string audit_date() const;
};

// The machine's local time.
class SystemClock : public Clock {
  public:
    DateTime now() const override;
    long long elapsed_ms() const override;
};

// A clock that stands still at a set time (tests, the driver's --now).
class FixedClock : public Clock {
  public:
    explicit FixedClock(DateTime t) : t_(t) {}
    DateTime now() const override { return t_; }
    void set(DateTime t) { t_ = t; }
    long long elapsed_ms() const override { return ms_; }
    // Moves the elapsed-time clock on (tests of work that takes a while).
    void advance_ms(long long ms) { ms_ += ms; }

  private:
    DateTime t_;
    long long ms_ = 0;
};

// Parses "YYYY-MM-DDTHH:MM:SS"; returns false when the text is not of that form.
bool parse_date_time(const std::string& text, DateTime& out);

// True when `text` is exactly eight digits YYYYMMDD naming a real calendar date (year 1 on).
bool is_calendar_date(const std::string& text);
// The date of `t` as YYYYMMDD ("20200904").
std::string date_number_text(const DateTime& t);
// `t` moved by whole days, the time of day kept.
DateTime add_days(DateTime t, int days);

}  // namespace tillora
