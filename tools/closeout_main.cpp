// tillora-closeout [--date YYYYMMDD|yesterday]: the nightly close-out, run by the
// tillora-closeout timer or cron; the exit status is the close-out's own.
#include <iostream>

#include "app/services.h"
#include "platform/clock.h"
#include "reports/other/closeout.h"

int main(int argc, char** argv) {
    using namespace tillora;
    return run_program(
        closeout_program(), argc, argv,
        [&](const CommandLine& line) {
            const std::string command =
                closeout_command_for(line.value("date", "yesterday"), SystemClock().now());
            return run_closeout(installation_folder(argv[0]), command, std::cerr);
        },
        std::cout, std::cerr);
}
