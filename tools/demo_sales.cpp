#include "tools/demo_sales.h"

#include "platform/value.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "tools/demo_catalog.h"

namespace tillora::demo {
namespace {

constexpr int kHour = 3600;
constexpr int kMinute = 60;
constexpr int kLastSecond = 24 * kHour - 1;
// Status of a line that counts, replaced by the ticket's status when the ticket is finished.
constexpr int kCounts = 0;
constexpr int kVoided = -10;
constexpr int kVoidedAfterSend = -12;
constexpr int kRemoved = -76;
constexpr int kCleared = -86;

enum class Kind { Closed, PaymentOnAccount, LocalHeld, ServerHeld, Cleared, EmptyCleared };

// Optional parts of a closed ticket, spread over the day's tickets by quota.
struct Extras {
    bool voided = false;
    bool removed = false;
    bool service_line = false;
    bool open_item = false;
    bool party = false;  // a large party with a service charge posted to the account
    bool sent = false;   // already sent to the back office (status 4 or 5)
};

// What every line of one ticket shares.
struct TicketFrame {
    std::int64_t ticket = 0;
    int server = 0;
    int covers = 1;
    std::string member = "0";
    int open = 0;   // second of the day the ticket was opened
    int close = 0;  // second of the day it was paid, cleared or last touched
};

struct Day {
    DemoRandom& rng;
    DaySales& out;
    CalendarDate date;
    int date_number;
    std::string batch;
    int unit;
    std::int64_t& next_chitnum;
    std::array<std::vector<const MenuItem*>, 6> by_course;
    std::vector<int> tender_weights;
    std::vector<int> server_weights;
};

std::int64_t percent_of(std::int64_t cents, int per_mille) {
    return (cents * per_mille + 500) / 1000;
}

int open_time(DemoRandom& rng) {
    const double roll = rng.unit();
    double t;
    if (roll < 0.42) {
        t = 12 * kHour + 40 * kMinute + (rng.unit() + rng.unit() - 1.0) * 75 * kMinute;
    } else if (roll < 0.92) {
        t = 19 * kHour + 10 * kMinute + (rng.unit() + rng.unit() - 1.0) * 130 * kMinute;
    } else {
        t = 11 * kHour + rng.unit() * 11 * kHour;
    }
    return std::clamp(static_cast<int>(t), 10 * kHour + 45 * kMinute, 22 * kHour + 40 * kMinute);
}

TicketFrame new_frame(Day& day, std::int64_t ticket, int open, int minutes) {
    TicketFrame f;
    f.ticket = ticket;
    f.server = employees()[day.rng.weighted(day.server_weights)].empid;
    constexpr std::array kCovers = {1, 2, 3, 4, 5};
    f.covers = kCovers[day.rng.weighted({15, 40, 15, 20, 6})];
    if (day.rng.chance(0.6)) f.member = std::to_string(10001 + day.rng.below(400));
    f.open = open;
    f.close = std::min(open + minutes * kMinute, kLastSecond - day.rng.between(0, 59));
    return f;
}

XactLine frame_line(const Day& day, const TicketFrame& f) {
    XactLine line;
    line.ticket = f.ticket;
    line.server = f.server;
    line.poschitdate = day.date_number;
    line.posmemberacctnum = f.member;
    line.poschitemployee = f.server;
    line.poschitcovers = f.covers;
    return line;
}

// When in the ticket an item of a course is rung, as a second of the day.
int ring_time(Day& day, const TicketFrame& f, Course course) {
    const int d = f.close - f.open;
    int from = 60, to = 420;
    switch (course) {
        case Course::Drink:
            break;
        case Course::Starter:
            from = 300, to = 900;
            break;
        case Course::Main:
        case Course::Side:
            from = 600, to = std::max(900, d / 2);
            break;
        case Course::Dessert:
            from = d * 2 / 3, to = d - 300;
            break;
        case Course::Merchandise:
            from = d - 600, to = d - 180;
            break;
    }
    const int t = f.open + day.rng.between(from, std::max(from, to));
    return std::clamp(t, f.open + 30, std::max(f.open + 30, f.close - 60));
}

XactLine item_line(Day& day, const TicketFrame& f, const MenuItem& item, int status) {
    const int qty = 1 + static_cast<int>(day.rng.weighted({70, 20, 7, 3}));
    XactLine line = frame_line(day, f);
    line.itemnumber = item.number;
    line.status = status;
    line.seconds = ring_time(day, f, item.course);
    line.base = static_cast<std::int64_t>(qty) * item.price_cents;
    line.tax = percent_of(line.base, kTaxPerMille);
    line.posacctnum = item_account(item);
    line.posmemo = qty > 1 ? std::to_string(qty) + " " + item.name : item.name;
    line.saletext = item.name;
    line.poscodes = std::string(1, item_department(item)) + (f.member != "0" ? "3" : "1") + "NT";
    return line;
}

const MenuItem& pick_item(Day& day) {
    const auto course = day.rng.weighted({34, 14, 32, 7, 11, 2});
    const auto& items = day.by_course[course];
    return *items[day.rng.below(items.size())];
}

void ring_items(Day& day, const TicketFrame& f, int count, std::vector<XactLine>& lines) {
    for (int i = 0; i < count; ++i) lines.push_back(item_line(day, f, pick_item(day), kCounts));
}

XactLine special_line(Day& day, const TicketFrame& f, int itemnumber, int seconds) {
    XactLine line = frame_line(day, f);
    line.itemnumber = itemnumber;
    line.status = kCounts;
    line.seconds = seconds;
    return line;
}

// What the ticket's counted lines come to (items, service charge and tax; not the tenders).
std::int64_t ticket_due(const std::vector<XactLine>& lines) {
    std::int64_t due = 0;
    for (const auto& l : lines) {
        if (l.status == kCounts && l.itemnumber != -1) due += l.base + l.srvchg + l.tax;
    }
    return due;
}

std::int64_t counted_base(const std::vector<XactLine>& lines) {
    std::int64_t sum = 0;
    for (const auto& l : lines) {
        if (l.status == kCounts && (l.itemnumber > 0 || l.itemnumber == -5)) sum += l.base;
    }
    return sum;
}

void add_closed_extras(Day& day, const TicketFrame& f, const Extras& extras,
                       std::vector<XactLine>& lines) {
    if (extras.open_item) {
        XactLine line = special_line(day, f, -5, ring_time(day, f, Course::Main));
        line.base = day.rng.between(12, 60) * 25;
        line.tax = percent_of(line.base, kTaxPerMille);
        line.posacctnum = kOpenItemAccount;
        line.posmemo = "Open Food";
        line.saletext = "Open Food";
        line.poscodes = "O1NT";
        lines.push_back(line);
    }
    if (extras.voided) {
        const int status = day.rng.chance(0.25) ? kVoidedAfterSend : kVoided;
        lines.push_back(item_line(day, f, pick_item(day), status));
    }
    if (extras.removed) lines.push_back(item_line(day, f, pick_item(day), kRemoved));
    const std::int64_t items = counted_base(lines);
    if (extras.party) {
        const MenuItem& charge = party_service_charge();
        XactLine line = special_line(day, f, charge.number, f.close - 120);
        line.base = percent_of(items, 180);
        line.posacctnum = item_account(charge);
        line.posmemo = charge.name;
        line.saletext = "Party Svc Chg";
        line.poscodes = "S1NX";
        lines.push_back(line);
    }
    if (extras.service_line) {
        XactLine line = special_line(day, f, -2, f.close - 90);
        line.srvchg = percent_of(items, 100);
        line.posacctnum = kServiceLineAccount;
        line.posmemo = "Service Charge 10%";
        line.saletext = "Service Charge";
        line.poscodes = "S1NX";
        lines.push_back(line);
    }
}

int choose_tender(Day& day, const TicketFrame& f) {
    if (f.member != "0" && day.rng.chance(0.35)) return kMemberChargeTender;
    return static_cast<int>(day.rng.weighted(day.tender_weights)) + 1;
}

std::string digits(DemoRandom& rng, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s.push_back(static_cast<char>('0' + rng.below(10)));
    return s;
}

void add_card_payment(Day& day, const TicketFrame& f, int code, std::int64_t cents, int part) {
    CardPayment card;
    card.ticket = f.ticket;
    card.amount = cents;
    card.ccnumber = card_prefix(code);
    card.ccnumber += digits(day.rng, 16 - static_cast<int>(card.ccnumber.size()));
    card.ccname = std::string(first_names()[day.rng.below(first_names().size())]) + " " +
                  last_names()[day.rng.below(last_names().size())];
    card.expmonth = zero_padded(day.rng.between(1, 12), 2);
    card.expyear = std::to_string(day.date.year + day.rng.between(1, 4));
    static constexpr char kAlnum[] = "0123456789ABCDEFGHJKLMNPQRSTUVWXYZ";
    std::string auth;
    for (int i = 0; i < 6; ++i) auth.push_back(kAlnum[day.rng.below(sizeof kAlnum - 1)]);
    card.resultrefcode = digits(day.rng, 8) + "-" + auth;
    card.resultorderid =
        zero_padded(day.unit, 2) + "-" + zero_padded(f.ticket, 7) + "-" + std::to_string(part);
    day.out.cards.push_back(card);
}

XactLine tender_line(Day& day, const TicketFrame& f, int code, std::int64_t cents, int part) {
    const Tender& t = tender(code);
    XactLine line = frame_line(day, f);
    line.itemnumber = -1;
    line.status = kCounts;
    line.postendtype = code;
    line.posbatch = day.rng.chance(0.06) ? "0" : day.batch;
    line.seconds = std::min(kLastSecond, f.close + 20 * part);
    line.base = -cents;
    line.posacctnum = code == kMemberChargeTender ? kReceivableAccount : 1000 + 10 * code;
    line.posmemo = t.long_label;
    line.saletext = std::string(t.long_label).substr(8);
    line.poscodes = "T" + zero_padded(code, 2) + "N";
    if (is_card_tender(code)) add_card_payment(day, f, code, cents, part);
    return line;
}

// Tender lines that pay `due`: one tender, or a coupon or card share and the rest.
void pay(Day& day, const TicketFrame& f, std::int64_t due, std::vector<XactLine>& lines) {
    int part = 0;
    if (due >= 2000 && day.rng.chance(0.12)) {
        int code;
        std::int64_t share;
        if (day.rng.chance(0.2)) {
            code = kCouponTender;
            share = std::min<std::int64_t>(day.rng.chance(0.5) ? 500 : 1000, due / 2);
        } else {
            code = 3 + static_cast<int>(day.rng.weighted({24, 16, 4, 9, 2, 1}));
            share = due * day.rng.between(30, 70) / 100;
        }
        lines.push_back(tender_line(day, f, code, share, ++part));
        due -= share;
    }
    lines.push_back(tender_line(day, f, choose_tender(day, f), due, ++part));
}

// Sorts the ticket's lines by time (tenders last), gives each its line number, the ticket's
// status and total, and files them.
void finish(Day& day, std::vector<XactLine>& lines, int status, std::vector<XactLine>& into) {
    const std::int64_t total = ticket_due(lines);
    std::stable_sort(lines.begin(), lines.end(), [](const XactLine& a, const XactLine& b) {
        return std::pair(a.itemnumber == -1, a.seconds) < std::pair(b.itemnumber == -1, b.seconds);
    });
    for (auto& l : lines) {
        if (l.status == kCounts) l.status = status;
        l.total = total;
        l.poschitnum = day.next_chitnum++;
        into.push_back(std::move(l));
    }
}

void audit(Day& day, int seconds, int employee, std::string text, bool dashed = false) {
    day.out.audit.push_back({seconds, employee, std::move(text), dashed});
}

std::string ticket_entry(const TicketFrame& f, const char* what) {
    return "#" + std::to_string(f.ticket) + " Ticket " + what;
}

int closed_status(DemoRandom& rng, bool sent) {
    return (sent ? 4 : 2) + static_cast<int>(rng.weighted({75, 25}));
}

void closed_ticket(Day& day, TicketFrame f, const Extras& extras) {
    if (extras.party) f.covers = day.rng.between(6, 12);
    std::vector<XactLine> lines;
    ring_items(day, f, day.rng.between(6, 10), lines);
    add_closed_extras(day, f, extras, lines);
    const std::int64_t due = ticket_due(lines);
    pay(day, f, due, lines);
    finish(day, lines, closed_status(day.rng, extras.sent), day.out.lines);
    audit(day, f.open, f.server, ticket_entry(f, "started"));
    audit(day, f.close, f.server, ticket_entry(f, "closed ") + money_text(due));
}

void payment_on_account(Day& day, TicketFrame f) {
    if (f.member == "0") f.member = std::to_string(10001 + day.rng.below(400));
    constexpr std::array kCodes = {kCashTender, kCheckTender, 3, 4, 6};
    const int code = kCodes[day.rng.weighted({30, 40, 15, 10, 5})];
    const std::int64_t amount =
        day.rng.between(25, 400) * 100 + (day.rng.chance(0.3) ? day.rng.between(1, 99) : 0);
    f.close = std::min(kLastSecond, f.open + 40);
    XactLine line = special_line(day, f, -3, f.open);
    line.postendtype = code;
    line.base = amount;
    line.posacctnum = kReceivableAccount;
    line.posmemo = "POA Acct# " + f.member;
    line.saletext = "Payment on Account";
    line.poscodes = "P0NX";
    std::vector<XactLine> lines{line};
    lines.push_back(tender_line(day, f, code, amount, 1));
    finish(day, lines, closed_status(day.rng, day.rng.chance(0.2)), day.out.lines);
    audit(day, f.open, f.server,
          "POA\\" + f.member + "\\" + tender(code).short_label + "\\" + money_text(amount));
}

// A ticket left open (held), or cleared: items only, no tender.
void open_ticket(Day& day, const TicketFrame& f, Kind kind) {
    std::vector<XactLine> lines;
    ring_items(day, f, day.rng.between(2, 6), lines);
    audit(day, f.open, f.server, ticket_entry(f, "started"));
    if (kind == Kind::Cleared) {
        const std::int64_t total = ticket_due(lines);
        finish(day, lines, kCleared, day.out.lines);
        audit(day, f.close, f.server, ticket_entry(f, "cleared ") + money_text(total));
        return;
    }
    const int status = day.rng.chance(0.5) ? 0 : 1;
    finish(day, lines, status, kind == Kind::ServerHeld ? day.out.held_on_server : day.out.lines);
}

std::vector<Kind> plan_kinds(DemoRandom& rng, int n, bool recent) {
    std::vector<Kind> kinds(static_cast<std::size_t>(n), Kind::Closed);
    int budget = n - (n + 1) / 2;  // at least half of the tickets are ordinary closed ones
    const std::array<std::pair<Kind, int>, 5> quotas = {{
        {Kind::PaymentOnAccount, std::max(1, n * 2 / 100)},
        {Kind::Cleared, std::max(1, n * 3 / 100)},
        {Kind::LocalHeld, std::max(1, n / 100)},
        {Kind::ServerHeld, recent ? std::max(1, n * 3 / 100) : 0},
        {Kind::EmptyCleared, std::max(1, n / 100)},
    }};
    std::size_t next = 0;
    for (const auto& [kind, quota] : quotas) {
        for (int i = 0; i < quota && budget > 0; ++i, --budget) kinds[next++] = kind;
    }
    for (std::size_t i = kinds.size(); i > 1; --i) std::swap(kinds[i - 1], kinds[rng.below(i)]);
    return kinds;
}

// Marks `per_mille` of the closed tickets (at least one) with an extra part.
void spread(DemoRandom& rng, std::vector<Extras*>& closed, int per_mille, bool Extras::*part) {
    if (closed.empty()) return;
    const std::size_t count = std::max<std::size_t>(1, closed.size() * per_mille / 1000);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t j = i + rng.below(closed.size() - i);
        std::swap(closed[i], closed[j]);
        closed[i]->*part = true;
    }
}

void day_events(Day& day, int tickets) {
    const int manager = employees().back().empid;
    for (const auto& e : employees()) {
        audit(day, 10 * kHour + 30 * kMinute + day.rng.between(0, 1800), e.empid, "Logged in");
        audit(day, 23 * kHour + day.rng.between(0, 3500), e.empid, "Logged out");
    }
    auto drawer = [&](int seconds, const char* keyword, std::int64_t cents, const char* why) {
        const std::string amount = money_text(cents);
        audit(day, seconds, manager, std::string(keyword) + "\\" + amount + "\\" + why);
        audit(day, seconds, manager, std::string(keyword) + " " + amount + " " + why, true);
    };
    drawer(10 * kHour + 35 * kMinute + day.rng.between(0, 540), "Paid-IN",
           day.rng.between(10, 20) * 1000, paid_in_reasons()[0]);
    if (day.rng.chance(0.15)) {
        drawer(day.rng.between(14 * kHour, 21 * kHour), "Paid-IN", day.rng.between(500, 6000),
               paid_in_reasons()[1 + day.rng.below(paid_in_reasons().size() - 1)]);
    }
    const int paid_outs = day.rng.between(1, 1 + tickets / 200);
    for (int i = 0; i < paid_outs; ++i) {
        drawer(day.rng.between(11 * kHour, 21 * kHour), "PaidOut", -day.rng.between(500, 8000),
               paid_out_reasons()[day.rng.below(paid_out_reasons().size())]);
    }
    for (int i = day.rng.between(0, 2); i > 0; --i) {
        audit(day, day.rng.between(11 * kHour, 22 * kHour),
              employees()[day.rng.below(employees().size())].empid, "No Sale");
    }
    std::stable_sort(
        day.out.audit.begin(), day.out.audit.end(),
        [](const AuditEvent& a, const AuditEvent& b) { return a.seconds < b.seconds; });
}

void day_errors(Day& day, int day_index) {
    const int count = day_index == 0 ? 2 : (day.rng.chance(0.4) ? 1 : 0);
    for (int i = 0; i < count; ++i) {
        day.out.errors.push_back({day.rng.between(11 * kHour, 22 * kHour),
                                  employees()[day.rng.below(employees().size())].empid,
                                  error_texts()[day.rng.below(error_texts().size())], false});
    }
    std::stable_sort(
        day.out.errors.begin(), day.out.errors.end(),
        [](const AuditEvent& a, const AuditEvent& b) { return a.seconds < b.seconds; });
}

}  // namespace

std::string money_text(std::int64_t cents) {
    const std::int64_t magnitude = cents < 0 ? -cents : cents;
    std::string text = cents < 0 ? "-" : "";
    if (magnitude >= 100) text += std::to_string(magnitude / 100);
    return text + "." + zero_padded(magnitude % 100, 2);
}

std::string audit_line(const CalendarDate& date, const AuditEvent& event) {
    if (event.dashed) {
        return dashed_date(date) + " " + time_text(event.seconds) + " E#" +
               std::to_string(event.employee) + " " + event.text;
    }
    return mmddyyyy(date) + "\\" + hour_minute(event.seconds) + "\\E#" +
           std::to_string(event.employee) + "\\" + event.text;
}

SalesGenerator::SalesGenerator(std::uint64_t seed, int tickets_per_day, int unit)
    : rng_(seed), tickets_per_day_(tickets_per_day), unit_(unit) {}

DaySales SalesGenerator::day(const CalendarDate& date, int day_index, bool recent) {
    DaySales out;
    Day day{
        rng_, out, date, date_number(date), std::to_string(17 + day_index), unit_, next_chitnum_,
        {},   {},  {}};
    for (const auto& item : menu()) day.by_course[static_cast<int>(item.course)].push_back(&item);
    for (const auto& t : tenders()) day.tender_weights.push_back(t.weight);
    for (const auto& e : employees()) day.server_weights.push_back(e.ticket_weight);

    const int n = tickets_per_day_;
    std::vector<int> opens;
    for (int i = 0; i < n; ++i) opens.push_back(open_time(rng_));
    std::sort(opens.begin(), opens.end());
    const std::vector<Kind> kinds = plan_kinds(rng_, n, recent);
    std::vector<Extras> extras(kinds.size());
    std::vector<Extras*> closed;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (kinds[i] == Kind::Closed) closed.push_back(&extras[i]);
    }
    spread(rng_, closed, 60, &Extras::voided);
    spread(rng_, closed, 80, &Extras::removed);
    spread(rng_, closed, 150, &Extras::service_line);
    spread(rng_, closed, 120, &Extras::open_item);
    spread(rng_, closed, 50, &Extras::party);
    spread(rng_, closed, 200, &Extras::sent);

    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const int open = opens[i];
        const int minutes = kinds[i] == Kind::Closed
                                ? (open < 16 * kHour ? rng_.between(25, 60) : rng_.between(45, 110))
                                : rng_.between(5, 25);
        const TicketFrame f = new_frame(day, next_ticket_++, open, minutes);
        switch (kinds[i]) {
            case Kind::Closed:
                closed_ticket(day, f, extras[i]);
                break;
            case Kind::PaymentOnAccount:
                payment_on_account(day, f);
                break;
            case Kind::EmptyCleared:
                audit(day, f.open, f.server, ticket_entry(f, "started"));
                audit(day, f.close, f.server, ticket_entry(f, "cleared .00"));
                break;
            default:
                open_ticket(day, f, kinds[i]);
                break;
        }
    }
    day_events(day, n);
    day_errors(day, day_index);
    return out;
}

}  // namespace tillora::demo
