// The workstation audit file: its name, the entry this module appends, the date keys readers use.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "panel/station.h"
#include "platform/store.h"

namespace tillora {

// "audit" + unitstr + ".txt" and "error" + unitstr + ".txt" (names as shown in messages).
std::string audit_file_name(const ModuleState& st);
std::string error_file_name(const ModuleState& st);

// Appends "MMDDYYYY\HH:MM\E#<empid>\<auditline>" to the audit file, then empties auditline and
// yields. Throws FileError when the line cannot be written.
void append_audit_entry(Station& s);

// Appends "<entry>-" + the ID as typed + `suffix` to the audit file (the entry of a finished
// report or export). A file that cannot be written gives an "Oops..." message naming the file;
// the work itself is done all the same.
void append_operator_audit_entry(Station& s, const std::string& entry,
                                 const std::string& suffix = "");

// Hands every line of an audit or error file to `on_line`; the window repaints while a year's
// file (tens of megabytes) is read. Throws FileError.
void for_each_file_line(Station& s, const std::filesystem::path& path,
                        const std::function<void(const std::string&)>& on_line);

// `on_line` wrapped so that the window repaints every few hundred lines handed to it.
std::function<void(const std::string&)> repainting_lines(
    Station& s, std::function<void(const std::string&)> on_line);

// Calls `on_line` for every line of an audit or error file that line_in_keys puts between the
// keys, in file order, the lines exactly as for_each_file_line cuts them. Reads only the lines
// of the keys through the file's line index, kept in the work database (`work_db` when the
// caller has it open, else a connection of its own) and in Station::line_indexes; a work
// database that cannot be read or written only costs a whole read. Throws FileError.
void for_each_line_in_keys(Station& s, const std::filesystem::path& path,
                           const std::string& from_key, const std::string& to_key,
                           const std::function<void(const std::string&)>& on_line,
                           Database* work_db = nullptr);

// MMDDYYYY key of a date box holding YYYYMMDD (characters 5-6, 7-8, 1-4; shorter texts give
// what is there).
std::string mmddyyyy_key(const std::string& yyyymmdd);
// MM-DD-YYYY key of the same box text.
std::string dashed_key(const std::string& yyyymmdd);
// True when the first key.size() characters of `line` lie between the keys (text comparison).
bool line_in_keys(const std::string& line, const std::string& from_key, const std::string& to_key);

}  // namespace tillora
