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
#include "platform/printer.h"
#include "reports/other/closeout.h"
#include "reports/other/report_buttons.h"

namespace {

// The program's arguments as one command line.
std::string command_line(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    return line;
}

int run_window(QApplication& app, const std::filesystem::path& home, const std::string& command) {
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
    window.show();
    window.place_on_screen();
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path home = tillora::installation_folder(argv[0]);
    // The close-out runs from cron on machines without a display: no Qt at all.
    if (const std::string line = command_line(argc, argv); tillora::is_closeout_command(line)) {
        return tillora::run_closeout(home, line, std::cerr);
    }
    if (!tillora::gui::display_available(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                                         std::getenv("QT_QPA_PLATFORM"))) {
        std::cerr << tillora::gui::kNoDisplayMessage << '\n';
        return 2;
    }
    QApplication app(argc, argv);
    // Qt has taken its own options (-platform, -display ...) out of argv.
    const std::string command = command_line(argc, argv);
    try {
        return run_window(app, home, command);
    } catch (const std::exception& error) {
        std::cerr << "tillora-reports: " << error.what() << '\n';
        return 1;
    }
}
