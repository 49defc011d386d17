// A line index of a text file that only ever grows at its end (the audit and error files): runs
// of consecutive lines sharing their first characters, so that a reader of a few keys reads only
// their lines, cut exactly as for_each_line cuts them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tillora {

// Characters of a line's start the index keeps.
inline constexpr std::size_t kIndexedKeyChars = 10;

// Consecutive whole lines of the file with the same first kIndexedKeyChars characters.
struct LineRun {
    std::string key;    // first_chars of each line
    bool plain = true;  // false when the key is not plain ASCII: the run is read for any key
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

// What the index describes: the file (device, inode), its bytes indexed (whole lines up to the
// last newline seen) and a check of the first bytes and of the bytes just before that end.
struct LineIndex {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::uint64_t check = 0;
    std::vector<LineRun> runs;
};

// The indexes a program run has read or built, by file path: the reports of one batch share them.
using LineIndexes = std::map<std::string, LineIndex>;

// An open text file read through its line index.
class IndexedFile {
  public:
    // Opens a regular file for reading. Throws FileError.
    explicit IndexedFile(const std::filesystem::path& path);
    ~IndexedFile();
    IndexedFile(const IndexedFile&) = delete;
    IndexedFile& operator=(const IndexedFile&) = delete;

    // Brings `index` up to this file: starts it again when it describes another file, or one
    // that shrank or whose first bytes or bytes before the indexed end changed, then indexes the
    // whole lines written since. Calls `beat` every few hundred lines. Returns true when it started
    // again. Throws FileError.
    bool update(LineIndex& index, const std::function<void()>& beat);
    // Calls `on_line` for every line of the runs `wanted` accepts, then for every line past the
    // indexed end, in file order. `index` must have been brought up to this file. Throws
    // FileError.
    void read(const LineIndex& index, const std::function<bool(const LineRun&)>& wanted,
              const std::function<void(const std::string&)>& on_line) const;

  private:
    std::size_t read_at(char* to, std::size_t size, std::uint64_t offset) const;
    std::uint64_t check_before(std::uint64_t end) const;

    std::filesystem::path path_;
    int fd_;
};

}  // namespace tillora
