// The database error explanation of the export: the failure's code and description with the
// list of codes an operator may meet, in a message box titled "Quillon Codes".
#pragma once

#include <exception>
#include <string>

#include "panel/station.h"

namespace tillora {

// A failure as the explanation shows it.
struct ErrorCode {
    int code = 0;
    std::string description;
};

// Codes for failures that are not the engine's own.
inline constexpr int kInternalError = 51;    // anything unforeseen
inline constexpr int kDiskFull = 61;         // no space left on the device (or over quota)
inline constexpr int kPathAccessError = 75;  // file or folder cannot be created or written
inline constexpr int kPathNotFound = 76;     // the chosen folder does not exist

// The code and description of the exception being handled: a StoreError gives the engine's code
// and message, a FileError 61, 75 or 76 by its cause with the error text, anything else 51.
// Call only inside a catch block.
ErrorCode current_error_code();

// "Code <code> - <description>", a blank line and the list of known codes.
std::string error_explanation_text(const ErrorCode& error);

// Shows the explanation: information icon, title "Quillon Codes"; the text goes through msg.
void explain_database_error(Station& s, const ErrorCode& error);

}  // namespace tillora
