// The records of the export and history files: every field in double quotes, fields separated by
// commas, CR LF at the end; values in their default text form, null as empty text.
#pragma once

#include <string>
#include <vector>

#include "platform/store.h"
#include "platform/value.h"

namespace tillora {

// "f1","f2",...,"fn" followed by CR LF. Quotes inside a value are written as they are.
std::string quoted_record(const std::vector<std::string>& fields);

// The export reference: the ticket as text, trimmed, zero-padded and cut to its last 7
// characters, followed by poschitnum; of that the last 10 characters (ticket 123 with
// poschitnum 345 gives 0000123345, with 45 the nine characters 000012345).
std::string export_reference(const Value& ticket, const Value& poschitnum);

// True for the lines the export leaves out: tender lines (itemnumber -1) of tender type 9.
bool skipped_by_export(const Recordset& row);

// True for a line the export pass writes: status 2 or 3, a total other than 0 (null is none),
// not skipped_by_export.
bool awaits_export(const Recordset& row);
// True for a line a re-export writes: status 4 or more, a total, not skipped_by_export.
bool awaits_reexport(const Recordset& row);
// True for a line the history pass writes: status above -10 and below 8, not awaiting export.
bool goes_to_history(const Recordset& row);

// The 18 fields of the export record of the current row of an xact set. Throws StoreError when
// the set lacks one of the exported columns.
std::vector<std::string> export_fields(const Recordset& row, const std::string& unitstr);

// Every field of the current row, in the order of the set's columns (the table's order for
// "select *").
std::vector<std::string> history_fields(const Recordset& row);

}  // namespace tillora
