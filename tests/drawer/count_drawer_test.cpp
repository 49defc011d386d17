#include "drawer/count_drawer.h"

#include <gtest/gtest.h>

#include "panel/entry.h"
#include "support/fixtures.h"

namespace tillora {
namespace {

using test::Lines;
using test::TestStation;

// The tenders of tests/fixtures/count-day.txt; the audit file pays out 12.50 and takes in 5.00
// on the day, and pays out 99.00 the day before.
void add_day(TestStation& t) {
    test::load_fixture(t, "count-day");
    test::write_file(t.home() / "audit03.txt",
                     "09-04-2020 10:00 E#12 PaidOut -12.50\n"
                     "09-04-2020 11:00 E#12 Paid-IN 5.00\n"
                     "09-03-2020 10:00 E#12 PaidOut -99.00\n");
}

// Focuses an amount box and presses its digits on the keypad.
void enter_amount(Station& s, const std::string& box, const std::string& digits) {
    focus_control(s, box);
    for (char d : digits) cmdnumber_click(s, d - '0');
}

// Opens the count screen and enters opening bank 150.00, cash 210.00, checks 30.00, member
// 42.10 and cards 40.00.
void count_the_day(TestStation& t) {
    t.s().form.txtempid.text = "12";
    t.st().empid = 12;
    cmdcountdrawer_click(t.s());
    for (const auto& [box, digits] : {std::pair{"txtopeningbank", "15000"},
                                      {"txtcountcash", "21000"},
                                      {"txtcountchecks", "3000"},
                                      {"txtcountmember", "4210"},
                                      {"txtcountcards", "4000"}}) {
        enter_amount(t.s(), box, digits);
    }
}

// The keypad's cents and the expected figures are operator scripts in tests/scripts
// (count_amounts, count_expected); the box's colour and the active field are not shown there.
TEST(CountDrawer, AmountBoxIsHighlightedWhileTypedAndEnterEndsTheEntry) {
    TestStation t;
    cmdcountdrawer_click(t.s());
    Control& box = t.s().form.count->txtcountcash;
    focus_control(t.s(), "txtcountcash");
    EXPECT_EQ(box.back, Colour::Highlight);
    for (char ch : std::string("12a3.4\b5\r")) key_press(t.s(), ch);
    EXPECT_EQ(box.text, "12.35");
    EXPECT_EQ(box.back, Colour::White);
    EXPECT_EQ(t.s().form.activefield, 0);
}

TEST(CountDrawer, CountsAreNumberedAcrossProgramRunsAndNeverChanged) {
    TestStation t;
    StoredCount count;
    count.empid = "12";
    count.counted.cash = Currency::from_units(123400);
    for (std::int64_t expected : {1, 2}) {
        store_count(t.s(), count);
        EXPECT_EQ(count.countno, expected);
    }
    // A new program run on the same installation goes on from the last number.
    Station next(Services{t.ui, *t.printers, t.clock, t.home()});
    next.st = t.st();
    ASSERT_TRUE(last_count(next).has_value());
    EXPECT_EQ(last_count(next)->countno, 2);
    store_count(next, count);
    EXPECT_EQ(count.countno, 3);

    auto db = Database::open(t.home() / "KOVRAZ03.MDB");
    for (const char* change :
         {"update drawercount set cntcash = 0", "delete from drawercount where countno = 1"}) {
        SCOPED_TRACE(change);
        EXPECT_THROW(db->execute(change), StoreError);
    }
    const auto kept = last_count(next);
    EXPECT_EQ(kept->countno, 3);
    EXPECT_EQ(kept->counted.cash, Currency::from_units(123400));
}

// A count that cannot be stored prints nothing and keeps the entries; the obstacle gone, the
// same entries are stored, audited and printed, and a reprint prints what was stored whatever
// the screen shows now.
TEST(CountDrawer, PrintCountStoresAuditsPrintsAndReprints) {
    for (const std::string failure : {"missing folder", "damaged file", "locked database"}) {
        SCOPED_TRACE(failure);
        TestStation t;
        add_day(t);
        count_the_day(t);
        const auto home = t.s().svc.home;
        const auto file = t.home() / "KOVRAZ03.MDB";
        std::unique_ptr<Database> holder;
        if (failure == "missing folder") t.s().svc.home = home / "gone";
        if (failure == "damaged file") test::write_file(file, std::string(4096, 'x'));
        if (failure == "locked database") {
            holder = test::create_database(file, "drawer.sql");
            holder->execute("begin exclusive");
        }
        const Lines audit = test::file_lines(t.home() / "audit03.txt");
        cmdcountprint_click(t.s());
        FormModel& f = t.s().form;
        EXPECT_TRUE(f.count->fracount.visible);
        EXPECT_EQ(f.count->txtcountcards.text, "40.00");
        EXPECT_TRUE(t.jobs().empty());
        EXPECT_EQ(test::file_lines(t.home() / "audit03.txt"), audit);
        EXPECT_EQ(t.st().reportbusy, 0);
        EXPECT_EQ(t.boxes().back().rfind("MSGBOX Oops... | The drawer count was not stored and "
                                         "nothing was printed.",
                                         0),
                  0u)
            << t.boxes().back();

        t.s().svc.home = home;
        holder.reset();
        if (failure == "damaged file") std::filesystem::remove(file);
        cmdcountprint_click(t.s());
        EXPECT_FALSE(f.count->fracount.visible);
        EXPECT_TRUE(f.framanager.visible);
        EXPECT_EQ(t.st().reportbusy, 0);
        ASSERT_EQ(t.jobs().size(), 1u);
        test::expect_file("drawer_count.txt", t.job_texts()[0]);
        const Lines printed_audit = test::file_lines(t.home() / "audit03.txt");
        EXPECT_EQ(printed_audit.back(), "09042020\\14:37\\E#12\\Drawer Count-12 #1");

        cmdcountdrawer_click(t.s());
        enter_amount(t.s(), "txtcountcash", "1");
        cmdcountreprint_click(t.s());
        EXPECT_TRUE(f.count->fracount.visible);
        ASSERT_EQ(t.jobs().size(), 2u);
        test::expect_file("drawer_count_reprint.txt", t.job_texts()[1]);
        cmdcountcancel_click(t.s());
        EXPECT_TRUE(f.framanager.visible);
        EXPECT_EQ(test::file_lines(t.home() / "audit03.txt"), printed_audit);
    }
}

}  // namespace
}  // namespace tillora
