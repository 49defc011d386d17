// The database error explanation of the export: the failure's code and description with the
// list of codes an operator may meet, in a message box titled "Quillon Codes".
#pragma once

#include <exception>
#include <string>

#include "panel/station.h"

namespace tillora {

// A failure as the explanation shows it: a code of the list (or a classic run-time code), the
// code's description and the engine's or the system's own message.
struct ErrorCode {
    int code = 0;
    std::string description;
};

// Codes of the list for the store's failures of the same meaning.
inline constexpr int kDatabaseMissing = 53;  // the database file does not exist
inline constexpr int kFieldMissing = 3018;   // no such column
inline constexpr int kTableMissing = 3024;   // no such table
inline constexpr int kDamaged = 3049;        // not a database, or damaged
inline constexpr int kLocked = 3186;         // locked or busy: another user has it
// Classic run-time codes for the other failures.
inline constexpr int kInternalError = 51;     // anything unforeseen
inline constexpr int kDeviceError = 57;       // an input/output error of the disk
inline constexpr int kDiskFull = 61;          // no space left on the device (or over quota)
inline constexpr int kPermissionDenied = 70;  // no permission, or a read-only file system
inline constexpr int kPathAccessError = 75;   // refused: a symbolic link or a special file
inline constexpr int kPathNotFound = 76;      // the chosen folder does not exist

// The code and description of the exception being handled: the store's engine codes mapped to
// the list's codes above where the meaning is the same and to the run-time codes otherwise; a
// FileError by its cause; anything else 51. The description is the code's own text followed by
// the engine's or the system's message. Call only inside a catch block.
ErrorCode current_error_code();

// "Code <code> - <description>", a blank line and the list of known codes.
std::string error_explanation_text(const ErrorCode& error);

// Shows the explanation: information icon, title "Quillon Codes"; the text goes through msg.
void explain_database_error(Station& s, const ErrorCode& error);

}  // namespace tillora
