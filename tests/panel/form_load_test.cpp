// The start-up: interactive, or the close-out that KVRUN<date> asks for. What the window shows
// after an interactive start is an operator script in tests/scripts (initial_controls,
// session_offline).
#include "panel/form_load.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tillora {
namespace {

TEST(FormLoad, KvrunRunsTheCloseOutIntoAFreshFileAndAnythingElseStartsTheWindow) {
    const struct {
        const char* command;
        bool closeout;
    } cases[] = {{"", false}, {"KVRUN20200904", true}, {"kvrun20200904", false}, {"KVRU", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        test::TestStation t;
        test::write_file(t.home() / "ravonode.ini", "POSUNIT=3\nNODENUMBER=3\n");
        test::write_file(t.home() / "closeout03-20200904.txt", "old run\n");
        Station s(Services{t.ui, *t.printers, t.clock, t.home()});
        bool old_file_gone = false;
        s.print_all = [&](Station& run) {
            const auto file = run.path(run.st.closeoutfile);  // gone, or replaced by an empty one
            old_file_gone = !std::filesystem::exists(file) || std::filesystem::file_size(file) == 0;
        };
        form_load(s, c.command);
        EXPECT_EQ(s.st.closeoutmode, c.closeout ? 1 : 0);
        EXPECT_EQ(old_file_gone, c.closeout);
        EXPECT_EQ(t.ui.topmost, !c.closeout);
        EXPECT_EQ(s.form.caption, c.closeout ? "Workstation Reports/Exports"
                                             : "Workstation Reports/Exports 20.09.04a");
        if (c.closeout) {
            EXPECT_EQ(s.st.closeoutfile, "closeout03-20200904.txt");
            EXPECT_EQ(s.st.fromdate, 20200904);
            EXPECT_EQ(s.st.totime, "23:59:59");
            EXPECT_EQ(s.form.focused, "");
        }
    }
}

}  // namespace
}  // namespace tillora
