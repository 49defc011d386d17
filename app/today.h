// The start-up date: today as the platform writes it and as a YYYYMMDD number.
#pragma once

#include <string>

#include "app/module_state.h"
#include "platform/clock.h"

namespace tillora {

// Sets today to the current date text (MM-DD-YYYY) and todaynum to YYYYMMDD built from it.
void run_today(ModuleState& st, const Clock& clock);

// The current year: the last four characters of the current date text.
std::string current_year(const Clock& clock);

}  // namespace tillora
