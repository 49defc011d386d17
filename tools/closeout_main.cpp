// tillora-closeout [--date YYYYMMDD|yesterday] [--add-indexes]: the nightly close-out, run by
// the tillora-closeout timer or cron (the exit status is the close-out's own), or the one-off
// building of the indexes an older store lacks.
#include <iostream>

#include "app/services.h"
#include "platform/clock.h"
#include "reports/other/closeout.h"

int main(int argc, char** argv) {
    using namespace tillora;
    return run_program(
        closeout_program(), argc, argv,
        [&](const CommandLine& line) {
            if (line.has("add-indexes"))
                return add_store_indexes(installation_folder(argv[0]), std::cerr);
            const std::string command =
                closeout_command_for(line.value("date", "yesterday"), SystemClock().now());
            return run_closeout(installation_folder(argv[0]), command, std::cerr,
                                "tillora-closeout [--date YYYYMMDD|yesterday]");
        },
        std::cout, std::cerr);
}
