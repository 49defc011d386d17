#include "export/error_explanation.h"

#include <cerrno>
#include <cstring>

#include "export/record_file.h"
#include "platform/files.h"
#include "platform/store.h"

namespace tillora {

namespace {

constexpr const char* kKnownCodes[] = {
    "FYI - other possible codes and their explanations",
    "    13 = An alpha character exists for a numeric field",
    "    53 = A database is missing. Call Harbrook.",
    "3018 = Data field is missing. Call Harbrook.",
    "3021 = There is no data available",
    "3022 = Duplicate: the number for this record already exists",
    "3024 = Data file or table is missing. Run UPDATE",
    "3043 = Exit Quillon, restart and try again.",
    "3049 = Corrupt database - use the Database Repair Tool",
    "3186-3188 = Another user is using this database. Try again later.",
    "3000 & 8194 = A database is locked by another user. Try again later.",
    "20500-20900 = Crystal Report errors. Try restarting the computer. ",
    "Other codes - call Harbrook",
};

bool ends_with(const std::string& text, const char* tail) {
    const std::size_t n = std::strlen(tail);
    return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

// The system error behind a FileError: carried by a RecordFileError; the other file services
// end their message with the system's text, which is matched for the causes told apart here.
int error_number_of(const FileError& e) {
    if (const auto* r = dynamic_cast<const RecordFileError*>(&e)) return r->error_number();
    for (int error : {ENOSPC, EDQUOT, ENOENT, ENOTDIR, EACCES, EPERM, EROFS, EIO}) {
        if (ends_with(e.what(), std::strerror(error))) return error;
    }
    return 0;
}

int file_error_code(int error_number) {
    switch (error_number) {
        case ENOSPC:
        case EDQUOT:
            return kDiskFull;
        case ENOENT:
        case ENOTDIR:
            return kPathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
            return kPermissionDenied;
        case EIO:
            return kDeviceError;
        default:
            return kPathAccessError;
    }
}

// The list's code for a store failure of the same meaning, else the run-time code; the store's
// own codes of the list (3021 and the like) stay as they are.
int store_error_code(const StoreError& e) {
    switch (failure_of(e)) {
        case StoreFailure::Missing:
            return kDatabaseMissing;
        case StoreFailure::Locked:
            return kLocked;
        case StoreFailure::Damaged:
            return kDamaged;
        case StoreFailure::DiskFull:
            return kDiskFull;
        case StoreFailure::NoPermission:
            return kPermissionDenied;
        case StoreFailure::CannotOpen:
            return kPathNotFound;
        case StoreFailure::DeviceError:
            return kDeviceError;
        case StoreFailure::NoSuchTable:
            return kTableMissing;
        case StoreFailure::NoSuchField:
            return kFieldMissing;
        case StoreFailure::Other:
            break;
    }
    return e.code() >= 1000 ? e.code() : kInternalError;
}

// The code's own description, the text the message box names the failure with.
const char* code_description(int code) {
    switch (code) {
        case kDatabaseMissing:
            return "A database is missing";
        case kFieldMissing:
            return "Data field is missing";
        case kTableMissing:
            return "Data file or table is missing";
        case kDamaged:
            return "Corrupt database";
        case kLocked:
            return "Another user is using this database";
        case kDeviceError:
            return "Device I/O error";
        case kDiskFull:
            return "Disk full";
        case kPermissionDenied:
            return "Permission denied";
        case kPathAccessError:
            return "Path/File access error";
        case kPathNotFound:
            return "Path not found";
        case kInternalError:
            return "Internal error";
        default:
            return "Database error";
    }
}

ErrorCode with_description(int code, const std::string& message) {
    return {code, std::string(code_description(code)) + ": " + message};
}

}  // namespace

ErrorCode current_error_code() {
    try {
        throw;
    } catch (const StoreError& e) {
        return with_description(store_error_code(e), e.engine_message());
    } catch (const FileError& e) {
        return with_description(file_error_code(error_number_of(e)), e.what());
    } catch (const std::exception& e) {
        return with_description(kInternalError, e.what());
    } catch (...) {
        return with_description(kInternalError, "Unknown failure");
    }
}

std::string error_explanation_text(const ErrorCode& error) {
    std::string text = "Code " + std::to_string(error.code) + " - " + error.description + "\n";
    for (const char* line : kKnownCodes) text += std::string("\n") + line;
    return text;
}

void explain_database_error(Station& s, const ErrorCode& error) {
    s.st.msg = error_explanation_text(error);
    s.message(s.st.msg, "Quillon Codes", Icon::Information);
}

}  // namespace tillora
