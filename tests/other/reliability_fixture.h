// Fixtures of the reliability and concurrency tests: a demo installation and an interactive
// station on it.
#pragma once

#include <algorithm>
#include <cstdlib>

#include "export/export_transactions.h"
#include "panel/form_load.h"
#include "reports/other/closeout.h"
#include "reports/other/report_buttons.h"
#include "support/test_support.h"
#include "tools/demo_data.h"

namespace tillora::test {

inline const std::string kSeparator(39, '*');
inline const std::string kCloseoutName = "closeout03-20200904.txt";

// A demo installation of workstation 03 (days from 20200903) in `where` or dir/home; the
// printers of a close-out run are a spool printer in dir/spool.
struct Installation {
    explicit Installation(int days = 3, int tickets = 12, std::filesystem::path where = {}) {
        home = where.empty() ? dir / "home" : where;
        demo::make_demo_installation(
            {.folder = home, .days = days, .tickets = tickets, .start = 20200903, .schema = {}});
        std::filesystem::create_directories(dir / "spool");
        ::setenv("TILLORA_SPOOL", (dir / "spool").c_str(), 1);
    }
    ~Installation() { ::unsetenv("TILLORA_SPOOL"); }
    // The close-out run of 20200904; its messages go to `err`.
    int closeout_run(std::ostringstream& err) const {
        return run_closeout(home, "KVRUN20200904", err);
    }
    std::vector<std::string> closeout() const { return file_lines(home / kCloseoutName); }
    long separators() const {
        const auto lines = closeout();
        return std::count(lines.begin(), lines.end(), kSeparator);
    }
    long xact_rows(const std::string& where = "") const {
        auto db = Database::open(home / "KOVRAX03.MDB");
        return db->open_recordset("select count(*) from xact" + where).field(0).as_int();
    }
    TempDir dir;
    std::filesystem::path home;
};

// An interactive station after start-up on an installation, answering from queues, its clock
// at 2020-09-04 23:30; it prints to `printers`, or to the spool printer in dir/spool.
struct DemoStation {
    DemoStation(const Installation& inst, PrinterSystem* printers = nullptr)
        : spool(std::make_unique<SpoolPrinterSystem>(inst.dir / "spool")),
          s(Services{ui, printers ? *printers : *spool, clock, inst.home}) {
        connect_reports(s);
        form_load(s, "");
    }
    // Clicks Export; the dialog answers `file`, both questions yes.
    void export_to(const std::filesystem::path& file) {
        ui.files.push_back(file.string());
        ui.answers.assign({true, true});
        cmdexport1_click(s);
    }
    // True when a box shown so far contains `text`.
    bool has_box(const std::string& text) const {
        return std::any_of(ui.shown.begin(), ui.shown.end(),
                           [&](const std::string& l) { return l.find(text) != std::string::npos; });
    }
    ScriptedUi ui;
    FixedClock clock{DateTime{2020, 9, 4, 23, 30, 0}};
    std::unique_ptr<SpoolPrinterSystem> spool;
    Station s;
};

}  // namespace tillora::test
