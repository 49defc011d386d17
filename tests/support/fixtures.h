// Named installations of the report tests: each adds one data set to a TestStation, so that a
// test names what it runs on and compares what comes out with a file under tests/expected/.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "support/expected_file.h"
#include "support/test_support.h"

namespace tillora::test {

// One xact line of `ticket` rung by `server` (status 2, 12:00:00 on 20200904 unless `more`
// says otherwise).
Row line(int server, int ticket, int item, double base, double srvchg = 0, double tax = 0,
         const Row& more = {});
// A settled tender line (item -1, batch "1") of `ticket`.
Row tender(int ticket, int type, double amount, const char* memo);

// Adds the rows of tests/fixtures/<name>.txt to the station's databases (format in
// tests/fixtures/README.md); a malformed line fails the test.
void load_fixture(TestStation& t, const std::string& name);

// Employees 101 (server, password 1234, operator 11, card 5551), 102 (38500, operator 12),
// 103 (manager, 38501, operator 13, card 5553), 104 (password 0), 105 (null password),
// 106 (empty password), 107 (stored "0123").
void add_staff(TestStation& t);
// Operator 12 logged in and the time range 10:00-13:59.
void operator_12_midday(TestStation& t);

// The two server data sets below also log operator 12 in for 10:00-13:59.
// Closed, cleared and held lines of servers 5, 7 and -3, one outside 10:00-13:59.
void add_server_totals_day(TestStation& t);
// Server 12's items, -5 and service-charge lines (account 4000 is the service-charge account)
// and tenders of several batches; server 13 shares ticket 1.
void add_my_sales_day(TestStation& t);
// Tickets that tell the five ticket lists apart, held tickets on the shared folder and an audit
// file with cleared-ticket entries.
void add_ticket_lists_day(TestStation& t);
// Card tenders and their processor records (settled, not settled, another day).
void add_card_day(TestStation& t);
// Removed lines of servers 7 and 9, one before 06:00, and a closed line.
void add_removed_day(TestStation& t);
// One day of export lines: a payment on account, an item, a type 9 tender, zero-total, sent,
// other-day, voided lines and a line with null fields.
void add_export_day(TestStation& t);

// Compares the finished spool jobs with tests/expected/<names[i]>, one job each, byte for byte.
void expect_jobs(const TestStation& t, const std::vector<std::string>& names);
// Compares the close-out file with tests/expected/<name>, byte for byte.
void expect_closeout(const TestStation& t, const std::string& name);

// Checks each row "<word>... -> <expected>..." of tests/fixtures/<name>.txt: `probe`, given the
// words before "->", gives the expected words joined by blanks (an exception gives
// "error: <what>"). A word in double quotes may hold blanks and \" \\ \n \r \t \xNN.
// A value written as kind:text (int, real, money in ten-thousandths, text), "null" or "empty".
Value value_of(const std::string& word);
// The other way round; money as its decimal text ("money:12.34").
std::string kind_text(const Value& value);

void expect_table(const std::string& name, const std::function<std::string(const Lines&)>& probe);

}  // namespace tillora::test
