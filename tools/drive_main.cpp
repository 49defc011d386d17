// tillora-drive [--home DIR] [--now YYYY-MM-DDTHH:MM:SS] SCRIPT
// Runs the interactive start-up headless with the spool printer, then the script's operator
// actions, printing every box shown. Exit status 0 done, 1 program fault, 2 usage or script error.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "app/services.h"
#include "panel/station.h"
#include "platform/clock.h"
#include "platform/command_line.h"
#include "platform/printer.h"
#include "platform/ui.h"
#include "reports/other/report_buttons.h"
#include "tools/drive_script.h"

namespace fs = std::filesystem;
using namespace tillora;

namespace {

const ProgramSpec& drive_program() {
    static const ProgramSpec spec{
        "tillora-drive",
        "SCRIPT",
        "Runs the window's logic headless from a script of operator actions (focus, type, key,\n"
        "keypad, click, answer, input, file, show; \"-\" reads standard input) and prints every\n"
        "message box; reports go to the spool printer (TILLORA_SPOOL, else HOME/spool).\n",
        {{"home", 0, "DIR", "the installation folder (default: the usual installation folder)"},
         {"now", 0, "YYYY-MM-DDTHH:MM:SS", "a fixed clock instead of the real time"}},
        1,
        1,
        "Exit status: 0 the script ran; 1 a program fault; 2 a usage or script error.\n"};
    return spec;
}

// The driver always prints to a spool printer: TILLORA_SPOOL, otherwise <home>/spool.
fs::path spool_folder(const fs::path& home) {
    if (const char* env = std::getenv("TILLORA_SPOOL"); env != nullptr && *env != '\0') {
        return fs::absolute(env);
    }
    return home / "spool";
}

// Runs the script of the command line; returns the driver's exit status.
int drive(const CommandLine& line, const char* argv0) {
    const fs::path home =
        line.has("home") ? fs::absolute(line.value("home")) : installation_folder(argv0);
    const std::string script_name = line.operands.front();
    std::unique_ptr<Clock> clock;
    if (!line.has("now")) {
        clock = std::make_unique<SystemClock>();
    } else {
        DateTime t;
        if (!parse_date_time(line.value("now"), t)) {
            throw UsageError("--now must be YYYY-MM-DDTHH:MM:SS");
        }
        clock = std::make_unique<FixedClock>(t);
    }

    std::ifstream file;
    std::istream* script = &std::cin;
    if (script_name != "-") {
        file.open(script_name);
        if (!file) throw UsageError("cannot read the script " + script_name);
        script = &file;
    }

    const fs::path spool = spool_folder(home);
    std::error_code ec;
    fs::create_directories(spool, ec);
    if (ec) {
        std::cerr << "tillora-drive: cannot create the spool folder " << spool << ": "
                  << ec.message() << "\n";
        return kScriptFailed;
    }

    ScriptedUi ui(&std::cout);
    SpoolPrinterSystem printers(spool);
    Station s(Services{ui, printers, *clock, home});
    connect_reports(s);
    const int status = run_script(*script, s, std::cout, std::cerr);
    std::cout.flush();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    return run_program(
        drive_program(), argc, argv, [&](const CommandLine& line) { return drive(line, argv[0]); },
        std::cout, std::cerr);
}
