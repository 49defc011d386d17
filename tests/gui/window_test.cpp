// The Qt window driven through its real widgets: clicks on the keypad and the buttons, keys typed
// into the boxes, the help panel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDevice>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "gui/main_window.h"
#include "support/test_support.h"

namespace tillora::test {
namespace {

using gui::MainWindow;

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ts.ui.on_yield = [this] { window.refresh(); };
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QWidget* w(const std::string& name) {
        QWidget* found = window.widget(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit* box(const std::string& name) { return qobject_cast<QLineEdit*>(w(name)); }
    void click(const std::string& name) { QTest::mouseClick(w(name), Qt::LeftButton); }
    void keypad(const std::vector<int>& keys) {
        for (int k : keys) click("cmdnumber" + std::to_string(k));
    }
    QColor back(const std::string& name) { return box(name)->palette().color(QPalette::Base); }

    TestStation ts;
    MainWindow window{ts.s()};
};

const QColor kYellow(255, 255, 0);
const QColor kWhite(255, 255, 255);

TEST_F(WindowTest, KeypadWritesIntoTheBoxLastTouched) {
    struct Case {
        std::string box;
        std::vector<int> keys;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"txtfromhour", {2, 7}, "23"},
        {"txttominute", {7, 5}, "59"},
        {"txttodate", {1, 2, 3, 1, kKeyBksp, kKeyBksp}, "12"},
        {"txtfromminute", {4, kKeyClear, 3}, "3"},
        {"txtempid", {4, 5}, "45"},
        {"txtfromdate", {0, 9, 0, 5, kKeyEnter}, "20200905"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        click(c.box);
        EXPECT_EQ(QApplication::focusWidget(), w(c.box));
        EXPECT_EQ(box(c.box)->text(), "");  // focusing empties the box
        EXPECT_EQ(back(c.box), kYellow);
        keypad(c.keys);
        EXPECT_EQ(box(c.box)->text().toStdString(), c.expected);
        EXPECT_EQ(back(c.box), c.keys.back() == kKeyEnter ? kWhite : kYellow);
        EXPECT_EQ(QApplication::focusWidget(), w(c.box));  // the keypad leaves the focus
    }
}

TEST_F(WindowTest, KeysTypedGoThroughTheModelsFilters) {
    click("txtempid");
    // A card reader sends number ; password.
    QTest::keyClicks(box("txtempid"), "12a;34");
    EXPECT_EQ(box("txtempid")->text(), "12");
    EXPECT_EQ(box("txtpassword")->text(), "34");
    EXPECT_EQ(QApplication::focusWidget(), w("txtpassword"));

    click("txtfromdate");
    QTest::keyClicks(box("txtfromdate"), "0904");
    QTest::keyClick(box("txtfromdate"), Qt::Key_Return);
    EXPECT_EQ(box("txtfromdate")->text(), "20200904");

    // Keys Qt would edit with on its own change nothing: the model owns the text.
    click("txtfromhour");
    QTest::keyClicks(box("txtfromhour"), "1234");
    QTest::keyClick(box("txtfromhour"), Qt::Key_Left);
    QTest::keyClick(box("txtfromhour"), Qt::Key_Delete);
    QTest::keyClick(box("txtfromhour"), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(box("txtfromhour")->text(), "12");
    EXPECT_EQ(ts.s().form.txtfromhour.text, "12");
    QTest::keyClick(box("txtfromhour"), Qt::Key_Backspace);
    EXPECT_EQ(box("txtfromhour")->text(), "1");
}

TEST_F(WindowTest, HelpPanelHidesOnAClickOnTheTextOrTheFrame) {
    struct Case {
        std::string target;
        QPoint where;
    };
    const std::vector<Case> cases = {{"lblhelp", QPoint(40, 40)}, {"frahelp", QPoint(4, 4)}};
    click("txtfromdate");
    keypad({1, 2});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        EXPECT_FALSE(w("frahelp")->isVisible());
        click("cmdhelp");
        EXPECT_TRUE(w("frahelp")->isVisible());
        const QString text = qobject_cast<QLabel*>(w("lblhelp"))->text();
        EXPECT_TRUE(
            text.contains("<< Touch or Click Here at any time to clear this help screen. >>"));
        EXPECT_EQ(qobject_cast<QGroupBox*>(w("frahelp"))->title(), "Tillora Reports Help");
        // The panel lies over the entry boxes: a click there reaches the panel.
        const QPoint over_id = w("txtempid")->mapTo(&window, QPoint(5, 5));
        EXPECT_EQ(window.childAt(over_id)->objectName().toStdString().substr(0, 3), "fra");
        QTest::mouseClick(w(c.target), Qt::LeftButton, {}, c.where);
        EXPECT_FALSE(w("frahelp")->isVisible());
        EXPECT_EQ(box("txtfromdate")->text(), "12");
    }
}

TEST_F(WindowTest, F5InTheIdBoxStartsTheEmployeeLookUp) {
    const auto program = ts.home() / "lkupemp.exe";
    write_file(program, "#!/bin/sh\n");
    click("txtfromdate");
    QTest::keyClick(box("txtfromdate"), Qt::Key_F5);
    click("txtempid");
    QTest::keyClick(box("txtempid"), Qt::Key_F5);
    EXPECT_TRUE(ts.ui.started.empty());  // not executable
    QFile::setPermissions(QString::fromStdString(program.string()),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QTest::keyClick(box("txtempid"), Qt::Key_F5);
    ASSERT_EQ(ts.ui.started.size(), 1u);
    EXPECT_EQ(ts.ui.started[0], program.string());
}

TEST_F(WindowTest, MirrorsWhatTheModelChanges) {
    FormModel& f = ts.s().form;
    f.caption = "Workstation Reports/Exports 20.09.04a";
    f.cmdserver7.enabled = false;
    f.framanager.visible = true;
    f.txttohour.back = Colour::Highlight;
    f.txttohour.text = "17";
    f.focused = "txttohour";
    window.refresh();
    EXPECT_EQ(window.windowTitle(), "Workstation Reports/Exports 20.09.04a");
    EXPECT_FALSE(w("cmdserver7")->isEnabled());
    EXPECT_TRUE(w("cmdserver8")->isVisible());
    EXPECT_EQ(back("txttohour"), kYellow);
    EXPECT_EQ(box("txttohour")->text(), "17");
    // Focus set by the model is not an operator's touch: the box is not emptied.
    EXPECT_EQ(QApplication::focusWidget(), w("txttohour"));
    EXPECT_EQ(f.txttohour.text, "17");
}

}  // namespace
}  // namespace tillora::test

int main(int argc, char** argv) {
    // The tests click real widgets without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
