#include "export/export_transactions.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "engine/audit_file.h"
#include "engine/pipeline.h"
#include "engine/question.h"
#include "export/earlier_files.h"
#include "export/error_explanation.h"
#include "export/export_lock.h"
#include "export/export_record.h"
#include "export/marked_pass.h"
#include "panel/range.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace tillora {

namespace {

constexpr int kExportedStatus = 6;
constexpr int kHistoryStatus = 7;

// What the error path tells about a run that stopped.
struct ExportProgress {
    PassProgress exported;
    PassProgress history;
};

struct ExportFiles {
    fs::path export_file;
    fs::path history_file;
    fs::path card_file;
};

ExportFiles export_files(const Station& s) {
    const ModuleState& st = s.st;
    return {s.path(st.exportdir + "export" + st.unitstr + ".csv"),
            s.path(st.exportdir + "kovrax" + st.unitstr + ".csv"),
            s.path(st.exportdir + "ccard" + st.unitstr + ".csv")};
}

std::string date_range(const ModuleState& st) {
    return " and poschitdate between " + std::to_string(st.fromdate) + " and " +
           std::to_string(st.todate);
}

std::string export_selection(const ModuleState& st, const std::string& status_condition) {
    return "select * from xact where " + status_condition + " and poschittotal <> 0" +
           date_range(st) + " order by poschitnum";
}

std::string history_selection(const ModuleState& st) {
    return "select * from xact where status > -10 and status < 8" + date_range(st) +
           " order by poschitnum";
}

bool confirm_range(Station& s) {
    ModuleState& st = s.st;
    st.title = Value("Export Transactions");
    st.msg = "Export transactions from and including " + std::to_string(st.fromdate) +
             "\nto and including " + std::to_string(st.todate) +
             "\nClick YES to continue; no to stop now.";
    return ask_yes_no(s);
}

bool confirm_reexport(Station& s) {
    s.st.title = Value("Re-export transactions?");
    s.st.msg =
        "Transactions for the chosen date range have either already been\n"
        "exported or they do not exist on this workstation.\n\n"
        "Caution: Re-exporting and re-importing transactions\n"
        "can double-up data in the A/R system.\n\n"
        "Would you like to try to re-export them?";
    return ask_yes_no(s);
}

enum class Selected { Nothing, NotYetSent, SentBefore };

// The rows to export: the closed rows not yet exported or, when there are none and the
// operator agrees, the rows exported before.
Selected select_export_rows(Station& s, Database& db, Recordset& rows) {
    ModuleState& st = s.st;
    st.sqlstring = export_selection(st, "(status = 2 or status = 3)");
    rows = db.open_recordset(st.sqlstring, SetKind::Updatable);
    if (rows.record_count() > 0) return Selected::NotYetSent;
    if (!confirm_reexport(s)) return Selected::Nothing;
    rows.close();
    st.sqlstring = export_selection(st, "status >= 4");
    rows = db.open_recordset(st.sqlstring, SetKind::Updatable);
    if (rows.record_count() > 0) return Selected::SentBefore;
    st.msg = "Completed transactions for the chosen date\nrange do not exist on this workstation.";
    s.message(st.msg, "Oops...", Icon::Information);
    return Selected::Nothing;
}

// The export pass takes a row when it still matches its selection as the row is now: the set
// holds the rows that matched when it was opened, and the register may have voided one since.
bool left_out_of_export(const Recordset& row, Selected selected) {
    return selected == Selected::NotYetSent ? !awaits_export(row) : !awaits_reexport(row);
}

// A row written to the export file: status 6 unless it was sent before (a re-export keeps its
// status), and one more export.
void mark_exported(Recordset& row) {
    if (row.field("Status").as_int() < 4) row.set("Status", Value(kExportedStatus));
    const Value& count = row.field("export");
    row.set("export", Value(count.is_null() ? std::int64_t{1} : count.as_int() + 1));
}

void mark_in_history(Recordset& row) {
    row.set("Status", Value(kHistoryStatus));
}

PassRules export_rules(const std::string& unitstr, Selected selected) {
    return {
        [selected](const Recordset& row) { return left_out_of_export(row, selected); },
        [](const Recordset& row) {
            return "Exporting " + export_reference(row.field("ticket"), row.field("poschitnum"));
        },
        [unitstr](const Recordset& row) { return export_fields(row, unitstr); },
        mark_exported,
    };
}

// The history pass takes every line of the range except those still waiting for the export:
// after the export pass such a line can only have come from the register after the export's
// selection, and marking it would keep it out of every later export. A line the register voided
// since the selection is left as well.
PassRules history_rules() {
    return {
        [](const Recordset& row) { return !goes_to_history(row); },
        [](const Recordset& row) { return "Exporting " + default_text(row.field("itemnumber")); },
        history_fields,
        mark_in_history,
    };
}

void run_export(Station& s, std::unique_ptr<Database>& db, ExportProgress& progress) {
    ModuleState& st = s.st;
    st.dbpath = st.xactdb.empty() ? std::string() : (s.svc.home / st.xactdb).string();
    db = open_database_at(s, st.dbpath);
    // The export's commits copy the log into the database file only every 32 MB instead of 4:
    // a page the batches keep changing (an index's page for one server or tender) is then
    // copied once for many batches. The register's own commits keep their setting.
    db->execute("pragma wal_autocheckpoint = 8000");
    Recordset rows;
    const Selected selected = select_export_rows(s, *db, rows);
    if (selected == Selected::Nothing) return;

    // The files of the previous run are kept beside the new ones, never deleted: after a run
    // that failed or was killed, the earlier export may be the only record of rows it marked.
    const ExportFiles files = export_files(s);
    const DateTime now = s.svc.clock.now();
    for (const fs::path& file : {files.export_file, files.history_file, files.card_file}) {
        keep_earlier_file(file, now);
    }
    s.yield();

    write_and_mark(s, *db, rows, files.export_file, export_rules(st.unitstr, selected),
                   progress.exported);
    rows.close();
    s.yield();

    st.sqlstring = history_selection(st);
    Recordset all = db->open_recordset(st.sqlstring, SetKind::Updatable);
    if (all.record_count() > 0) {
        all.move_first();
        write_and_mark(s, *db, all, files.history_file, history_rules(), progress.history);
    }
    all.close();

    show_status(s, "Export complete");
    st.auditline =
        "Export " + std::to_string(st.fromdate) + "-" + std::to_string(st.todate) + " complete";
    append_audit_entry(s);
}

std::string stopped_status(const ExportProgress& progress) {
    return "Export stopped: " + std::to_string(progress.exported.marked) + " exported, " +
           std::to_string(progress.history.marked) + " in history";
}

}  // namespace

std::string export_folder_of(const std::string& chosen) {
    // The folder is the path up to the first "export" (the file name the dialog proposes); a
    // folder whose own name holds "export" therefore gives its parent, as the A/R import expects.
    const std::size_t slash = chosen.rfind('/');
    const std::size_t name_start = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t at = chosen.find("export");
    if (at != std::string::npos) return chosen.substr(0, at);
    std::error_code ec;
    if (fs::is_directory(chosen, ec)) return chosen.back() == '/' ? chosen : chosen + "/";
    return chosen.substr(0, name_start);
}

void export_core(Station& s) {
    const ExportLock lock(s.svc.home);
    if (!lock.acquired()) {
        s.st.msg = "An export is already running. Please wait for it to complete.";
        s.message(s.st.msg, "Oops...", Icon::Information);
        return;
    }
    if (!confirm_range(s)) return;
    ExportProgress progress;
    std::unique_ptr<Database> db;
    try {
        run_export(s, db, progress);
    } catch (...) {
        explain_database_error(s, current_error_code());
        return_to_program_folder(s);
        show_status(s, stopped_status(progress));
    }
    try {
        if (db) db->close();
    } catch (const StoreError&) {
        // Closing after a failure may fail again; the failure has been told.
    }
    db.reset();
    s.yield();
}

void cmdexport1_click(Station& s) {
    ModuleState& st = s.st;
    verifydate(s);
    return_to_program_folder(s);
    const std::string chosen =
        s.svc.ui.file_dialog({"Select Export Destination", s.svc.home.string(),
                              "export" + st.unitstr + ".csv", "CSV Files (*.csv)|*.csv"});
    s.yield();
    if (chosen.empty()) {
        st.msg = "Please use the default file name and select the destination.";
        s.message(st.msg, "Oops...", Icon::Information);
        return;
    }
    if (chosen.size() > 1) st.exportdir = export_folder_of(chosen);
    return_to_program_folder(s);
    st.title = Value("Confirm export...");
    st.msg = "Click YES to export now; click NO to cancel export.";
    if (!ask_yes_no(s)) {
        return_to_program_folder(s);
        return;
    }
    export_core(s);
    append_operator_audit_entry(s, "Export Trans");
    return_to_program_folder(s);
}

}  // namespace tillora
