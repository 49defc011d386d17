// tillora-reports: the workstation reports window, or with KVRUN<date> the unattended close-out.
#include <QApplication>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "app/services.h"
#include "gui/display.h"
#include "gui/layout.h"
#include "gui/main_window.h"
#include "gui/qt_ui.h"
#include "panel/form_load.h"
#include "platform/clock.h"
#include "platform/command_line.h"
#include "platform/printer.h"
#include "reports/other/closeout.h"
#include "reports/other/report_buttons.h"

namespace {

int run_window(QApplication& app, const std::filesystem::path& home, const std::string& command,
               bool full_screen) {
    using namespace tillora;
    app.setFont(gui::ui_font(18));
    gui::QtUi ui;
    SystemClock clock;
    std::unique_ptr<PrinterSystem> printers = make_printer_system();
    Station station(Services{ui, *printers, clock, home});
    connect_reports(station);

    gui::MainWindow window(station);
    ui.attach(&window);
    ui.on_yield = [&window] { window.refresh(); };
    station.on_change = [&window] { window.refresh(); };
    window.place_on_screen();
    try {
        form_load(station, command);
    } catch (const std::exception& error) {
        ui.message_box(std::string("The workstation could not be started: ") + error.what(),
                       "Oops...", Icon::Critical);
        return 1;
    }
    if (station.form.closed) {
        form_unload(station);
        return 0;
    }
    window.refresh();
    if (full_screen) {
        window.showFullScreen();
    } else {
        window.show();
        window.place_on_screen();
    }
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tillora;
    return run_program(
        reports_program(), argc, argv,
        [&](const CommandLine& line) {
            const std::filesystem::path home = installation_folder(argv[0]);
            const std::string command = line.operands.empty() ? "" : line.operands.front();
            // The close-out runs from cron on machines without a display: no Qt at all.
            if (is_closeout_command(command)) return run_closeout(home, command, std::cerr);
            if (!gui::display_available(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                                        std::getenv("QT_QPA_PLATFORM"))) {
                std::cerr << gui::kNoDisplayMessage << '\n';
                return 2;
            }
            int qt_argc = 1;
            QApplication app(qt_argc, argv);
            try {
                return run_window(app, home, command, line.has("full-screen"));
            } catch (const std::exception& error) {
                std::cerr << "tillora-reports: " << error.what() << '\n';
                return 1;
            }
        },
        std::cout, std::cerr);
}
