#include "platform/line_index.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

#include "platform/files.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tillora {

namespace {

constexpr std::size_t kBlockBytes = 1 << 16;
// The bytes at the start and before the indexed end whose check tells a rewritten file from a
// grown one.
constexpr std::uint64_t kCheckBytes = 4096;
constexpr unsigned kLinesPerBeat = 512;

bool plain_ascii(const std::string& key) {
    return std::all_of(key.begin(), key.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// 64-bit FNV-1a.
std::uint64_t fnv1a(const char* data, std::size_t size) {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ static_cast<unsigned char>(data[i])) * 1099511628211ull;
    }
    return hash;
}

}  // namespace

IndexedFile::IndexedFile(const fs::path& path) : path_(path), fd_(open_text_file(path)) {}

IndexedFile::~IndexedFile() {
    ::close(fd_);
}

std::size_t IndexedFile::read_at(char* to, std::size_t size, std::uint64_t offset) const {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd_, to + done, size - done, static_cast<off_t>(offset + done));
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw FileError("cannot read " + path_.string() + ": " + std::strerror(errno));
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::uint64_t IndexedFile::check_before(std::uint64_t end) const {
    // The first and the last bytes up to `end`: a file rewritten from its start or at its end.
    char bytes[2 * kCheckBytes];
    const std::uint64_t head = std::min(end, kCheckBytes);
    const std::uint64_t tail_from = end - head;
    const auto want = static_cast<std::size_t>(2 * head);
    const std::size_t got = read_at(bytes, static_cast<std::size_t>(head), 0) +
                            read_at(bytes + head, static_cast<std::size_t>(head), tail_from);
    // A file cut shorter than `end` gives a check of fewer bytes: never a match.
    return fnv1a(bytes, got) ^ (got == want ? 0 : 1);
}

bool IndexedFile::update(LineIndex& index, const std::function<void()>& beat) {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        throw FileError("cannot read " + path_.string() + ": " + std::strerror(errno));
    }
    const auto device = static_cast<std::uint64_t>(info.st_dev);
    const auto inode = static_cast<std::uint64_t>(info.st_ino);
    const bool again = index.device != device || index.inode != inode ||
                       index.size > static_cast<std::uint64_t>(info.st_size) ||
                       check_before(index.size) != index.check;
    if (again) index = LineIndex{device, inode, 0, check_before(0), {}};
    // Runs of earlier updates stay as they were stored; new lines join only new runs, added to
    // the index once every line read is in them.
    std::vector<LineRun> added;
    std::uint64_t start = index.size;
    unsigned lines = 0;
    LineCutter cutter([&](const std::string& line, std::uint64_t fed) {
        const std::uint64_t end = index.size + fed;
        std::string key = first_chars(line, kIndexedKeyChars);
        const bool plain = plain_ascii(key);
        if (!added.empty() && added.back().plain == plain && added.back().key == key) {
            added.back().length = end - added.back().offset;
        } else {
            added.push_back({std::move(key), plain, start, end - start});
        }
        start = end;
        if (++lines % kLinesPerBeat == 0 && beat) beat();
    });
    std::vector<char> block(kBlockBytes);
    for (std::uint64_t at = index.size;;) {
        const std::size_t got = read_at(block.data(), block.size(), at);
        if (got == 0) break;
        cutter.feed(block.data(), got);
        at += got;
    }
    // A last line without its newline is not indexed: the register may still be writing it.
    index.runs.insert(index.runs.end(), std::make_move_iterator(added.begin()),
                      std::make_move_iterator(added.end()));
    index.size = start;
    index.check = check_before(start);
    return again;
}

void IndexedFile::read(const LineIndex& index, const std::function<bool(const LineRun&)>& wanted,
                       const std::function<void(const std::string&)>& on_line) const {
    LineCutter cutter([&](const std::string& line, std::uint64_t) { on_line(line); });
    std::vector<char> block(kBlockBytes);
    const auto feed = [&](std::uint64_t at, std::uint64_t end) {
        while (at < end) {
            const auto want =
                static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), end - at));
            const std::size_t got = read_at(block.data(), want, at);
            if (got == 0) return;
            cutter.feed(block.data(), got);
            at += got;
        }
    };
    for (const LineRun& run : index.runs) {
        if (!run.plain || wanted(run)) feed(run.offset, run.offset + run.length);
    }
    feed(index.size, UINT64_MAX);
    cutter.finish();
}

}  // namespace tillora
