// What the receipt printer type decides: the font set on the printer and the receipt width.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/module_state.h"
#include "app/services.h"

namespace tillora {

struct PrinterType {
    const char* font;        // device font name set on the printer
    std::size_t dash_width;  // width of dashline
};

// Printer types 1-4; any other type prints as type 0 ("Printer 16cpi", 40 wide).
PrinterType printer_type(std::int16_t type);

// The set-up start-up runs so that reports printing before any printer selection have a
// printer, a dashline and a blankline: selects printer localprinter when it exists, sets the font
// of printertype, builds dashline and blankline. Never fails.
void initial_printer_setup(ModuleState& st, Services& svc);

}  // namespace tillora
