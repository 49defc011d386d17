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
#include "platform/printer.h"
#include "platform/ui.h"
#include "reports/other/report_buttons.h"
#include "tools/drive_script.h"

namespace fs = std::filesystem;
using namespace tillora;

namespace {

struct Options {
    fs::path home;
    std::string now;
    std::string script;
};

int usage(const std::string& why) {
    std::cerr << "tillora-drive: " << why << "\n"
              << "usage: tillora-drive [--home DIR] [--now YYYY-MM-DDTHH:MM:SS] SCRIPT\n";
    return kScriptError;
}

// Reads the options; returns false with the reason in `why`.
bool parse_options(int argc, char** argv, Options& o, std::string& why) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--home" || arg == "--now") && i + 1 >= argc) {
            why = arg + " needs a value";
            return false;
        }
        if (arg == "--home") {
            o.home = fs::absolute(argv[++i]);
        } else if (arg == "--now") {
            o.now = argv[++i];
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            why = "unknown option " + arg;
            return false;
        } else if (o.script.empty()) {
            o.script = arg;
        } else {
            why = "only one script may be given";
            return false;
        }
    }
    if (o.script.empty()) {
        why = "no script given";
        return false;
    }
    if (o.home.empty()) o.home = installation_folder(argc > 0 ? argv[0] : nullptr);
    return true;
}

// The driver always prints to a spool printer: TILLORA_SPOOL, otherwise <home>/spool.
fs::path spool_folder(const fs::path& home) {
    if (const char* env = std::getenv("TILLORA_SPOOL"); env != nullptr && *env != '\0') {
        return fs::absolute(env);
    }
    return home / "spool";
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    std::string why;
    if (!parse_options(argc, argv, o, why)) return usage(why);

    std::unique_ptr<Clock> clock;
    if (o.now.empty()) {
        clock = std::make_unique<SystemClock>();
    } else {
        DateTime t;
        if (!parse_date_time(o.now, t)) return usage("--now must be YYYY-MM-DDTHH:MM:SS");
        clock = std::make_unique<FixedClock>(t);
    }

    std::ifstream file;
    std::istream* script = &std::cin;
    if (o.script != "-") {
        file.open(o.script);
        if (!file) return usage("cannot read the script " + o.script);
        script = &file;
    }

    const fs::path spool = spool_folder(o.home);
    std::error_code ec;
    fs::create_directories(spool, ec);
    if (ec) {
        std::cerr << "tillora-drive: cannot create the spool folder " << spool << ": "
                  << ec.message() << "\n";
        return kScriptFailed;
    }

    ScriptedUi ui(&std::cout);
    SpoolPrinterSystem printers(spool);
    Station s(Services{ui, printers, *clock, o.home});
    connect_reports(s);
    const int status = run_script(*script, s, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
