// Files of the installation: the delimited items of a node file, lines of audit and close-out
// files read back byte for byte, appended lines, and private export files.
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/test_support.h"

namespace tillora {
namespace {

using test::read_file;
using test::TempDir;
using test::write_file;
using Items = std::vector<std::string>;

// Lines as the audit reports read them: every byte kept, a line of Windows-1252 read as such, and
// a line too long cut to its first kMaxLineBytes bytes.
TEST(ReadLines, StripsLineEndsAndKeepsEveryOtherByte) {
    TempDir dir;
    const std::string nul_line("a\0b", 3), long_line(kMaxLineBytes, 'x');
    write_file(dir / "f.txt",
               "one\r\ntwo\n\n" + nul_line + "\ncaf\xe9\n" + long_line + "yz\nlast\r");
    EXPECT_EQ(read_lines(dir / "f.txt"),
              (Items{"one", "two", "", nul_line, "caf\xc3\xa9", long_line, "last"}));
    write_file(dir / "empty.txt", "");
    EXPECT_TRUE(read_lines(dir / "empty.txt").empty());
    EXPECT_THROW(read_lines(dir / "missing.txt"), FileError);
    EXPECT_THROW(read_lines(dir.path()), FileError);  // a folder, not a file
    EXPECT_FALSE(file_exists(dir.path()));
}

// The files it cannot write are rows of the platform functions table.
TEST(AppendLine, AppendsWholeLines) {
    TempDir dir;
    append_line(dir / "audit03.txt", "first");
    append_line(dir / "audit03.txt", "second", "\r\n");
    append_line(dir / "audit03.txt", "");
    EXPECT_EQ(read_file(dir / "audit03.txt"), "first\nsecond\r\n\n");
}

TEST(CreatePrivateFile, CreatesOwnerAndGroupOnlyWhateverTheUmask) {
    TempDir dir;
    for (mode_t mask : {mode_t{0}, mode_t{077}}) {
        const auto path = dir / ("ccard" + std::to_string(mask) + ".csv");
        const mode_t old = ::umask(mask);
        create_private_file(path);
        ::umask(old);
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0640u) << "umask " << mask;
    }
    write_file(dir / "kept.csv", "data");
    create_private_file(dir / "kept.csv");
    EXPECT_EQ(read_file(dir / "kept.csv"), "data");
    EXPECT_THROW(create_private_file(dir / "no-such-folder" / "x.csv"), FileError);
}

}  // namespace
}  // namespace tillora
