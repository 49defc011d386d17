// tillora-reports built without the window: the unattended close-out only.
#include <iostream>
#include <string>

#include "app/services.h"
#include "reports/other/closeout.h"

int main(int argc, char** argv) {
    const std::string command_line = argc > 1 ? argv[1] : "";
    if (!tillora::is_closeout_command(command_line)) {
        std::cerr << "tillora-reports: this build has no window; run KVRUN<date> for the "
                     "unattended close-out\n";
        return 2;
    }
    return tillora::run_closeout(tillora::installation_folder(argv[0]), command_line, std::cerr);
}
