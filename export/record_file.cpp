#include "export/record_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tillora {

RecordFile::RecordFile(const std::filesystem::path& path) : path_(path) {
    fd_ = create_new_private_file(path_);
}

RecordFile::~RecordFile() {
    if (fd_ >= 0) ::close(fd_);
}

void RecordFile::fail(const char* action, int error) const {
    throw RecordFileError(
        std::string("cannot ") + action + " " + path_.string() + ": " + std::strerror(error),
        error);
}

void RecordFile::take_back_to(long long length) {
    buffer_.clear();
    if (fd_ >= 0 && ::ftruncate(fd_, length) == 0) synced_size_ = length;
}

void RecordFile::write(std::string_view record) {
    if (fd_ < 0) fail("write to", EBADF);
    if (buffer_.capacity() < kBufferBytes) buffer_.reserve(kBufferBytes);
    buffer_.append(record);
    if (buffer_.size() >= kBufferBytes) flush();
}

void RecordFile::flush() {
    std::size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            take_back_to(synced_size_);
            fail("write to", error);
        }
        done += static_cast<std::size_t>(n);
    }
    buffer_.clear();
}

void RecordFile::sync() {
    if (fd_ < 0) fail("write to", EBADF);
    flush();
    // Some special files (a terminal, /dev/full) cannot be synced; they have nothing to lose.
    if (::fdatasync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        const int error = errno;
        take_back_to(synced_size_);
        fail("save", error);
    }
    struct stat info {};
    if (::fstat(fd_, &info) == 0) synced_size_ = info.st_size;
}

void RecordFile::close() {
    if (fd_ < 0) return;
    flush();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) fail("finish writing", errno);
}

}  // namespace tillora
