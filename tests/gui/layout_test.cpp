// The window's geometry on a touch screen: every control placed, large enough to touch, readable,
// nothing overlapping.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <string>
#include <vector>

#include "gui/layout.h"
#include "gui/main_window.h"
#include "support/test_support.h"

namespace tillora::test {
namespace {

using gui::MainWindow;

// The keypad, the report buttons and every other button of the window.
bool is_touch_button(const std::string& name) {
    return name.rfind("cmd", 0) == 0;
}

TEST(Layout, EveryControlIsPlacedLargeAndReadable) {
    TestStation ts;
    ts.s().form.framanager.visible = true;
    MainWindow window(ts.s());
    EXPECT_EQ(window.size(), gui::kWindowSize);
    for (Control* c : ts.s().form.controls()) {
        SCOPED_TRACE(c->name);
        ASSERT_NE(gui::find_placement(c->name), nullptr);
        QWidget* w = window.widget(c->name);
        ASSERT_NE(w, nullptr);
        if (is_touch_button(c->name)) {
            EXPECT_GE(w->height(), gui::kMinTouchHeight);
        }
        EXPECT_GE(w->font().pixelSize(), gui::kMinFontPx);
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            const int text_width = QFontMetrics(button->font()).horizontalAdvance(button->text());
            EXPECT_LE(text_width + 8, w->width()) << "caption cut off";
        }
        if (auto* edit = qobject_cast<QLineEdit*>(w); edit != nullptr && c->name != "helpwindow") {
            // Eight digits of a date fit the widest entry, two digits the narrowest.
            const int digits = w->width() > 150 ? 8 : 2;
            EXPECT_LE(QFontMetrics(edit->font()).horizontalAdvance(QString(digits, '0')) + 12,
                      w->width());
        }
    }
}

TEST(Layout, NothingOverlapsAndEverythingLiesInsideItsParent) {
    TestStation ts;
    ts.s().form.framanager.visible = true;
    MainWindow window(ts.s());
    std::vector<QWidget*> parents = {&window, window.widget("framanager")};
    for (QWidget* parent : parents) {
        std::vector<QWidget*> children;
        for (QObject* o : parent->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            // The help panel is an overlay and hidden until Help is pressed.
            if (w != nullptr && w->isVisibleTo(parent) && w->objectName() != "frahelp") {
                children.push_back(w);
            }
        }
        ASSERT_GT(children.size(), 15u);
        for (std::size_t i = 0; i < children.size(); ++i) {
            const QRect a = children[i]->geometry();
            EXPECT_TRUE(parent->rect().contains(a)) << children[i]->objectName().toStdString();
            for (std::size_t j = i + 1; j < children.size(); ++j) {
                EXPECT_FALSE(a.intersects(children[j]->geometry()))
                    << children[i]->objectName().toStdString() << " overlaps "
                    << children[j]->objectName().toStdString();
            }
        }
    }
}

TEST(Layout, WindowSits350TwipsFromTheLeftAndCentredVertically) {
    struct Case {
        QRect screen;
        double dpi;
        int frame_height;
        QPoint expected;
    };
    const std::vector<Case> cases = {
        {QRect(0, 0, 1024, 768), 96, 748, QPoint(23, 10)},
        {QRect(1920, 0, 1280, 1024), 96, 720, QPoint(1943, 152)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gui::window_origin(c.screen, c.dpi, c.frame_height), c.expected);
    }
}

}  // namespace
}  // namespace tillora::test
