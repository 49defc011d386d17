// Plain file services: existence, deletion, appending lines, reading lines and delimited items.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tillora {

// A file operation that failed (disk full, no permission, missing folder).
class FileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// True when a directory look-up finds the file (no attempt is made to open it).
bool file_exists(const std::filesystem::path& path);
// Deletes the file when it exists; throws FileError when it exists and cannot be deleted.
void delete_file(const std::filesystem::path& path);
// Opens for appending (creating the file), writes `line` and `line_end`, flushes, closes.
// Throws FileError when any step fails, so a full disk is never silent, and when a symbolic
// link or anything but a regular file is in the file's place (refused, never followed).
void append_line(const std::filesystem::path& path, std::string_view line,
                 std::string_view line_end = "\n");
// The longest line read: the rest of a longer line is skipped.
inline constexpr std::size_t kMaxLineBytes = 64 * 1024;
// Calls `on_line` for every line of a text file, without its line end ("\n" or "\r\n"), each
// cut to kMaxLineBytes. Throws FileError when the file cannot be opened or read, or is not a
// regular file (a pipe, a device or a folder is refused rather than waited on).
void for_each_line(const std::filesystem::path& path,
                   const std::function<void(const std::string&)>& on_line);
std::vector<std::string> read_lines(const std::filesystem::path& path);
// Opens a regular file for reading (a pipe, a device or a folder is refused); returns its
// descriptor. Throws FileError.
int open_text_file(const std::filesystem::path& path);

// Cuts bytes fed in blocks into lines as for_each_line does.
class LineCutter {
  public:
    // Gets each line and the count of bytes fed up to the end of its line end.
    using OnLine = std::function<void(const std::string& line, std::uint64_t end)>;
    explicit LineCutter(OnLine on_line);
    // Hands out every line that ends in `data`; the rest waits for more.
    void feed(const char* data, std::size_t size);
    // Hands out the last line when the bytes end without a newline.
    void finish();

  private:
    void end_line(std::uint64_t end);
    OnLine on_line_;
    std::string line_;
    std::uint64_t fed_ = 0;
};

// Items of a text read with the delimited-read rule: items end at a comma or a line end,
// leading blanks of an unquoted item are dropped, a double-quoted item yields its inner text.
std::vector<std::string> split_items(std::string_view text);
// The same rule over a file. Throws FileError when it cannot be opened.
std::vector<std::string> read_items(const std::filesystem::path& path);

// Creates a file readable by owner and group only (0640, whatever the umask) when it is
// missing; used for files that carry card-holder names and member accounts. Never follows a
// symbolic link (a link in its place is left for the writer to refuse).
void create_private_file(const std::filesystem::path& path);
// Creates a new private file (0640) and opens it for appending; returns its descriptor. Never
// opens a file that exists or follows a symbolic link: throws FileError saying what is in the
// file's place, or why it cannot be created.
int create_new_private_file(const std::filesystem::path& path);

// Replaces the file at `path` with `text` as a whole: written to a new temporary file in the same
// folder (0640, whatever the umask), synced, then renamed over `path`, so a reader sees the old
// file or the new one and never half of one. Refuses a symbolic link at `path`. Throws FileError
// (the temporary file is removed then and `path` is left as it was).
void replace_private_file(const std::filesystem::path& path, std::string_view text);

}  // namespace tillora
