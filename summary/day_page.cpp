#include "summary/day_page.h"

#include <stdlib.h>

#include <chrono>
#include <fstream>
#include <set>
#include <sstream>

#include "app/node_file.h"
#include "engine/pipeline.h"
#include "platform/files.h"
#include "platform/store.h"
#include "summary/day_figures.h"
#include "summary/page_html.h"

namespace fs = std::filesystem;

namespace tillora {

namespace {

std::string made_text(const Clock& clock) {
    return clock.date_text() + " " + clock.time_text();
}

PageHeading::Closeout read_closeout_text(Station& s) {
    PageHeading::Closeout c{s.st.closeoutfile, "", true};
    std::ifstream in(s.path(s.st.closeoutfile), std::ios::binary);
    std::ostringstream text;
    if (in) text << in.rdbuf();
    if (!in || in.bad()) {
        c.readable = false;
        c.text = "The close-out file could not be read.";
    } else {
        c.text = text.str();
    }
    return c;
}

// tillora-summary prints nothing: a printer system without printers.
class NoPrinters : public PrinterSystem {
  public:
    std::size_t count() const override { return 0; }

  protected:
    Printer& at(std::size_t) override { throw PrinterError("no printer"); }
};

// A private report database with the tables of the installation's one, removed at the end, so
// that the gather steps of the page never touch the work table of a report printing meanwhile.
class ScratchReportDatabase {
  public:
    explicit ScratchReportDatabase(Station& s) {
        std::string folder = (fs::temp_directory_path() / "tillora-summary-XXXXXX").string();
        if (::mkdtemp(folder.data()) == nullptr) {
            throw FileError("cannot create a temporary folder in " +
                            fs::temp_directory_path().string());
        }
        folder_ = folder;
        const fs::path file = folder_ / "report.db";
        auto scratch = Database::open(file, OpenMode::Create, Durability::Scratch);
        auto installed = open_report_db(s);
        Recordset schema = installed->open_recordset(
            "select sql from sqlite_master where sql is not null and name not like 'sqlite%' "
            "order by case type when 'table' then 0 else 1 end");
        for (; !schema.eof(); schema.move_next())
            scratch->execute(schema.field(std::size_t{0}).as_text());
        scratch->idle();
        s.st.rptdb = file.string();
    }
    ~ScratchReportDatabase() {
        std::error_code ignored;
        if (!folder_.empty()) fs::remove_all(folder_, ignored);
    }
    ScratchReportDatabase(const ScratchReportDatabase&) = delete;
    ScratchReportDatabase& operator=(const ScratchReportDatabase&) = delete;

  private:
    fs::path folder_;
};

long days_between(std::int32_t from, std::int32_t to) {
    using namespace std::chrono;
    const auto day = [](std::int32_t d) {
        return sys_days{year_month_day{year{d / 10000}, month{static_cast<unsigned>(d / 100 % 100)},
                                       std::chrono::day{static_cast<unsigned>(d % 100)}}};
    };
    return (day(to) - day(from)).count();
}

}  // namespace

std::string closeout_page_name(const ModuleState& st) {
    std::string name = st.closeoutfile;
    if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".txt") == 0)
        name.resize(name.size() - 4);
    return name + ".html";
}

void write_closeout_page(Station& s) {
    try {
        const DayFigures figures = gather_day_figures(s);
        PageHeading heading{s.st.unitstr, s.st.fromdate, s.st.todate, made_text(s.svc.clock),
                            read_closeout_text(s)};
        replace_private_file(s.path(closeout_page_name(s.st)), render_day_page(heading, figures));
    } catch (const std::exception& e) {
        report_failure(s, "Day page", e.what());
    }
}

int write_range_page(const RangeRequest& request, std::ostream& out, std::ostream& err) {
    UnattendedUi ui(err);
    NoPrinters printers;
    SystemClock clock;
    Station s(Services{ui, printers, clock, request.home});
    if (!read_node_file(s.st, s.svc)) return 1;
    s.st.unitstr = two_digit_unit(s.st.posunit);
    s.st.closeoutmode = 1;  // nobody to answer: no question, no missing-file message
    s.form.txtfromdate.text = std::to_string(request.from);
    s.form.txttodate.text = std::to_string(request.to);
    const std::string range = s.form.txtfromdate.text + "-" + s.form.txttodate.text;
    const fs::path page = request.out.empty()
                              ? request.home / ("summary" + s.st.unitstr + "-" + range + ".html")
                              : request.out;
    SummaryProgress progress;
    if (days_between(request.from, request.to) >= 7) {
        progress = [&](const std::string& what) {
            err << "tillora-summary: " << range << ": " << what << "\n" << std::flush;
        };
    }
    try {
        ScratchReportDatabase scratch(s);
        const DayFigures figures = gather_day_figures(s, progress);
        std::set<std::string> reasons;
        for (const auto& [section, why] : figures.missing) {
            if (reasons.insert(why).second) {
                err << "tillora-summary: a part of the page is not available: " << why << "\n";
            }
        }
        const PageHeading heading{s.st.unitstr, request.from, request.to, made_text(clock), {}};
        replace_private_file(page, render_day_page(heading, figures));
    } catch (const StoreError& e) {
        err << "tillora-summary: " << (e.database().empty() ? "" : e.database() + ": ")
            << e.engine_message() << "\n";
        return 1;
    } catch (const std::exception& e) {
        err << "tillora-summary: " << e.what() << "\n";
        return 1;
    }
    out << page.string() << "\n";
    return 0;
}

}  // namespace tillora
