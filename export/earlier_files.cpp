#include "export/earlier_files.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace fs = std::filesystem;

namespace tillora {

namespace {

[[noreturn]] void refuse(const fs::path& file, const std::string& why) {
    throw FileError("cannot keep the earlier file " + file.string() + ": " + why);
}

// Renames without ever replacing a file: RENAME_NOREPLACE where the file system has it, else a
// hard link then the removal of the old name. False when `to` exists.
bool rename_no_replace(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno == EEXIST) return false;
    if (errno != EINVAL && errno != ENOSYS) refuse(from, std::strerror(errno));
    if (::link(from.c_str(), to.c_str()) != 0) {
        if (errno == EEXIST) return false;
        refuse(from, std::strerror(errno));
    }
    if (::unlink(from.c_str()) != 0) refuse(from, std::strerror(errno));
    return true;
}

}  // namespace

fs::path kept_name(const fs::path& file, const DateTime& now, int copy) {
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "-%04d%02d%02d-%02d%02d%02d", now.year, now.month, now.day,
                  now.hour, now.minute, now.second);
    std::string name = file.stem().string() + stamp;
    if (copy > 1) name += "-" + std::to_string(copy);
    return file.parent_path() / (name + file.extension().string());
}

fs::path keep_earlier_file(const fs::path& file, const DateTime& now) {
    struct stat info {};
    if (::lstat(file.c_str(), &info) != 0) {
        if (errno == ENOENT) return {};
        refuse(file, std::strerror(errno));
    }
    if (S_ISLNK(info.st_mode)) refuse(file, "a symbolic link is in its place; refused");
    if (!S_ISREG(info.st_mode)) refuse(file, "it is not a regular file; refused");
    for (int copy = 1;; ++copy) {
        const fs::path kept = kept_name(file, now, copy);
        if (rename_no_replace(file, kept)) return kept;
    }
}

}  // namespace tillora
