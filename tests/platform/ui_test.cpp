// The user interfaces without a window: the scripted one of the driver and the tests (its answers
// and output lines; the lines of message boxes are pinned by the driver scenarios), the
// unattended one of the close-out, and starting outside programs.
#include "platform/ui.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <sstream>
#include <thread>

#include "support/test_support.h"

namespace tillora {
namespace {

TEST(ScriptedUi, AnswersFromQueuesThenTheDefaultButtonAndMirrorsItsLines) {
    std::ostringstream out;
    ScriptedUi ui(&out);
    ui.answers = {true};
    EXPECT_EQ(ui.message_box("a", "Q", Icon::Question, Buttons::YesNo, true), Answer::Yes);
    EXPECT_EQ(ui.message_box("b", "Q", Icon::Question, Buttons::YesNo, true), Answer::No);
    EXPECT_EQ(ui.message_box("c", "Q", Icon::Question, Buttons::YesNo, false), Answer::Yes);
    EXPECT_EQ(ui.input_box("ID?", "Station", ""), std::nullopt);
    EXPECT_EQ(ui.file_dialog({"Select Export Destination", "/shop", "export03.csv", ""}), "");
    const std::vector<std::string> expected = {"QUESTION Q | a -> yes", "QUESTION Q | b -> no",
                                               "QUESTION Q | c -> yes", "INPUT Station | ID? ->",
                                               "FILEDIALOG Select Export Destination ->"};
    EXPECT_EQ(ui.shown, expected);
    std::string joined;
    for (const auto& line : expected) joined += line + "\n";
    EXPECT_EQ(out.str(), joined);
}

TEST(ScriptedUi, YieldRunsTheHookWithoutRecursingIntoIt) {
    ScriptedUi ui;
    int hook_runs = 0;
    ui.on_yield = [&] {
        ++hook_runs;
        ui.yield();  // a handler run from the hook yields again
    };
    ui.yield();
    ui.yield();
    EXPECT_EQ(hook_runs, 2);
    EXPECT_EQ(ui.yields, 4);
    ui.on_yield = [] { throw std::runtime_error("hook failed"); };
    EXPECT_THROW(ui.yield(), std::runtime_error);
    EXPECT_THROW(ui.yield(), std::runtime_error);  // still armed after a failure
}

TEST(UnattendedUi, NeverWaitsAndLogsEveryMessageButNotTheQuestions) {
    std::ostringstream err;
    UnattendedUi ui(err);
    EXPECT_TRUE(ui.unattended());
    Ui& base = ui;  // the default arguments belong to the interface
    EXPECT_EQ(base.message_box("Main Hold is\r\noff-line", "Off-Line", Icon::Information),
              Answer::Ok);
    EXPECT_EQ(ui.message_box("Print detail?", "POA", Icon::Question, Buttons::YesNo, true),
              Answer::No);
    EXPECT_EQ(ui.message_box("Go on?", "Q", Icon::Question, Buttons::YesNo, false), Answer::Yes);
    EXPECT_EQ(ui.input_box("ID?", "Station", "3"), std::nullopt);
    EXPECT_EQ(ui.file_dialog({"Select Export Destination", "", "export03.csv", ""}), "");
    EXPECT_EQ(err.str(), "Off-Line: Main Hold is\\noff-line\n");
}

TEST(StartProgram, StartsWithoutWaitingAndLeavesNoChildBehind) {
    test::TempDir dir;
    const auto script = dir / "lkupemp.exe";
    test::write_file(script, "#!/bin/sh\necho started > \"" + (dir / "marker").string() + "\"\n");
    ::chmod(script.c_str(), 0755);
    std::ostringstream err;
    UnattendedUi ui(err);  // uses the real start_program
    EXPECT_TRUE(ui.start_program(script.string()));
    for (int i = 0; i < 500 && !std::filesystem::exists(dir / "marker"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(std::filesystem::exists(dir / "marker"));
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);  // no child of ours to reap
    EXPECT_EQ(errno, ECHILD);
    test::write_file(dir / "plain.txt", "not a program");
    EXPECT_FALSE(ui.start_program((dir / "plain.txt").string()));
    EXPECT_FALSE(ui.start_program((dir / "missing.exe").string()));
}

}  // namespace
}  // namespace tillora
