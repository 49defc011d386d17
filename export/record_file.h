// A file of export records, written record by record: records are gathered in memory and handed
// to the operating system 64 KB at a time, and sync() puts everything written so far on the disk.
// The file always ends with a whole record; records not yet synced when it is dropped after a
// failure are not written (the export marks a row only after the sync that put it on the disk).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace tillora {

// A failed write, sync or close of a record file, with the system's error number.
class RecordFileError : public FileError {
  public:
    RecordFileError(const std::string& what, int error_number)
        : FileError(what), error_number_(error_number) {}
    int error_number() const { return error_number_; }

  private:
    int error_number_;
};

class RecordFile {
  public:
    // Creates the file private to owner and group (0640) when it is missing and opens it for
    // appending. Throws FileError when the folder is missing or cannot be written.
    explicit RecordFile(const std::filesystem::path& path);
    ~RecordFile();  // closes without reporting errors (the error path)
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Appends one record; throws RecordFileError (disk full, I/O error).
    void write(std::string_view record);
    // Puts the written records on the disk (fdatasync); throws RecordFileError.
    void sync();
    // Closes the file; throws RecordFileError when the system reports a failure.
    void close();

    const std::filesystem::path& path() const { return path_; }

  private:
    [[noreturn]] void fail(const char* action, int error) const;
    // Hands the gathered records to the system; on failure takes off what this call appended.
    void flush();
    void drop_partial_records(std::size_t written);

    static constexpr std::size_t kBufferBytes = 64 * 1024;
    std::filesystem::path path_;
    int fd_ = -1;
    std::string buffer_;
};

}  // namespace tillora
