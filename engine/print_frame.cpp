#include "engine/print_frame.h"

#include "app/printer_setup.h"
#include "platform/files.h"
#include "platform/printer.h"

namespace tillora {

namespace {

// A close-out file that cannot be written makes the run fail, once per file error.
void closeout_write_failed(Station& s, const std::string& why) {
    const std::string line = "close-out file " + s.st.closeoutfile + ": " + why;
    for (const auto& f : s.failures) {
        if (f == line) return;
    }
    s.failures.push_back(line);
    s.message("The close-out file could not be written.\r\n" + why, "Oops...", Icon::Critical);
}

}  // namespace

Printer& receipt_printer(Station& s) {
    if (previewing(s)) return s.preview.printer;
    return s.svc.printers.current();
}

void select_receipt_printer(Station& s) {
    if (!previewing(s)) s.svc.printers.select(s.st.localprinter);
}

std::string printable_line(std::string line) {
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < ' ') c = ' ';
    }
    return line;
}

void print_line(Station& s) {
    if (s.st.closeoutmode == 1) {
        try {
            const auto path = s.path(s.st.closeoutfile);
            // The file names card holders and members: readable by owner and group only.
            if (!file_exists(path)) create_private_file(path);
            append_line(path, printable_line(s.st.msg));
        } catch (const FileError& e) {
            closeout_write_failed(s, e.what());
        }
        s.yield();
        return;
    }
    if (dropping_lines(s)) return;  // stopped: nothing more is printed
    receipt_printer(s).print_line(printable_line(s.st.msg));
    s.svc.ui.keep_alive();  // a year of lines takes a while: the window still repaints
}

void print(Station& s, const std::string& line) {
    s.st.msg = line;
    skip_errors(s, [&] { print_line(s); });
}

void print_direct(Station& s, const std::string& line) {
    if (dropping_lines(s)) return;
    skip_errors(s, [&] { receipt_printer(s).print_line(printable_line(line)); });
}

void printer_setup(Station& s) {
    const PrinterType t = printer_type(s.st.printertype);
    skip_errors(s, [&] { receipt_printer(s).set_font(t.font); });
    s.st.dashline = std::string(t.dash_width, '-');
    s.st.blankline = std::string(39, ' ');
    s.yield();
}

bool select_printer(Station& s, bool report_invalid) {
    bool selected = true;
    try {
        select_receipt_printer(s);
    } catch (const PrinterError&) {
        selected = false;
        if (report_invalid) {
            s.st.msg = "Invalid receipt printer configuration.";
            s.message(s.st.msg, "Uh-oh...", Icon::Information);
            return false;
        }
    }
    printer_setup(s);
    skip_errors(s, [&] { receipt_printer(s).set_attribute(false); });
    s.yield();
    return selected;
}

bool select_printer_unless_batch(Station& s, bool report_invalid) {
    if (s.st.closeoutmode != 0 || s.st.printall != 0) return true;
    return select_printer(s, report_invalid) || !report_invalid;
}

void set_receipt_lines(Station& s) {
    s.st.dashline = std::string(39, '-');
    s.st.blankline = std::string(39, ' ');
}

std::vector<std::string> header_lines(Station& s, const std::string& title, bool server_line) {
    const ModuleState& st = s.st;
    const FormModel& f = s.form;
    std::string who;
    if (server_line) {
        who = "Server       :" + f.txtempid.text;
    } else if (st.closeoutmode == 1) {
        who = "Printed by   :CENTRAL";
    } else {
        who = "Printed by   :" + f.txtempid.text;
    }
    return header_lines(HeaderBlock{title, s.svc.clock.date_text(), s.svc.clock.time_text(), who,
                                    f.txtfromdate.text, f.txttodate.text, st.fromtime, st.totime,
                                    st.unitstr, st.dashline});
}

std::vector<std::string> header_lines(const HeaderBlock& h) {
    return {h.title,
            "Report date  :" + h.date + " Time:" + h.time,
            h.who,
            "Date range   :" + h.from + " - " + h.to,
            "Time range   :" + h.fromtime + " - " + h.totime,
            "Workstation #:" + h.unit,
            h.dash};
}

void print_header(Station& s, const std::string& title, bool server_line) {
    for (const std::string& line : header_lines(s, title, server_line)) print(s, line);
}

std::string label(const std::string& text, std::size_t width) {
    return left_column(text, width);
}

std::string detail_line(const std::string& label_text, Currency base, Currency srvchg, Currency tax,
                        Currency total) {
    return label(label_text, 10) + money_column(base, "#####.#0", 8) +
           money_column(srvchg, "####.#0", 7) + money_column(tax, "####.#0", 7) +
           money_column(total, "#####.#0", 8);
}

void Totals::add(Currency b, Currency c, Currency t, Currency tot) {
    base += b;
    srvchg += c;
    tax += t;
    total += tot;
    ++count;
}

std::string Totals::count_text() const {
    return count == 0 ? "" : std::to_string(count);
}

void feed_and_end(Station& s, int lines) {
    if (s.st.closeoutmode != 0) return;
    for (int i = 0; i < lines; ++i) print_direct(s, s.st.blankline);
    if (s.st.printall == 0) end_print_job(s);
}

void end_print_job(Station& s) {
    if (previewing(s)) {
        show_preview_job(s);
        return;
    }
    // Sending a long job (a year of lines) takes a while: the window repaints meanwhile.
    skip_errors(s, [&] {
        Printer& printer = s.svc.printers.current();
        run_beside_window(s.svc.ui, [&printer] { printer.end_job(); });
    });
}

void finish_print(Station& s) {
    s.yield();
    s.st.reportbusy = 0;
}

void skip_errors(Station& s, const std::function<void()>& statement) {
    try {
        statement();
    } catch (const PrinterError& e) {
        s.form.helpwindow.text =
            std::string("Printer problem: the report did not reach the printer (") + e.what() + ")";
        if (s.on_change) s.on_change();
    } catch (const std::exception&) {
        // A failing statement of a print step is skipped; the step goes on.
    }
}

}  // namespace tillora
