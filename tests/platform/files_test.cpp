// Files of the installation: the delimited items of a node file, lines of audit and close-out
// files read back byte for byte, appended lines, and private export files.
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

#include "platform/text.h"
#include "support/test_support.h"

namespace tillora {
namespace {

using test::read_file;
using test::TempDir;
using test::write_file;
using Items = std::vector<std::string>;

// Line ends, blank lines and keys are the node file tests'; here the quotes and empty items.
TEST(SplitItems, FollowsTheDelimitedReadRule) {
    const std::pair<const char*, Items> cases[] = {
        {"\"a,b\" junk,c", {"a,b", "c"}},
        {"\"open to the end", {"open to the end"}},
        {"a\rb", {"a", "b"}},
        {"a,", {"a", ""}},
        {",,", {"", "", ""}},
        {"", {}},
    };
    for (const auto& [text, items] : cases) EXPECT_EQ(split_items(text), items) << text;
}

TEST(ReadLines, StripsLineEndsAndKeepsEveryOtherByte) {
    TempDir dir;
    const std::string nul_line("a\0b", 3);
    write_file(dir / "f.txt", "one\r\ntwo\n\n" + nul_line + "\nlast\r");
    EXPECT_EQ(read_lines(dir / "f.txt"), (Items{"one", "two", "", nul_line, "last"}));
    write_file(dir / "empty.txt", "");
    EXPECT_TRUE(read_lines(dir / "empty.txt").empty());
    EXPECT_THROW(read_lines(dir / "missing.txt"), FileError);
    EXPECT_THROW(read_lines(dir.path()), FileError);  // a folder, not a file
    EXPECT_FALSE(file_exists(dir.path()));
}

TEST(ReadLines, ReadsRandomBytesWithoutLosingAny) {
    TempDir dir;
    std::mt19937 gen(7);
    std::string data(1 << 20, '\0');
    for (char& c : data) c = static_cast<char>(gen() & 0xff);
    write_file(dir / "noise.bin", data);
    // Every "\n" ends a line and is stripped, with the "\r" before it; so is a final "\r". A line
    // that is not UTF-8 is read as Windows-1252, one character for each of its bytes.
    std::string expected;
    for (std::size_t start = 0; start < data.size();) {
        const std::size_t end = std::min(data.find('\n', start), data.size());
        std::string line = data.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        make_utf8(line);
        expected += line + "\n";
        start = end + 1;
    }
    std::string read;
    for_each_line(dir / "noise.bin", [&](const std::string& line) { read += line + "\n"; });
    EXPECT_TRUE(read == expected);
}

TEST(AppendLine, AppendsWholeLinesAndThrowsNamingTheFileItCannotWrite) {
    TempDir dir;
    append_line(dir / "audit03.txt", "first");
    append_line(dir / "audit03.txt", "second", "\r\n");
    append_line(dir / "audit03.txt", "");
    EXPECT_EQ(read_file(dir / "audit03.txt"), "first\nsecond\r\n\n");
    // A missing folder, a folder and a full disk.
    for (const auto& path :
         {dir / "no-such-folder" / "audit03.txt", dir.path(), std::filesystem::path("/dev/full")}) {
        try {
            append_line(path, "line");
            ADD_FAILURE() << "no error for " << path;
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos) << e.what();
        }
    }
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
