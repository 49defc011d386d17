// The Qt user-interface services: message boxes, filters, topmost band, yield, starting a program,
// and the display check of the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "gui/qt_ui.h"
#include "support/test_support.h"

namespace tillora::test {
namespace {

using gui::QtUi;

// What a message box showed.
struct Shown {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

TEST(QtUi, MessageBoxesShowTitleIconAndDefaultButton) {
    struct Case {
        Icon icon;
        Buttons buttons;
        bool default_no;
        QMessageBox::Icon qt_icon;
        Answer enter_gives;
    };
    const std::vector<Case> cases = {
        {Icon::Information, Buttons::Ok, false, QMessageBox::Information, Answer::Ok},
        {Icon::Critical, Buttons::Ok, false, QMessageBox::Critical, Answer::Ok},
        {Icon::Exclamation, Buttons::Ok, false, QMessageBox::Warning, Answer::Ok},
        {Icon::Question, Buttons::YesNo, true, QMessageBox::Question, Answer::No},
        {Icon::Question, Buttons::YesNo, false, QMessageBox::Question, Answer::Yes},
    };
    QWidget window;
    QtUi ui;
    ui.attach(&window);
    for (const Case& c : cases) {
        Shown shown;
        QTimer::singleShot(0, [&shown] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shown = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
            QTest::keyClick(box, Qt::Key_Return);
        });
        const Answer answer = ui.message_box("Click YES\r\nto export now", "Confirm export...",
                                             c.icon, c.buttons, c.default_no);
        EXPECT_EQ(answer, c.enter_gives);
        EXPECT_EQ(shown.title, "Confirm export...");
        EXPECT_EQ(shown.text, "Click YES\nto export now");
        EXPECT_EQ(shown.icon, c.qt_icon);
        EXPECT_EQ(shown.buttons.testFlag(QMessageBox::No), c.buttons == Buttons::YesNo);
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
    const std::vector<std::pair<std::string, QString>> cases = {
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

TEST(QtUi, StartsAnExecutableDetachedAndRefusesOthers) {
    TempDir dir;
    const auto marker = dir / "started.txt";
    const auto program = dir / "lkupemp.exe";
    write_file(program, "#!/bin/sh\npwd > started.txt\n");
    QtUi ui;
    EXPECT_FALSE(ui.start_program(program.string()));  // not executable yet
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    EXPECT_TRUE(ui.start_program(program.string()));
    for (int waited = 0; waited < 100 && !std::filesystem::exists(marker); ++waited) {
        QTest::qWait(50);
    }
    ASSERT_TRUE(std::filesystem::exists(marker));
    // It runs in its own folder, the installation folder.
    QTest::qWait(50);
    EXPECT_EQ(file_lines(marker).at(0), std::filesystem::canonical(dir.path()).string());
}

}  // namespace
}  // namespace tillora::test
