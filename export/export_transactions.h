// Export Transactions: the closed transactions of the date range written to the export file for
// the A/R system and to the history file, the exported rows marked in xact, the export recorded
// in the audit file.
#pragma once

#include <string>

#include "panel/station.h"

namespace tillora {

// The "Export Transactions" button: asks for the destination (file dialog), confirms, runs the
// export core and appends the "Export Trans-" audit entry whatever the core did. An empty
// dialog result ends with an "Oops..." message. Never throws: failures are shown.
void cmdexport1_click(Station& s);

// The export core over fromdate..todate into exportdir: asks first, writes the export and
// history files, marks the rows (status 6 and the export counter, then status 7; a closed line
// that arrives after the export's selection is left for the next export), appends the
// "Export F-T complete" audit entry. Any failure is shown with the database error explanation;
// rows already marked are in the files. While another export runs on the installation it only
// says so ("Oops..."). Never throws.
void export_core(Station& s);

// The export folder taken from the dialog's path: the text before "export" (case-sensitive) in
// the chosen file name, so "/srv/exports/export03.csv" gives "/srv/exports/"; for a name without
// it, the folder of the chosen file (the path itself with a trailing "/" when it is a folder).
std::string export_folder_of(const std::string& chosen);

}  // namespace tillora
