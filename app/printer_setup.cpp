#include "app/printer_setup.h"

#include <exception>
#include <string>

namespace tillora {

PrinterType printer_type(std::int16_t type) {
    switch (type) {
        case 1:
            return {"FontB11", 39};
        case 2:
            return {"Printer 16cpi", 39};
        case 3:
            return {"FontA11", 39};
        case 4:
            return {"Printer 17cpi", 39};
        default:
            return {"Printer 16cpi", 40};
    }
}

void initial_printer_setup(ModuleState& st, Services& svc) {
    const PrinterType t = printer_type(st.printertype);
    try {
        svc.printers.select(st.localprinter);
    } catch (const std::exception&) {
        // Reports then print on the first installed printer, if any.
    }
    try {
        svc.printers.current().set_font(t.font);
    } catch (const std::exception&) {
        // No printer installed: the first report says so.
    }
    st.dashline = std::string(t.dash_width, '-');
    st.blankline = std::string(39, ' ');
}

}  // namespace tillora
