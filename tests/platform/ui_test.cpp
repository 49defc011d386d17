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

using test::TempDir;
using test::write_file;

TEST(EscapeLineBreaks, WritesEveryKindOfLineBreakAsBackslashN) {
    const std::pair<const char*, const char*> cases[] = {
        {"a\r\nb", "a\\nb"},    {"a\nb", "a\\nb"},      {"a\rb", "a\\nb"},
        {"a\n\nb", "a\\n\\nb"}, {"\r\n\r\n", "\\n\\n"}, {"plain", "plain"},
    };
    for (const auto& [text, line] : cases) EXPECT_EQ(escape_line_breaks(text), line) << line;
}

TEST(ScriptedUi, AnswersFromQueuesAndWritesTheDriverLineFormat) {
    std::ostringstream out;
    ScriptedUi ui(&out);
    ui.answers = {true, false};
    ui.inputs = {std::string("42"), std::string("")};
    ui.files = {"/shop/export03.csv"};

    Ui& base = ui;  // the default arguments belong to the interface
    EXPECT_EQ(base.message_box("Line 1\r\nLine 2", "Oops...", Icon::Information), Answer::Ok);
    EXPECT_EQ(ui.message_box("Go?", "Confirm export...", Icon::Question, Buttons::YesNo, true),
              Answer::Yes);
    EXPECT_EQ(ui.message_box("Go?", "Q", Icon::Question, Buttons::YesNo, false), Answer::No);
    // Queues empty: the default button.
    EXPECT_EQ(ui.message_box("a\nb", "Q", Icon::Question, Buttons::YesNo, true), Answer::No);
    EXPECT_EQ(ui.message_box("c", "Q", Icon::Question, Buttons::YesNo, false), Answer::Yes);
    EXPECT_EQ(ui.input_box("ID?", "Station", ""), std::optional<std::string>("42"));
    EXPECT_EQ(ui.input_box("ID?", "Station", ""), std::optional<std::string>(""));
    EXPECT_EQ(ui.input_box("ID?", "Station", "3"), std::nullopt);
    EXPECT_EQ(ui.file_dialog({"Select Export Destination", "/shop", "export03.csv", ""}),
              "/shop/export03.csv");
    EXPECT_EQ(ui.file_dialog({"Select Export Destination", "/shop", "export03.csv", ""}), "");

    const std::vector<std::string> expected = {
        "MSGBOX Oops... | Line 1\\nLine 2",
        "QUESTION Confirm export... | Go? -> yes",
        "QUESTION Q | Go? -> no",
        "QUESTION Q | a\\nb -> no",
        "QUESTION Q | c -> yes",
        "INPUT Station | ID? -> 42",
        "INPUT Station | ID? -> ",
        "INPUT Station | ID? ->",
        "FILEDIALOG Select Export Destination -> /shop/export03.csv",
        "FILEDIALOG Select Export Destination ->",
    };
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
    EXPECT_EQ(hook_runs, 1);
    EXPECT_EQ(ui.yields, 2);
    ui.yield();
    EXPECT_EQ(hook_runs, 2);

    ui.on_yield = [] { throw std::runtime_error("hook failed"); };
    EXPECT_THROW(ui.yield(), std::runtime_error);
    EXPECT_THROW(ui.yield(), std::runtime_error);  // still armed after a failure
}

TEST(UnattendedUi, NeverWaitsAndLogsEveryMessageButNotTheQuestions) {
    std::ostringstream err;
    UnattendedUi ui(err);
    EXPECT_TRUE(ui.unattended());
    Ui& base = ui;
    EXPECT_EQ(base.message_box("Main Hold is\r\noff-line", "Off-Line", Icon::Information),
              Answer::Ok);
    EXPECT_EQ(ui.message_box("Print detail?", "POA", Icon::Question, Buttons::YesNo, true),
              Answer::No);
    EXPECT_EQ(ui.message_box("Go on?", "Q", Icon::Question, Buttons::YesNo, false), Answer::Yes);
    EXPECT_EQ(ui.input_box("ID?", "Station", "3"), std::nullopt);
    EXPECT_EQ(ui.file_dialog({"Select Export Destination", "", "export03.csv", ""}), "");
    EXPECT_EQ(err.str(), "Off-Line: Main Hold is\\noff-line\n");
}

bool wait_for_file(const std::filesystem::path& path) {
    for (int i = 0; i < 500 && !std::filesystem::exists(path); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::filesystem::exists(path);
}

TEST(StartProgram, StartsWithoutWaitingAndLeavesNoChildBehind) {
    TempDir dir;
    const auto script = dir / "lkupemp.exe";
    write_file(script, "#!/bin/sh\necho started > \"" + (dir / "marker").string() + "\"\n");
    ::chmod(script.c_str(), 0755);
    std::ostringstream err;
    UnattendedUi ui(err);  // uses the real start_program

    EXPECT_TRUE(ui.start_program(script.string()));
    EXPECT_TRUE(wait_for_file(dir / "marker"));
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);  // no child of ours to reap
    EXPECT_EQ(errno, ECHILD);

    write_file(dir / "plain.txt", "not a program");
    EXPECT_FALSE(ui.start_program((dir / "plain.txt").string()));
    EXPECT_FALSE(ui.start_program((dir / "missing.exe").string()));
}

}  // namespace
}  // namespace tillora
