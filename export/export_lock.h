// The lock an export holds while it runs on an installation: a second export (a click that
// arrives during a yield, or another program run on the same folder) would delete and rewrite
// the files the first one is writing.
#pragma once

#include <filesystem>

namespace tillora {

class ExportLock {
  public:
    // Tries to take the lock on the installation folder (flock, released by the destructor or
    // when the program ends). Never throws.
    explicit ExportLock(const std::filesystem::path& folder);
    ~ExportLock();
    ExportLock(const ExportLock&) = delete;
    ExportLock& operator=(const ExportLock&) = delete;

    // False only when another export holds the lock; true as well where the folder cannot be
    // locked at all (the export then runs unprotected rather than not at all).
    bool acquired() const { return acquired_; }

  private:
    int fd_ = -1;
    bool acquired_ = true;
};

}  // namespace tillora
