#include "reports/other/closeout_command.h"

#include <algorithm>

namespace tillora {

namespace {

constexpr const char* kInstallationHelp =
    "The installation folder is TILLORA_HOME when set, else the folder named on the one line of\n"
    "/etc/tillora/home, else /var/lib/tillora (a program run from its build folder uses that\n"
    "folder). TILLORA_SPOOL names a folder to print into instead of the CUPS printers.\n";

constexpr const char* kCloseoutStatuses =
    "Exit status of the close-out: 0 every report ran (nothing is written on standard output\n"
    "or standard error); 1 a report or the start-up failed (one line each on standard error and\n"
    "in the close-out file); 2 a bad argument or business date (nothing is written); 3 another\n"
    "close-out of the same installation is running (nothing is touched).\n";

}  // namespace

std::string closeout_date_problem(const std::string& date, std::int32_t session) {
    if (session == 0) {
        if (is_calendar_date(date)) return "";
        return "the business date \"" + date +
               "\" after KVRUN is not a calendar date YYYYMMDD (this workstation does not count "
               "sessions)";
    }
    const bool digits =
        !date.empty() && date.size() <= 9 &&
        std::all_of(date.begin(), date.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits && std::stol(date) > 0) return "";
    return "the session number \"" + date +
           "\" after KVRUN is not a positive whole number (this workstation counts sessions)";
}

const ProgramSpec& reports_program() {
    static const ProgramSpec spec{
        "tillora-reports",
        "[KVRUN<date>]",
        "Shows the workstation reports window (a display is needed). With KVRUN<date> it runs the\n"
        "unattended close-out of that business day instead: every report into the close-out file\n"
        "closeoutNN-<date>.txt and one request line into kovra.req; no display, never waits.\n"
        "<date> is YYYYMMDD, or the session number when the workstation counts sessions.\n",
        {{"full-screen", 0, "", "show the window full screen (kiosk start)"}},
        0,
        1,
        std::string(kCloseoutStatuses) + "\n" + kInstallationHelp};
    return spec;
}

const ProgramSpec& closeout_program() {
    static const ProgramSpec spec{
        "tillora-closeout",
        "",
        "Runs the nightly close-out of the installation: tillora-reports KVRUN<date> for the\n"
        "business day that just ended (yesterday) or the day given.\n",
        {{"date", 'd', "YYYYMMDD|yesterday",
          "the business day to close out (default yesterday); the session\n"
          "number where the workstation counts sessions"},
         {"add-indexes", 0, "",
          "build the indexes an older transaction database lacks, then\n"
          "exit; the register cannot write meanwhile (minutes on years of\n"
          "lines): run it once after an upgrade, while the register is closed"}},
        0,
        0,
        std::string(kCloseoutStatuses) + "\n" + kInstallationHelp};
    return spec;
}

std::string closeout_command_for(const std::string& date, const DateTime& now) {
    if (date == "yesterday") return "KVRUN" + date_number_text(add_days(now, -1));
    return "KVRUN" + date;
}

}  // namespace tillora
