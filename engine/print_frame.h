// The print side of every report: the print-line operation, the printer selection and set-up,
// the header block, the money and label columns, the paper feed and the end of the job.
#pragma once

#include <functional>
#include <string>

#include "panel/station.h"
#include "platform/printer.h"
#include "platform/value.h"

namespace tillora {

// The printer a print step writes on: the preview's while previewing, otherwise the current one.
// Throws PrinterError when no printer is installed.
Printer& receipt_printer(Station& s);
// Makes printer localprinter current (nothing while previewing: the view needs no printer).
// Throws PrinterError("index out of range") when there is no such printer.
void select_receipt_printer(Station& s);

// A line as it may be printed: every control character (below a blank) becomes a blank, so text
// from the database never reaches a printer as a command (ESC p opens the cash drawer). The line
// end is the printer's own.
std::string printable_line(std::string line);
// Prints st.msg as one line (printable_line): appended to closeoutfile in close-out mode (then
// yields), otherwise printed on the current printer.
void print_line(Station& s);
// Sets st.msg to `line` and runs print_line; a failure is skipped (print steps go on).
void print(Station& s, const std::string& line);
// Prints a line (printable_line) straight on the current printer, never to the close-out file;
// failures skipped.
void print_direct(Station& s, const std::string& line);

// Printer set-up: the font of printertype on the current printer, dashline as wide as the
// receipt (40 or 39 "-"), blankline 39 blanks; yields.
void printer_setup(Station& s);
// Printer selection: makes printer localprinter current, runs the set-up and switches the print
// attribute off. Returns false when there is no such printer; then, when `report_invalid`,
// shows "Invalid receipt printer configuration." titled "Uh-oh...".
bool select_printer(Station& s, bool report_invalid = true);
// The selection a print step makes only outside close-out mode and Print All Reports.
// Returns false when the step must end at once (invalid printer).
bool select_printer_unless_batch(Station& s, bool report_invalid = true);

// dashline 39 "-", blankline 39 blanks.
void set_receipt_lines(Station& s);

// The header block: title, report date and time, "Printed by   :" + operator ID (or CENTRAL
// in close-out mode), date range, time range, workstation, dashline. `server_line` prints
// "Server       :" + the ID instead of the "Printed by" line.
void print_header(Station& s, const std::string& title, bool server_line = false);
// The header lines as text, for print steps that print straight to the printer.
std::vector<std::string> header_lines(Station& s, const std::string& title, bool server_line);

// The parts of a header block, for a receipt printed again from what was stored.
struct HeaderBlock {
    std::string title, date, time, who, from, to, fromtime, totime, unit, dash;
};
// The header lines of `h`: title, "Report date  :" date " Time:" time, `who` as given, "Date
// range   :", "Time range   :", "Workstation #:", dash line.
std::vector<std::string> header_lines(const HeaderBlock& h);

// Label column: text followed by blankline, first `width` characters.
std::string label(const std::string& text, std::size_t width = 10);
// The 40-character detail line: label (10), base (8), service charge (7), tax (7), total (8).
std::string detail_line(const std::string& label_text, Currency base, Currency srvchg, Currency tax,
                        Currency total);

// Running sums and row count of a print step.
struct Totals {
    Currency base, srvchg, tax, total;
    long count = 0;
    void add(Currency b, Currency c, Currency t, Currency tot);
    // Text of the count behind a count label: "" when no row was counted.
    std::string count_text() const;
};

// Paper feed and end of job: unless in close-out mode, `lines` blank lines straight on the
// printer, then (unless printall) the end of the print job.
void feed_and_end(Station& s, int lines = 6);
// Ends the print job on the current printer (skipping failures); while previewing, shows the
// job in the view.
void end_print_job(Station& s);
// The end of every print step: yields and clears reportbusy.
void finish_print(Station& s);

// Runs one statement of a print step; any failure is skipped (the step goes on). A printer
// failure is shown once in the status box: the job did not reach the printer.
void skip_errors(Station& s, const std::function<void()>& statement);

}  // namespace tillora
