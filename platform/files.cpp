#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

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
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) fail("open for appending", path, errno);
    write_all(fd, record, path);
    if (::close(fd) != 0) fail("finish writing", path, errno);
}

void for_each_line(const fs::path& path, const std::function<void(const std::string&)>& on_line) {
    std::FILE* file = std::fopen(path.c_str(), "rbe");
    if (file == nullptr) fail("open", path, errno);
    // Closes the file however the loop ends (on_line may throw).
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> guard(file, &std::fclose);
    char* buffer = nullptr;
    std::size_t capacity = 0;
    std::unique_ptr<char*, void (*)(char**)> buffer_guard(&buffer, [](char** b) { std::free(*b); });
    std::string line;
    while (true) {
        errno = 0;
        const ssize_t n = ::getline(&buffer, &capacity, file);
        if (n < 0) break;
        line.assign(buffer, static_cast<std::size_t>(n));  // may hold NUL bytes
        if (!line.empty() && line.back() == '\n') line.pop_back();
        if (!line.empty() && line.back() == '\r') line.pop_back();
        make_utf8(line);  // a register that writes Windows-1252 text
        on_line(line);
    }
    // A directory opens but fails on the first read (EISDIR), like any other read error.
    if (std::ferror(file)) fail("read", path, errno != 0 ? errno : EIO);
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
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST) return;
        fail("create", path, errno);
    }
    // The mode given to open is cut by the umask; set it explicitly.
    if (::fchmod(fd, 0640) != 0) {
        const int error = errno;
        ::close(fd);
        fail("set the permissions of", path, error);
    }
    if (::close(fd) != 0) fail("create", path, errno);
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
