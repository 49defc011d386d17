// The drawer count screen as data: its controls (it takes the place of the manager frame while it
// is open), the figures it shows and the range it counts; and the cash-register entry of its
// amount boxes (digits only, read as cents: 1 2 3 4 5 6 shows 1234.56).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "panel/form_model.h"
#include "platform/value.h"

namespace tillora {

// The activefield numbers of the amount boxes: txtopeningbank, txtcountcash, txtcountchecks,
// txtcountmember, txtcountcards.
inline constexpr int kFirstCountField = 9;
inline constexpr int kLastCountField = 13;

// The amounts of the four tender groups the drawer holds.
struct TenderGroups {
    Currency cash, checks, member, cards;
    Currency total() const { return cash + checks + member + cards; }
};

// The range a count covers, taken when the screen opened.
struct CountRange {
    std::int32_t fromdate = 0, todate = 0;
    std::string fromtime, totime;
};

// The screen: "Count Drawer" on the manager frame, the frame fracount with a label, an amount box
// and (but for the opening bank) the expected figure for each row, and the three buttons.
struct CountScreen {
    CountScreen();

    Control cmdcountdrawer;  // on the manager frame
    Control fracount;
    Control lblcountcounted, lblcountexpected;  // column headings
    Control lblopeningbank, txtopeningbank;
    Control lblcountcash, txtcountcash, lblexpcash;
    Control lblcountchecks, txtcountchecks, lblexpchecks;
    Control lblcountmember, txtcountmember, lblexpmember;
    Control lblcountcards, txtcountcards, lblexpcards;
    Control cmdcountprint, cmdcountcancel, cmdcountreprint;

    // What the drawer should hold besides the opening bank, as gathered when the screen opened.
    TenderGroups takings;
    CountRange range;

    // Every control of the screen, cmdcountdrawer first.
    std::vector<Control*> controls();
    // The amount box of an activefield number 9-13, nullptr otherwise.
    Control* entry_box(int field);
    // The amounts typed into the four tender boxes (an empty box is 0).
    TenderGroups counted() const;
    // The expected figures: the takings with the opening bank added to the cash.
    TenderGroups expected() const;
};

// True for the activefield numbers of the amount boxes.
inline bool is_count_field(int field) {
    return field >= kFirstCountField && field <= kLastCountField;
}

// The value of an amount box: its digits read as cents; an empty box is 0.
Currency cents_value(const std::string& text);
// An amount as the screen shows it: two decimals, a 0 before the point (0.05, 1234.56, -3.20).
std::string amount_text(Currency amount);
// A keypad key in an amount box (0-9, Clear, Bksp; other keys change nothing): a digit is added
// as the last cent digit (at most 8 digits), Bksp removes the last digit, an empty box stays
// empty.
void cents_key(Control& box, int key);

// Puts the expected figures beside the boxes (the cash follows the opening bank as it is typed).
void show_expected(CountScreen& screen);
// Shows the screen in place of the manager frame with empty white boxes and the expected figures.
void show_count_screen(FormModel& form);
// Hides the screen; when `back_to_manager` the manager frame shows again. The keypad no longer
// writes into an amount box.
void close_count_screen(FormModel& form, bool back_to_manager);

}  // namespace tillora
