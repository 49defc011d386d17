// The receipt view and the progress bar through the real widgets. What the view holds and what
// Stop ends is tested on the model (tests/other/preview_test.cpp).
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <string>

#include "gui/main_window.h"
#include "gui/preview_view.h"
#include "support/test_support.h"

namespace tillora::test {
namespace {

class PreviewWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ts.ui.on_yield = [this] { window.refresh(); };
        ts.s().on_change = [this] { window.refresh(); };
        // Manager 103 logged in, 40 tickets in a year of dates.
        FormModel& f = ts.s().form;
        f.txtempid.text = "103";
        f.txtfromdate.text = "20200101";
        f.txttodate.text = "20201231";
        for (Control* c : {&f.cmdmanager, &f.cmdpreview}) c->enabled = true;
        f.framanager.visible = true;
        for (int i = 1; i <= 40; ++i) {
            ts.add_line({{"ticket", i},
                         {"server", 7},
                         {"poschitdate", 20200100 + i % 28 + 1},
                         {"poschitbase", 1.0 * i},
                         {"poschittotal", 1.0 * i}});
        }
        window.refresh();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QWidget* w(const std::string& name) {
        QWidget* found = window.widget(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const std::string& name) { QTest::mouseClick(w(name), Qt::LeftButton); }
    gui::PreviewView* view() { return qobject_cast<gui::PreviewView*>(w("txtpreview")); }

    TestStation ts;
    gui::MainWindow window{ts.s()};
};

TEST_F(PreviewWindowTest, ReportShowsInTheViewScrollsAndPrintsFromThere) {
    click("cmdpreview");
    EXPECT_TRUE(qobject_cast<QPushButton*>(w("cmdpreview"))->isChecked());
    click("cmdserver3");
    ASSERT_TRUE(view()->isVisible());
    EXPECT_TRUE(ts.jobs().empty());
    EXPECT_EQ(view()->text().toStdString(), ts.s().form.txtpreview.text);

    // Forty columns fit the view without a horizontal scroll; the buttons scroll it.
    QPlainTextEdit* area = view()->text_area();
    EXPECT_LE(QFontMetrics(area->font()).horizontalAdvance(QString(40, 'M')),
              area->viewport()->width());
    QScrollBar* bar = area->verticalScrollBar();
    EXPECT_EQ(bar->value(), 0);
    QTest::mouseClick(view()->scroll_down_button(), Qt::LeftButton);
    EXPECT_GT(bar->value(), 0);
    QTest::mouseClick(view()->scroll_up_button(), Qt::LeftButton);
    EXPECT_EQ(bar->value(), 0);

    click("cmdpreviewprint");
    EXPECT_EQ(ts.jobs().size(), 1u);
    click("cmdpreviewclose");
    EXPECT_FALSE(view()->isVisible());
    EXPECT_TRUE(w("txtfromdate")->isVisible());
}

TEST_F(PreviewWindowTest, ProgressBarAndStopShowWhileAReportRuns) {
    bool stopped = false;
    ts.ui.on_keep_alive = [this] { ts.clock.advance_ms(50); };
    ts.ui.on_yield = [&] {
        ts.clock.advance_ms(50);
        window.refresh();
        auto* bar = qobject_cast<QProgressBar*>(w("prgwork"));
        if (stopped || !bar->isVisible() || bar->value() < 20) return;
        stopped = true;
        EXPECT_EQ(bar->maximum(), 40);
        EXPECT_TRUE(w("cmdstop")->isVisible());
        QTest::mouseClick(w("cmdstop"), Qt::LeftButton);
    };
    click("cmdserver3");
    EXPECT_TRUE(stopped);
    EXPECT_FALSE(w("prgwork")->isVisible());
    EXPECT_FALSE(w("cmdstop")->isVisible());
    EXPECT_EQ(qobject_cast<QLineEdit*>(w("helpwindow"))->text(), "Report stopped.");
    EXPECT_TRUE(ts.jobs().empty());
}

}  // namespace
}  // namespace tillora::test
