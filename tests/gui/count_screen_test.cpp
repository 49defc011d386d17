// The drawer count screen in the Qt window: it takes the manager frame's place, its boxes take
// the keypad and the keyboard, and Print Count brings the manager frame back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "gui/main_window.h"
#include "support/test_support.h"

namespace tillora::test {
namespace {

TEST(CountScreenWindow, CountsTheDrawerThroughItsWidgets) {
    TestStation ts;
    ts.s().form.txtempid.text = "12";
    ts.s().form.framanager.visible = true;
    gui::MainWindow window(ts.s());
    ts.ui.on_yield = [&window] { window.refresh(); };
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto w = [&window](const char* name) { return window.widget(name); };
    auto text = [&w](const char* name) {
        QWidget* widget = w(name);
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text().toStdString();
        return qobject_cast<QLabel*>(widget)->text().toStdString();
    };

    QTest::mouseClick(w("cmdcountdrawer"), Qt::LeftButton);
    ASSERT_TRUE(w("fracount")->isVisible());
    EXPECT_FALSE(w("framanager")->isVisible());
    EXPECT_EQ(w("fracount")->geometry(), w("framanager")->geometry());
    EXPECT_EQ(QApplication::focusWidget(), w("txtopeningbank"));
    std::vector<QWidget*> inside;
    for (QWidget* c : w("fracount")->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (c->isVisibleTo(w("fracount"))) inside.push_back(c);
    }
    for (std::size_t i = 0; i < inside.size(); ++i) {
        EXPECT_TRUE(w("fracount")->rect().contains(inside[i]->geometry()));
        for (std::size_t j = i + 1; j < inside.size(); ++j) {
            EXPECT_FALSE(inside[i]->geometry().intersects(inside[j]->geometry()))
                << inside[i]->objectName().toStdString() << " overlaps "
                << inside[j]->objectName().toStdString();
        }
    }

    for (int key : {1, 5, 0, 0, 0}) {
        QTest::mouseClick(w(("cmdnumber" + std::to_string(key)).c_str()), Qt::LeftButton);
    }
    EXPECT_EQ(text("txtopeningbank"), "150.00");
    EXPECT_EQ(text("lblexpcash"), "150.00");
    QTest::mouseClick(w("txtcountcash"), Qt::LeftButton);
    QTest::keyClicks(w("txtcountcash"), "14a999");
    EXPECT_EQ(text("txtcountcash"), "149.99");

    QTest::mouseClick(w("cmdcountprint"), Qt::LeftButton);
    EXPECT_FALSE(w("fracount")->isVisible());
    EXPECT_TRUE(w("framanager")->isVisible());
    ASSERT_EQ(ts.jobs().size(), 1u);
    EXPECT_EQ(ts.jobs()[0][11], "Cash           150.00   149.99     -.01");
}

}  // namespace
}  // namespace tillora::test
