// A file of export records, written record by record: records are gathered in memory and handed
// to the operating system 64 KB at a time, and sync() puts everything written so far on the disk.
// A failed write or sync takes the file back to its length at the last sync, so it always ends
// with the last record of a whole batch (the export marks a batch only with its sync).
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
    // Creates the file, new and private to owner and group (0640), and opens it for appending.
    // Throws FileError when the folder is missing or cannot be written, or something (a file, a
    // symbolic link) already has the file's name.
    explicit RecordFile(const std::filesystem::path& path);
    ~RecordFile();  // closes without reporting errors (the error path)
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Appends one record; throws RecordFileError (disk full, I/O error).
    void write(std::string_view record);
    // Puts the written records on the disk (fdatasync); throws RecordFileError.
    void sync();
    // The file's length at the last sync (at open before the first).
    long long synced_length() const { return synced_size_; }
    // Cuts the file back to `length` (a synced length), dropping the records written after it;
    // a failure to cut is not reported (the caller is already on its error path).
    void take_back_to(long long length);
    // Closes the file; throws RecordFileError when the system reports a failure.
    void close();

    const std::filesystem::path& path() const { return path_; }

  private:
    [[noreturn]] void fail(const char* action, int error) const;
    // Hands the gathered records to the system; on failure takes off every unsynced record.
    void flush();

    static constexpr std::size_t kBufferBytes = 64 * 1024;
    std::filesystem::path path_;
    int fd_ = -1;
    std::string buffer_;
    long long synced_size_ = 0;  // the file's length at the last sync (new: empty)
};

}  // namespace tillora
