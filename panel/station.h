// One program run: the module variables, the main window's model and the platform services.
// Every handler of the window and every report takes the station it works on.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/module_state.h"
#include "app/services.h"
#include "panel/form_model.h"
#include "panel/preview.h"
#include "panel/work.h"
#include "platform/line_index.h"

namespace tillora {

struct Station {
    explicit Station(Services services) : svc(services) {}

    ModuleState st;
    FormModel form;
    Services svc;

    // Reports that could not run in this program run (the unattended run exits non-zero when
    // there is any), one line each.
    std::vector<std::string> failures;
    // The print-all batch, supplied by the report layer (start-up calls it in the unattended run).
    std::function<void(Station&)> print_all;
    // Called after the model changed outside an event handler (the window repaints from it).
    std::function<void()> on_change;
    // The on-screen receipt view, and the report or batch running now.
    Preview preview;
    Work work;
    // The line indexes of the audit and error files read in this run.
    LineIndexes line_indexes;

    // Yields to the message loop.
    void yield() { svc.ui.yield(); }
    // Shows a message box with an OK button.
    void message(const std::string& text, const std::string& title, Icon icon = Icon::Information);
    std::filesystem::path path(const std::string& name) const { return svc.resolve(name); }
};

}  // namespace tillora
