// The Qt user-interface services: message boxes, file filters, the topmost band, yield and
// starting a program.
#include "gui/qt_ui.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace tillora::test {
namespace {

using gui::QtUi;

TEST(QtUi, MessageBoxesShowTitleIconAndDefaultButton) {
    const struct {
        Icon icon;
        Buttons buttons;
        bool default_no;
        QMessageBox::Icon qt_icon;
        Answer enter_gives;
    } cases[] = {
        {Icon::Information, Buttons::Ok, false, QMessageBox::Information, Answer::Ok},
        {Icon::Critical, Buttons::Ok, false, QMessageBox::Critical, Answer::Ok},
        {Icon::Exclamation, Buttons::Ok, false, QMessageBox::Warning, Answer::Ok},
        {Icon::Question, Buttons::YesNo, true, QMessageBox::Question, Answer::No},
        {Icon::Question, Buttons::YesNo, false, QMessageBox::Question, Answer::Yes},
    };
    QWidget window;
    QtUi ui;
    ui.attach(&window);
    for (const auto& c : cases) {
        QTimer::singleShot(0, [&c] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), "Confirm export...");
            EXPECT_EQ(box->text(), "Click YES\nto export now");
            EXPECT_EQ(box->icon(), c.qt_icon);
            EXPECT_EQ(box->standardButtons().testFlag(QMessageBox::No),
                      c.buttons == Buttons::YesNo);
            QTest::keyClick(box, Qt::Key_Return);
        });
        EXPECT_EQ(ui.message_box("Click YES\r\nto export now", "Confirm export...", c.icon,
                                 c.buttons, c.default_no),
                  c.enter_gives);
    }
}

TEST(QtUi, YieldsProcessEventsAtMostEveryTwoMilliseconds) {
    QtUi ui;
    int mirrored = 0;
    ui.on_yield = [&mirrored] { ++mirrored; };
    bool posted_ran = false;
    QTimer::singleShot(0, [&posted_ran] { posted_ran = true; });
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 20000; ++i) ui.yield();
    EXPECT_TRUE(posted_ran);  // the first yield of a report processes what is pending
    EXPECT_GE(mirrored, 1);
    EXPECT_LE(mirrored, clock.elapsed() / 2 + 1);
}

TEST(QtUi, FileFiltersBecomeQtNameFilters) {
    const std::pair<std::string, QString> cases[] = {
        {"CSV Files (*.csv)|*.csv", "CSV Files (*.csv)"},
        {"Text|*.txt|All Files|*.*", "Text (*.txt);;All Files (*.*)"},
        {"Data|*.csv;*.txt", "Data (*.csv *.txt)"},
        {"", ""},
    };
    for (const auto& [filter, expected] : cases) {
        EXPECT_EQ(gui::qt_name_filter(filter), expected) << filter;
    }
}

TEST(QtUi, TopmostBandIsSetAndClearedKeepingTheWindowShown) {
    QWidget window;
    QtUi ui;
    ui.set_topmost(true);  // before the window is attached: applied on attach
    ui.attach(&window);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    window.show();
    ui.set_topmost(false);
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.isVisible());
}

// The program runs detached in its own folder, the installation folder; a file that cannot run
// is refused.
TEST(QtUi, StartsAnExecutableDetachedInItsFolderAndRefusesOthers) {
    TempDir dir;
    const auto marker = dir / "started.txt";
    const auto program = dir / "lkupemp.exe";
    write_file(program, "#!/bin/sh\npwd > started.txt.new && mv started.txt.new started.txt\n");
    QtUi ui;
    EXPECT_FALSE(ui.start_program(program.string()));
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    EXPECT_TRUE(ui.start_program(program.string()));
    for (int waited = 0; waited < 100 && !std::filesystem::exists(marker); ++waited) {
        QTest::qWait(50);
    }
    EXPECT_EQ(read_file(marker), std::filesystem::canonical(dir.path()).string() + "\n");
}

}  // namespace
}  // namespace tillora::test
