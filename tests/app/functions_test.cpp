// The node file (keys in any case and order, the names derived from the unit and node numbers),
// the printer type of the configuration and where a program finds its installation: each row of
// tests/fixtures/app-functions.txt names a probe below, its arguments and what it gives. Blank
// lines, stray commas and a missing node file are the driver scenarios'.
#include <gtest/gtest.h>

#include "app/master_config.h"
#include "app/node_file.h"
#include "app/services.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

namespace fs = std::filesystem;

// "posunit masternode nodenumber [mapdrive] unitstr rptdb xactdb [computername] [localdrive]" of
// the node file `text`, or "refused".
std::string node_file(const std::string& text) {
    test::TestStation t;
    ModuleState st;
    test::write_file(t.home() / kNodeFileName, text);
    if (!read_node_file(st, t.s().svc) || !t.boxes().empty()) return "refused";
    std::ostringstream out;
    out << st.posunit << ' ' << st.masternode << ' ' << st.nodenumber << " [" << st.mapdrive << "] "
        << st.unitstr << ' ' << st.rptdb << ' ' << st.xactdb << " [" << st.computername << "] ["
        << st.localdrive << "]";
    return out.str();
}

TEST(AppFunctions, GiveWhatTheirTableSays) {
    // Where "<dir>" stands in the installation folder rows: a build folder, a folder file and a
    // blank one.
    test::TempDir dir;
    fs::create_directories(dir / "build");
    fs::create_directories(dir / "usr" / "bin");
    test::write_file(dir / "build" / "CMakeCache.txt", "");
    test::write_file(dir / "home", "  /srv/pos/shop \r\nsecond line ignored\n");
    test::write_file(dir / "blank", "\n");
    const auto in_dir = [&](std::string path) {
        return path.rfind("<dir>", 0) == 0 ? dir.path().string() + path.substr(5) : path;
    };
    test::expect_table("app-functions", [&](const test::Lines& a) -> std::string {
        if (a[0] == "node_file") return node_file(a[1]);
        if (a[0] == "printer_type") return std::to_string(printer_type_from_regflags(a[1]));
        if (a[0] != "installation_folder") return "no such probe";
        const char* env = a[1] == "unset" ? nullptr : a[1].c_str();
        const std::string found = installation_folder_for(env, in_dir(a[2]), in_dir(a[3]));
        return found.rfind(dir.path().string(), 0) == 0
                   ? "<dir>" + found.substr(dir.path().string().size())
                   : found;
    });
}

}  // namespace
}  // namespace tillora
