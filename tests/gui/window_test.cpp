// The Qt window driven through its real widgets: clicks on the keypad and the buttons, keys typed
// into the boxes, the help panel, the count screen, and the model's changes mirrored. What the
// model does with the keys is tested on the model (tests/panel, tests/scripts).
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <string>

#include "gui/main_window.h"
#include "support/test_support.h"

namespace tillora::test {
namespace {

using gui::MainWindow;

const QColor kYellow(255, 255, 0);
const QColor kWhite(255, 255, 255);

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
    void keypad(std::initializer_list<int> keys) {
        for (int k : keys) click("cmdnumber" + std::to_string(k));
    }
    QColor back(const std::string& name) { return box(name)->palette().color(QPalette::Base); }

    TestStation ts;
    MainWindow window{ts.s()};
};

TEST_F(WindowTest, KeypadAndKeysReachTheModelThroughTheWidgets) {
    // A touch focuses the box (the model empties and highlights it); the keypad leaves it there.
    click("txttodate");
    EXPECT_EQ(QApplication::focusWidget(), w("txttodate"));
    EXPECT_EQ(box("txttodate")->text(), "");
    EXPECT_EQ(back("txttodate"), kYellow);
    keypad({0, 9, 0, 5, kKeyEnter});
    EXPECT_EQ(box("txttodate")->text(), "20200905");
    EXPECT_EQ(back("txttodate"), kWhite);
    EXPECT_EQ(QApplication::focusWidget(), w("txttodate"));

    // A card reader sends number ; password.
    click("txtempid");
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
    QTest::keyClick(box("txtfromhour"), Qt::Key_Backspace);
    EXPECT_EQ(ts.s().form.txtfromhour.text, "1");

    // F5 in the ID box starts the employee look-up.
    const auto program = ts.home() / "lkupemp.exe";
    write_file(program, "#!/bin/sh\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    click("txtempid");
    QTest::keyClick(box("txtempid"), Qt::Key_F5);
    EXPECT_EQ(ts.ui.started, Lines{program.string()});
}

TEST_F(WindowTest, HelpPanelLiesOverTheBoxesAndHidesOnAClickOnTheTextOrTheFrame) {
    click("txtfromdate");
    keypad({1, 2});
    for (const auto& [target, where] :
         {std::pair{"lblhelp", QPoint(40, 40)}, std::pair{"frahelp", QPoint(4, 4)}}) {
        SCOPED_TRACE(target);
        click("cmdhelp");
        ASSERT_TRUE(w("frahelp")->isVisible());
        EXPECT_EQ(qobject_cast<QGroupBox*>(w("frahelp"))->title(), "Tillora Reports Help");
        EXPECT_TRUE(qobject_cast<QLabel*>(w("lblhelp"))->text().contains("<< Touch or Click Here"));
        const QPoint over_id = w("txtempid")->mapTo(&window, QPoint(5, 5));
        EXPECT_EQ(window.childAt(over_id)->objectName().left(3), "fra");
        QTest::mouseClick(w(target), Qt::LeftButton, {}, where);
        EXPECT_FALSE(w("frahelp")->isVisible());
        EXPECT_EQ(box("txtfromdate")->text(), "12");  // the box below was not touched
    }
}

TEST_F(WindowTest, CountScreenTakesTheManagerFramesPlaceAndTheKeypad) {
    ts.s().form.txtempid.text = "12";
    ts.s().form.framanager.visible = true;
    window.refresh();
    click("cmdcountdrawer");
    ASSERT_TRUE(w("fracount")->isVisible());
    EXPECT_FALSE(w("framanager")->isVisible());
    EXPECT_EQ(w("fracount")->geometry(), w("framanager")->geometry());
    EXPECT_EQ(QApplication::focusWidget(), w("txtopeningbank"));
    keypad({1, 5, 0, 0, 0});
    EXPECT_EQ(box("txtopeningbank")->text(), "150.00");
    EXPECT_EQ(qobject_cast<QLabel*>(w("lblexpcash"))->text(), "150.00");
    click("cmdcountcancel");
    EXPECT_FALSE(w("fracount")->isVisible());
    EXPECT_TRUE(w("framanager")->isVisible());
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
