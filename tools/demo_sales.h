// The demo generator's register: one business day of tickets at a time, as the lines of xact,
// the card processor's records and the day's audit and error entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/demo_calendar.h"
#include "tools/demo_random.h"

namespace tillora::demo {

// One line of xact; money in whole cents, the time as a second of the day.
struct XactLine {
    std::int64_t ticket = 0;
    std::int64_t poschitnum = 0;
    int server = 0;
    int itemnumber = 0;
    int status = 0;
    int postendtype = 0;
    std::string posbatch = "0";
    int poschitdate = 0;
    int seconds = 0;
    std::int64_t base = 0;
    std::int64_t srvchg = 0;
    std::int64_t tax = 0;
    std::int64_t total = 0;
    int posacctnum = 0;
    std::string posmemo;
    std::string saletext;
    std::string posmemberacctnum = "0";
    int poschitemployee = 0;
    int poschitcovers = 0;
    std::string poscodes;
};

// One row of ccard: an approved card payment; amount in cents.
struct CardPayment {
    std::int64_t ticket = 0;
    int status = 3;
    std::int64_t amount = 0;
    std::string ccnumber, ccname, expmonth, expyear, resultrefcode, resultorderid;
};

// One audit or error entry: the employee and the text after "E#<employee>"; a dashed entry is
// the drawer's form that begins with MM-DD-YYYY.
struct AuditEvent {
    int seconds = 0;
    int employee = 0;
    std::string text;
    bool dashed = false;
};

struct DaySales {
    std::vector<XactLine> lines;           // the workstation's xact
    std::vector<XactLine> held_on_server;  // held tickets kept in the shared kovratmp.mdb
    std::vector<CardPayment> cards;
    std::vector<AuditEvent> audit;   // in time order
    std::vector<AuditEvent> errors;  // in time order
};

// The audit or error file line of an entry on a date:
// "MMDDYYYY\HH:MM\E#<emp>\<text>", or "MM-DD-YYYY HH:MM:SS E#<emp> <text>" when dashed.
std::string audit_line(const CalendarDate& date, const AuditEvent& event);

// Money as the register writes it in the audit file: two decimals, no leading zero (.00,
// 12.50, -3.20).
std::string money_text(std::int64_t cents);

// Makes the days of a store one after the other; ticket and line numbers keep rising.
class SalesGenerator {
  public:
    SalesGenerator(std::uint64_t seed, int tickets_per_day, int unit);

    // The sales of one business day (`day_index` counts from 0). Held tickets go to the
    // shared server database only on a `recent` day (the last two of the store).
    DaySales day(const CalendarDate& date, int day_index, bool recent);

  private:
    DemoRandom rng_;
    int tickets_per_day_;
    int unit_;
    std::int64_t next_ticket_ = 1001;
    std::int64_t next_chitnum_ = 1;
};

}  // namespace tillora::demo
