#include "reports/other/closeout.h"

#include <cctype>

#include "panel/form_load.h"
#include "panel/station.h"
#include "platform/clock.h"
#include "platform/printer.h"
#include "platform/ui.h"
#include "reports/other/report_buttons.h"

namespace tillora {

namespace {

// The business date of the command line must be a number (YYYYMMDD or a session number).
bool plausible_business_date(const std::string& date) {
    if (date.empty()) return false;
    for (char c : date) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

}  // namespace

bool is_closeout_command(const std::string& command_line) {
    return command_line.rfind("KVRUN", 0) == 0;
}

int run_closeout(const std::filesystem::path& home, const std::string& command_line,
                 std::ostream& err) {
    UnattendedUi ui(err);
    SystemClock clock;
    std::unique_ptr<PrinterSystem> printers = make_printer_system();
    Station s(Services{ui, *printers, clock, home});
    connect_reports(s);
    const std::string date = command_line.substr(5);
    if (!plausible_business_date(date)) {
        const std::string why = "the business date \"" + date +
                                "\" after KVRUN is not a date (YYYYMMDD) or a session number";
        s.failures.push_back(why);
        err << "tillora-reports: " << why << "\n";
    }
    form_load(s, command_line);
    form_unload(s);
    if (!s.failures.empty()) {
        err << "tillora-reports: close-out finished with " << s.failures.size() << " failure(s)\n";
        return 1;
    }
    return 0;
}

}  // namespace tillora
