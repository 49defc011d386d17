#include "app/services.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tillora {
namespace {

namespace fs = std::filesystem;

// Where a program finds its installation: TILLORA_HOME, the build folder it runs from, the one
// line of the folder file, the default folder; in that order.
TEST(InstallationFolder, EnvironmentThenBuildFolderThenFolderFileThenDefault) {
    test::TempDir dir;
    const fs::path build = dir / "build";
    const fs::path bin = dir / "usr" / "bin";
    fs::create_directories(build);
    fs::create_directories(bin);
    test::write_file(build / "CMakeCache.txt", "");
    test::write_file(dir / "home", "  /srv/pos/shop \r\nsecond line ignored\n");
    test::write_file(dir / "blank", "\n");
    struct Case {
        const char* env;
        fs::path executable;
        fs::path folder_file;
        fs::path expected;
    };
    const std::vector<Case> cases = {
        {"/srv/other", bin / "tillora-reports", dir / "home", "/srv/other"},
        {"", build / "tillora-reports", dir / "home", build},
        {nullptr, bin / "tillora-reports", dir / "home", "/srv/pos/shop"},
        {nullptr, bin / "tillora-reports", dir / "blank", "/var/lib/tillora"},
        {nullptr, bin / "tillora-reports", dir / "missing", "/var/lib/tillora"},
        {"", bin / "tillora-closeout", dir.path(), "/var/lib/tillora"},  // a folder, not a file
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.executable.string() + " " + c.folder_file.string());
        EXPECT_EQ(installation_folder_for(c.env, c.executable, c.folder_file), c.expected);
    }
}

}  // namespace
}  // namespace tillora
