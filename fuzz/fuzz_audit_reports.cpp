// The audit-line readers of every report that reads the audit or error file, driven through the
// report handlers: the fuzz input is the audit file and the error file of a small installation.
#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "panel/form_load.h"
#include "platform/clock.h"
#include "platform/printer.h"
#include "platform/ui.h"
#include "reports/other/report_buttons.h"
#include "reports/tender/poa_detail.h"
#include "tools/demo_data.h"

namespace {

namespace fs = std::filesystem;

// A printer that takes every line and keeps none.
class NullPrinterSystem : public tillora::PrinterSystem {
  public:
    std::size_t count() const override { return 1; }

  protected:
    tillora::Printer& at(std::size_t) override { return printer_; }

  private:
    struct NullPrinter : tillora::Printer {
        std::string name() const override { return "null"; }
        void set_font(const std::string&) override {}
        void set_attribute(bool) override {}
        void print_line(const std::string&) override {}
        void end_job() override {}
    } printer_;
};

// The installation, made once per fuzzing process and removed when it ends.
struct Installation {
    Installation()
        : home(fs::temp_directory_path() / ("tillora-fuzz-" + std::to_string(getpid()))) {
        fs::remove_all(home);
        tillora::demo::DemoOptions o;
        o.folder = home;
        o.days = 1;
        o.tickets = 2;
        o.start = 20200904;
        tillora::demo::make_demo_installation(o);
    }
    ~Installation() {
        std::error_code ignored;
        fs::remove_all(home, ignored);
    }
    fs::path home;
};

const fs::path& installation() {
    static const Installation made;
    return made.home;
}

void write(const fs::path& file, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tillora;
    const fs::path& home = installation();
    write(home / "audit03.txt", data, size);
    write(home / "error03.txt", data, size);
    ScriptedUi ui;
    NullPrinterSystem printers;
    FixedClock clock{DateTime{2020, 9, 4, 23, 30, 0}};
    Station s(Services{ui, printers, clock, home});
    connect_reports(s);
    form_load(s, "");
    s.form.txtfromdate.text = "20200101";
    s.form.txttodate.text = "20201231";
    for (const char* button :
         {"cmdaudit", "cmdpaidinpaidout", "cmdticketcount", "cmdserver5", "cmdbalancedrawer"}) {
        click_report_button(s, button);
        if (s.st.reportbusy != 0) __builtin_trap();  // the next report would be turned away
    }
    print_poa_detail(s);
    if (s.st.reportbusy != 0) __builtin_trap();
    return 0;
}
