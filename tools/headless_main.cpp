// tillora-reports built without the window: the unattended close-out only.
#include <iostream>
#include <string>

#include "app/services.h"
#include "platform/command_line.h"
#include "reports/other/closeout.h"

int main(int argc, char** argv) {
    using namespace tillora;
    return run_program(
        reports_program(), argc, argv,
        [&](const CommandLine& line) {
            const std::string command = line.operands.empty() ? "" : line.operands.front();
            if (!is_closeout_command(command)) {
                std::cerr << "tillora-reports: this build has no window; run KVRUN<date> for the "
                             "unattended close-out\n";
                return kUsageExitStatus;
            }
            return run_closeout(installation_folder(argv[0]), command, std::cerr);
        },
        std::cout, std::cerr);
}
