#include "panel/count_screen.h"

namespace tillora {

namespace {

// At most 999999.99: the widest amount the receipt's 9-character columns hold.
constexpr std::size_t kMaxCentDigits = 8;

Control on_screen(const std::string& name, ControlKind kind, const std::string& text = "") {
    return Control{.name = name, .kind = kind, .text = text, .parent = "fracount"};
}

// The digits of a box without leading zeros ("" for none or only zeros).
std::string significant_digits(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c >= '0' && c <= '9') digits += c;
    }
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? "" : digits.substr(first);
}

// Cent digits shown with the point before the last two: "5" 0.05, "123456" 1234.56.
std::string cents_display(const std::string& digits) {
    const std::string padded =
        digits.size() < 3 ? std::string(3 - digits.size(), '0') + digits : digits;
    return padded.substr(0, padded.size() - 2) + "." + padded.substr(padded.size() - 2);
}

}  // namespace

CountScreen::CountScreen()
    : cmdcountdrawer{.name = "cmdcountdrawer",
                     .kind = ControlKind::Button,
                     .text = "Count Drawer",
                     .parent = "framanager"},
      fracount{.name = "fracount",
               .kind = ControlKind::Frame,
               .text = "Count Drawer",
               .visible = false,
               .parent = ""},
      lblcountcounted(on_screen("lblcountcounted", ControlKind::Label, "Counted")),
      lblcountexpected(on_screen("lblcountexpected", ControlKind::Label, "Expected")),
      lblopeningbank(on_screen("lblopeningbank", ControlKind::Label, "Opening bank")),
      txtopeningbank(on_screen("txtopeningbank", ControlKind::TextBox)),
      lblcountcash(on_screen("lblcountcash", ControlKind::Label, "Cash")),
      txtcountcash(on_screen("txtcountcash", ControlKind::TextBox)),
      lblexpcash(on_screen("lblexpcash", ControlKind::Label)),
      lblcountchecks(on_screen("lblcountchecks", ControlKind::Label, "Checks")),
      txtcountchecks(on_screen("txtcountchecks", ControlKind::TextBox)),
      lblexpchecks(on_screen("lblexpchecks", ControlKind::Label)),
      lblcountmember(on_screen("lblcountmember", ControlKind::Label, "Member Chg")),
      txtcountmember(on_screen("txtcountmember", ControlKind::TextBox)),
      lblexpmember(on_screen("lblexpmember", ControlKind::Label)),
      lblcountcards(on_screen("lblcountcards", ControlKind::Label, "Cards")),
      txtcountcards(on_screen("txtcountcards", ControlKind::TextBox)),
      lblexpcards(on_screen("lblexpcards", ControlKind::Label)),
      cmdcountprint(on_screen("cmdcountprint", ControlKind::Button, "Print Count")),
      cmdcountcancel(on_screen("cmdcountcancel", ControlKind::Button, "Cancel")),
      cmdcountreprint(on_screen("cmdcountreprint", ControlKind::Button, "Reprint Last")) {}

std::vector<Control*> CountScreen::controls() {
    return {&cmdcountdrawer, &fracount,      &lblcountcounted, &lblcountexpected, &lblopeningbank,
            &txtopeningbank, &lblcountcash,  &txtcountcash,    &lblexpcash,       &lblcountchecks,
            &txtcountchecks, &lblexpchecks,  &lblcountmember,  &txtcountmember,   &lblexpmember,
            &lblcountcards,  &txtcountcards, &lblexpcards,     &cmdcountprint,    &cmdcountcancel,
            &cmdcountreprint};
}

Control* CountScreen::entry_box(int field) {
    switch (field) {
        case kFirstCountField:
            return &txtopeningbank;
        case kFirstCountField + 1:
            return &txtcountcash;
        case kFirstCountField + 2:
            return &txtcountchecks;
        case kFirstCountField + 3:
            return &txtcountmember;
        case kLastCountField:
            return &txtcountcards;
        default:
            return nullptr;
    }
}

TenderGroups CountScreen::counted() const {
    return {cents_value(txtcountcash.text), cents_value(txtcountchecks.text),
            cents_value(txtcountmember.text), cents_value(txtcountcards.text)};
}

TenderGroups CountScreen::expected() const {
    TenderGroups e = takings;
    e.cash += cents_value(txtopeningbank.text);
    return e;
}

Currency cents_value(const std::string& text) {
    const std::string digits = significant_digits(text);
    if (digits.empty()) return Currency{};
    return Currency::from_units(std::stoll(digits) * 100);
}

std::string amount_text(Currency amount) {
    const std::string text = format_pattern(amount, "#######.#0");
    if (text.rfind(".", 0) == 0) return "0" + text;
    if (text.rfind("-.", 0) == 0) return "-0" + text.substr(1);
    return text;
}

void cents_key(Control& box, int key) {
    std::string digits = significant_digits(box.text);
    if (key >= 0 && key <= 9) {
        if (digits.size() < kMaxCentDigits) digits += static_cast<char>('0' + key);
        box.text = cents_display(significant_digits(digits));
    } else if (key == kKeyBksp) {
        if (!digits.empty()) digits.pop_back();
        box.text = digits.empty() ? "" : cents_display(digits);
    } else if (key == kKeyClear) {
        box.text.clear();
    }
}

void show_expected(CountScreen& screen) {
    const TenderGroups e = screen.expected();
    screen.lblexpcash.text = amount_text(e.cash);
    screen.lblexpchecks.text = amount_text(e.checks);
    screen.lblexpmember.text = amount_text(e.member);
    screen.lblexpcards.text = amount_text(e.cards);
}

void show_count_screen(FormModel& form) {
    CountScreen& screen = *form.count;
    for (int field = kFirstCountField; field <= kLastCountField; ++field) {
        Control& box = *screen.entry_box(field);
        box.text.clear();
        box.back = Colour::White;
    }
    show_expected(screen);
    form.framanager.visible = false;
    screen.fracount.visible = true;
}

void close_count_screen(FormModel& form, bool back_to_manager) {
    CountScreen& screen = *form.count;
    screen.fracount.visible = false;
    if (back_to_manager) form.framanager.visible = true;
    if (is_count_field(form.activefield)) form.activefield = 0;
    for (Control* c : screen.controls()) {
        if (c->name == form.focused) form.focused.clear();
    }
}

}  // namespace tillora
