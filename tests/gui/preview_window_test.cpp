// The receipt view, the progress bar and the layout at three screen sizes, through the real
// widgets, with screenshots under <build>/screenshots/ that the checks below read back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <string>

#include "gui/layout.h"
#include "gui/main_window.h"
#include "gui/preview_view.h"
#include "support/test_support.h"

namespace tillora::test {
namespace {

using gui::MainWindow;

class PreviewWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ts.ui.on_yield = [this] { window.refresh(); };
        ts.s().on_change = [this] { window.refresh(); };
        // Manager 103 logged in, a year of dates.
        FormModel& f = ts.s().form;
        f.txtempid.text = "103";
        f.txtfromdate.text = "20200101";
        f.txttodate.text = "20201231";
        for (Control* c : {&f.cmdserver1, &f.cmdserver2, &f.cmdmanager, &f.cmdpreview}) {
            c->enabled = true;
        }
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

    // Saves the window as <build>/screenshots/<name>.png and reads it back.
    QImage screenshot(const std::string& name) {
        const QString folder = QString(TILLORA_BINARY_DIR) + "/screenshots";
        QDir().mkpath(folder);
        const QString path = folder + "/" + QString::fromStdString(name) + ".png";
        EXPECT_TRUE(window.grab().save(path)) << path.toStdString();
        return QImage(path);
    }
    // True when the part `r` of `image` holds more than one colour (something is drawn there).
    static bool drawn(const QImage& image, const QRect& r) {
        const QRgb first = image.pixel(r.topLeft());
        for (int y = r.top(); y <= r.bottom(); y += 2) {
            for (int x = r.left(); x <= r.right(); x += 2) {
                if (image.pixel(x, y) != first) return true;
            }
        }
        return false;
    }

    TestStation ts;
    MainWindow window{ts.s()};
};

TEST_F(PreviewWindowTest, ReportShowsInTheViewScrollsAndPrintsFromThere) {
    click("cmdpreview");
    EXPECT_TRUE(qobject_cast<QPushButton*>(w("cmdpreview"))->isChecked());
    click("cmdserver3");
    ASSERT_TRUE(view()->isVisible());
    EXPECT_TRUE(ts.jobs().empty());
    const QString text = view()->text();
    EXPECT_EQ(text.toStdString(), ts.s().form.txtpreview.text);
    EXPECT_TRUE(text.startsWith("All Closed Tickets\n"));
    EXPECT_TRUE(text.contains("Ticket Count:   40"));

    // Forty columns fit the view without a horizontal scroll.
    QPlainTextEdit* area = view()->text_area();
    EXPECT_LE(QFontMetrics(area->font()).horizontalAdvance(QString(40, 'M')),
              area->viewport()->width());
    QScrollBar* bar = area->verticalScrollBar();
    EXPECT_EQ(bar->value(), 0);
    QTest::mouseClick(view()->scroll_down_button(), Qt::LeftButton);
    EXPECT_GT(bar->value(), 0);
    QTest::mouseClick(view()->scroll_up_button(), Qt::LeftButton);
    EXPECT_EQ(bar->value(), 0);

    const QImage shot = screenshot("preview");
    EXPECT_TRUE(drawn(shot, view()->geometry()));
    EXPECT_TRUE(drawn(shot, w("cmdpreviewprint")->geometry()));

    click("cmdpreviewprint");
    ASSERT_EQ(ts.jobs().size(), 1u);
    EXPECT_EQ(ts.jobs()[0], ts.s().preview.shown);
    click("cmdpreviewclose");
    EXPECT_FALSE(view()->isVisible());
    EXPECT_TRUE(w("txtfromdate")->isVisible());
}

TEST_F(PreviewWindowTest, ProgressBarAndStopShowWhileAReportRuns) {
    bool checked = false;
    ts.ui.on_yield = [&] {
        window.refresh();
        auto* bar = qobject_cast<QProgressBar*>(w("prgwork"));
        if (checked || !bar->isVisible() || bar->value() < 20) return;
        checked = true;
        EXPECT_EQ(bar->maximum(), 40);
        EXPECT_TRUE(w("cmdstop")->isVisible());
        const QImage shot = screenshot("progress");
        EXPECT_TRUE(drawn(shot, bar->geometry()));
        EXPECT_TRUE(drawn(shot, w("cmdstop")->geometry()));
        QTest::mouseClick(w("cmdstop"), Qt::LeftButton);
    };
    ts.ui.on_keep_alive = [this] { ts.clock.advance_ms(50); };
    ts.ui.on_yield = [this, inner = ts.ui.on_yield] {
        ts.clock.advance_ms(50);
        inner();
    };
    click("cmdserver3");
    EXPECT_TRUE(checked);
    EXPECT_FALSE(w("prgwork")->isVisible());
    EXPECT_FALSE(w("cmdstop")->isVisible());
    EXPECT_EQ(qobject_cast<QLineEdit*>(w("helpwindow"))->text(), "Report stopped.");
    EXPECT_TRUE(ts.jobs().empty());
}

TEST_F(PreviewWindowTest, LayoutScalesToTheScreenKeepingPlacesAndGrowing) {
    ts.s().form.cmdstop.visible = true;
    ts.s().form.prgwork.visible = true;
    window.refresh();
    const int base_button_font = w("cmdserver3")->font().pixelSize();
    const int base_view_font = view()->text_area()->font().pixelSize();
    for (const QSize size : {QSize(1024, 768), QSize(1280, 1024), QSize(1920, 1080)}) {
        SCOPED_TRACE(size.width());
        window.resize(size);
        QApplication::processEvents();
        ASSERT_EQ(window.size(), size);
        const gui::Scale scale = gui::scale_for(size);
        for (Control* c : ts.s().form.controls()) {
            SCOPED_TRACE(c->name);
            const gui::Placement* place = gui::find_placement(c->name);
            ASSERT_NE(place, nullptr);
            QWidget* widget = w(c->name);
            EXPECT_EQ(widget->geometry(), scale.rect(place->rect));
            if (!widget->isVisibleTo(&window)) continue;
            EXPECT_TRUE(QRect(QPoint(0, 0), size).contains(widget->mapTo(&window, QPoint(0, 0))));
            if (auto* button = qobject_cast<QPushButton*>(widget)) {
                EXPECT_GE(button->height(), gui::kMinTouchHeight * std::min(scale.x, scale.y) - 1);
                EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(button->text()) + 8,
                          button->width())
                    << "caption cut off";
            }
        }
        // The report buttons keep their order; text and the receipt type grow with the screen.
        EXPECT_LT(w("cmdserver1")->x(), w("cmdserver2")->x());
        EXPECT_LT(w("helpwindow")->y(), w("prgwork")->y());
        EXPECT_GE(w("cmdserver3")->font().pixelSize(), base_button_font);
        click("cmdpreview");
        click("cmdserver4");
        const int view_font = view()->text_area()->font().pixelSize();
        if (size.width() >= 1280) {
            EXPECT_GT(view_font, base_view_font);
        }
        const QImage shot = screenshot("window-" + std::to_string(size.width()) + "x" +
                                       std::to_string(size.height()));
        EXPECT_EQ(shot.size(), size);
        EXPECT_TRUE(drawn(shot, w("framanager")->geometry()));
        EXPECT_TRUE(drawn(shot, view()->geometry()));
        click("cmdpreviewclose");
        click("cmdpreview");
    }
}

}  // namespace
}  // namespace tillora::test
