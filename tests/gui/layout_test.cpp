// The window's geometry on a touch screen, at the drawn size and scaled to larger screens: every
// control placed inside the window, large enough to touch, readable, nothing overlapping.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <string>
#include <vector>

#include "gui/layout.h"
#include "gui/main_window.h"
#include "gui/preview_view.h"
#include "support/test_support.h"

namespace tillora::test {
namespace {

using gui::MainWindow;

// Every child of `parent` that is shown lies inside it and overlaps no other. The help panel is
// an overlay, hidden until Help is pressed.
void expect_children_apart(QWidget* parent) {
    std::vector<QWidget*> children;
    for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isVisibleTo(parent) && w->objectName() != "frahelp") children.push_back(w);
    }
    ASSERT_GT(children.size(), 10u);
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

TEST(Layout, EveryControlIsPlacedTouchableAndReadableAtEverySize) {
    TestStation ts;
    ts.s().form.framanager.visible = true;
    MainWindow window(ts.s());
    EXPECT_EQ(window.size(), gui::kWindowSize);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const int base_button_font = window.widget("cmdserver3")->font().pixelSize();
    auto* view = qobject_cast<gui::PreviewView*>(window.widget("txtpreview"));
    const int base_view_font = view->text_area()->font().pixelSize();
    for (const QSize size : {gui::kWindowSize, QSize(1280, 1024), QSize(1920, 1080)}) {
        SCOPED_TRACE(size.width());
        window.resize(size);
        QApplication::processEvents();
        ASSERT_EQ(window.size(), size);
        const gui::Scale scale = gui::scale_for(size);
        for (Control* c : ts.s().form.controls()) {
            SCOPED_TRACE(c->name);
            ASSERT_NE(gui::find_placement(c->name), nullptr);
            QWidget* w = window.widget(c->name);
            ASSERT_NE(w, nullptr);
            EXPECT_TRUE(QRect(QPoint(0, 0), size)
                            .contains(QRect(w->mapTo(&window, QPoint(0, 0)), w->size())));
            EXPECT_GE(w->font().pixelSize(), gui::kMinFontPx);
            if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                EXPECT_GE(button->height(), gui::kMinTouchHeight * std::min(scale.x, scale.y) - 1);
                EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(button->text()) + 8,
                          button->width())
                    << "caption cut off";
            }
            if (auto* edit = qobject_cast<QLineEdit*>(w);
                edit != nullptr && c->name != "helpwindow") {
                // Eight digits of a date fit the widest entry, two digits the narrowest.
                const int digits = w->width() > 150 * scale.x ? 8 : 2;
                EXPECT_LE(QFontMetrics(edit->font()).horizontalAdvance(QString(digits, '0')) + 12,
                          w->width());
            }
        }
        for (const char* parent : {"framanager", "fracount"}) {
            expect_children_apart(window.widget(parent));
        }
        expect_children_apart(&window);
        // Text and the receipt type grow with the screen.
        EXPECT_GE(window.widget("cmdserver3")->font().pixelSize(), base_button_font);
        if (size.width() >= 1280) {
            EXPECT_GT(view->text_area()->font().pixelSize(), base_view_font);
        }
    }
}

TEST(Layout, WindowSits350TwipsFromTheLeftAndCentredVertically) {
    EXPECT_EQ(gui::window_origin(QRect(0, 0, 1024, 768), 96, 748), QPoint(23, 10));
    EXPECT_EQ(gui::window_origin(QRect(1920, 0, 1280, 1024), 96, 720), QPoint(1943, 152));
}

}  // namespace
}  // namespace tillora::test
