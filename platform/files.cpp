#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/text.h"

namespace fs = std::filesystem;

namespace tillora {

namespace {

[[noreturn]] void fail(const std::string& action, const fs::path& path, int error) {
    throw FileError("cannot " + action + " " + path.string() + ": " + std::strerror(error));
}

// Writes all of `data`, going on after partial writes and interruptions.
void write_all(int fd, const std::string& data, const fs::path& path) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            fail("write to", path, error);
        }
        done += static_cast<std::size_t>(n);
    }
}

// The text of a refused or failed open: a symbolic link or a special file says what it is.
[[noreturn]] void fail_open(const std::string& action, const fs::path& path, int error) {
    if (error == ELOOP) {
        throw FileError("cannot " + action + " " + path.string() +
                        ": a symbolic link is in its place; refused");
    }
    if (error == ENXIO || error == EISDIR || error == ENODEV) {
        throw FileError("cannot " + action + " " + path.string() +
                        ": not a regular file (a folder, a pipe or a device); refused");
    }
    fail(action, path, error);
}

// Opens a regular file: never waits on a pipe or device (O_NONBLOCK) and refuses anything but a
// regular file; with follow_links false, a symbolic link in the file's place is refused too.
int open_regular(const fs::path& path, int flags, bool follow_links, const std::string& action,
                 mode_t mode = 0) {
    flags |= O_CLOEXEC | O_NONBLOCK | (follow_links ? 0 : O_NOFOLLOW);
    const int fd = ::open(path.c_str(), flags, mode);
    if (fd < 0) fail_open(action, path, errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        fail_open(action, path, ENXIO);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// Sets the mode of a file just created, whatever the umask cut from it.
void make_private(int fd, const fs::path& path) {
    if (::fchmod(fd, 0640) != 0) {
        const int error = errno;
        ::close(fd);
        fail("set the permissions of", path, error);
    }
}

bool is_item_blank(char c) {
    return c == ' ' || c == '\t';
}

// Splits one line (no line end in it) into its items.
void split_line(std::string_view line, std::vector<std::string>& items) {
    if (line.find_first_not_of(" \t") == std::string_view::npos) return;  // blank line: no item
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && is_item_blank(line[i])) ++i;
        std::string item;
        if (i < line.size() && line[i] == '"') {
            const auto close = line.find('"', i + 1);
            const auto end = close == std::string_view::npos ? line.size() : close;
            item = std::string(line.substr(i + 1, end - i - 1));
            // Whatever follows the closing quote up to the next comma is dropped.
            i = std::min(line.find(',', end), line.size());
        } else {
            const auto comma = std::min(line.find(',', i), line.size());
            item = std::string(line.substr(i, comma - i));
            i = comma;
        }
        items.push_back(std::move(item));
        if (i >= line.size()) return;
        ++i;  // past the comma: an item follows, even if empty
    }
}

}  // namespace

bool file_exists(const fs::path& path) {
    std::error_code ec;
    const auto status = fs::status(path, ec);
    return !ec && fs::exists(status) && !fs::is_directory(status);
}

void delete_file(const fs::path& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) fail("delete", path, errno);
}

void append_line(const fs::path& path, std::string_view line, std::string_view line_end) {
    // One write of the whole record: lines appended by other programs never interleave with it.
    std::string record(line);
    record += line_end;
    const int fd =
        open_regular(path, O_WRONLY | O_APPEND | O_CREAT, false, "open for appending", 0666);
    write_all(fd, record, path);
    if (::close(fd) != 0) fail("finish writing", path, errno);
}

int open_text_file(const fs::path& path) {
    return open_regular(path, O_RDONLY, true, "open");
}

LineCutter::LineCutter(OnLine on_line) : on_line_(std::move(on_line)) {
    line_.reserve(256);
}

void LineCutter::feed(const char* data, std::size_t size) {
    const char* at = data;
    const char* const end = data + size;
    while (at < end) {
        const auto* newline = static_cast<const char*>(std::memchr(at, '\n', end - at));
        const char* const stop = newline ? newline : end;
        // May hold NUL bytes; past the limit the rest of the line is skipped.
        const std::size_t room = kMaxLineBytes - std::min(line_.size(), kMaxLineBytes);
        line_.append(at, std::min(static_cast<std::size_t>(stop - at), room));
        if (newline == nullptr) break;
        end_line(fed_ + static_cast<std::uint64_t>(newline + 1 - data));
        at = newline + 1;
    }
    fed_ += size;
}

void LineCutter::finish() {
    if (!line_.empty()) end_line(fed_);
}

void LineCutter::end_line(std::uint64_t end) {
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    make_utf8(line_);  // a register that writes Windows-1252 text
    on_line_(line_, end);
    line_.clear();
}

void for_each_line(const fs::path& path, const std::function<void(const std::string&)>& on_line) {
    const int fd = open_text_file(path);
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) {
        const int error = errno;
        ::close(fd);
        fail("open", path, error);
    }
    // Closes the file however the loop ends (on_line may throw).
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> guard(file, &std::fclose);
    LineCutter cutter([&](const std::string& line, std::uint64_t) { on_line(line); });
    // Read in blocks: a year's audit file is tens of megabytes and the close-out reads it
    // several times.
    std::vector<char> block(1 << 16);
    for (std::size_t got; (got = std::fread(block.data(), 1, block.size(), file)) > 0;) {
        cutter.feed(block.data(), got);
    }
    if (std::ferror(file)) fail("read", path, errno != 0 ? errno : EIO);
    cutter.finish();
}

std::vector<std::string> read_lines(const fs::path& path) {
    std::vector<std::string> lines;
    for_each_line(path, [&](const std::string& line) { lines.push_back(line); });
    return lines;
}

// A line ends at "\r\n", "\n" or "\r"; blank lines give no item, and a comma always ends an
// item, so "a," gives "a" and an empty item.
std::vector<std::string> split_items(std::string_view text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = std::min(text.find_first_of("\r\n", start), text.size());
        split_line(text.substr(start, end - start), items);
        start = end;
        if (start < text.size() && text[start] == '\r') ++start;
        if (start < text.size() && text[start] == '\n') ++start;
    }
    return items;
}

std::vector<std::string> read_items(const fs::path& path) {
    std::vector<std::string> items;
    for_each_line(path, [&](const std::string& line) {
        for (auto& item : split_items(line)) items.push_back(std::move(item));
    });
    return items;
}

void create_private_file(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST) return;
        fail("create", path, errno);
    }
    make_private(fd, path);
    if (::close(fd) != 0) fail("create", path, errno);
}

int create_new_private_file(const fs::path& path) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        const int error = errno;
        struct stat info {};
        if (error == EEXIST && ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
            fail_open("create", path, ELOOP);
        }
        fail("create", path, error);
    }
    make_private(fd, path);
    return fd;
}

void replace_private_file(const fs::path& path, std::string_view text) {
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode)) {
        throw FileError("cannot replace " + path.string() + ": it is a symbolic link");
    }
    std::string temporary = path.string() + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) fail("create a temporary file beside", path, errno);
    try {
        if (::fchmod(fd, 0640) != 0) {
            const int error = errno;
            ::close(fd);
            fail("set the permissions of", temporary, error);
        }
        write_all(fd, std::string(text), temporary);
        if (::fsync(fd) != 0) {
            const int error = errno;
            ::close(fd);
            fail("write to", temporary, error);
        }
        if (::close(fd) != 0) fail("write to", temporary, errno);
        if (::rename(temporary.c_str(), path.c_str()) != 0) fail("replace", path, errno);
    } catch (const FileError&) {
        ::unlink(temporary.c_str());
        throw;
    }
}

}  // namespace tillora
