#include "summary/page_html.h"

#include "platform/value.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "summary/page_style.h"

namespace tillora {

namespace {

// ' name="value"' with the value escaped.
std::string attr(const char* name, const std::string& value) {
    return std::string(" ") + name + "=\"" + escape_html(value) + "\"";
}

// A length in the units of a chart, two places.
std::string units(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::string count_text(long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The share of `amount` in the largest magnitude `largest`, 0..1.
double share(Currency amount, Currency largest) {
    if (largest.units == 0) return 0;
    return static_cast<double>(std::llabs(amount.units)) / static_cast<double>(largest.units);
}

Currency largest_magnitude(const std::vector<Currency>& amounts) {
    Currency largest;
    for (Currency a : amounts)
        largest.units = std::max<std::int64_t>(largest.units, std::llabs(a.units));
    return largest;
}

std::string card(const std::string& label, const std::string& value, const std::string& attrs,
                 bool big = false, const std::string& note = "") {
    return std::string("<div class=\"card") + (big ? " big" : "") + "\"><div class=\"k\">" +
           escape_html(label) + "</div><div class=\"v\"" + attrs + ">" + escape_html(value) +
           "</div>" + (note.empty() ? "" : "<div class=\"n\">" + escape_html(note) + "</div>") +
           "</div>";
}

std::string money_card(const std::string& label, const char* figure, Currency amount,
                       bool big = false) {
    return card(label, shown_amount(amount),
                attr("data-figure", figure) + attr("data-amount", plain_amount(amount)), big);
}

std::string not_available(const DayFigures& f, Section section) {
    return "<p class=\"none\">Not available: " + escape_html(f.missing.at(section)) + "</p>";
}

std::string headline(const DayFigures& f) {
    std::string out = "<section><h2>Takings</h2>";
    if (!f.has(Section::Sales)) return out + not_available(f, Section::Sales) + "</section>";
    out += "<div class=\"cards\">" + money_card("Total", "total", f.sales.total, true);
    if (f.has(Section::Tickets)) {
        const std::string tickets = std::to_string(f.tickets);
        out += card("Tickets", tickets,
                    attr("data-figure", "tickets") + attr("data-amount", tickets), true);
        out += money_card("Average ticket", "average", f.average_ticket(), true);
    } else {
        out += card("Tickets", "—", "", true, "Not available: " + f.missing.at(Section::Tickets));
    }
    out += "</div><div class=\"cards\">" + money_card("Base", "base", f.sales.base) +
           money_card("Service charge", "srvchg", f.sales.srvchg) +
           money_card("Tax", "tax", f.sales.tax) + "</div></section>";
    return out;
}

// One column per hour of the day; the amount of each is in its title and data attributes.
std::string hour_chart(const DayFigures& f) {
    constexpr double kBaseline = 150, kTallest = 128, kDeepest = 8, kStep = 20, kWidth = 14;
    const Currency largest = largest_magnitude({f.hours.begin(), f.hours.end()});
    std::string out =
        "<svg class=\"chart\" viewBox=\"0 0 480 178\" role=\"img\" aria-label=\"Takings by "
        "hour\"><line x1=\"0\" y1=\"150.5\" x2=\"480\" y2=\"150.5\" stroke=\"#c9ced5\"/>";
    int peak = -1;
    for (int hour = 0; hour < 24; ++hour) {
        const Currency amount = f.hours[hour];
        const bool negative = amount.units < 0;
        const double height = share(amount, largest) * (negative ? kDeepest : kTallest);
        const double y = negative ? kBaseline : kBaseline - height;
        out += "<rect class=\"" + std::string(negative ? "neg" : "h") + "\" x=\"" +
               units(hour * kStep + 3) + "\" y=\"" + units(y) + "\" width=\"" + units(kWidth) +
               "\" height=\"" + units(height) + "\"" + attr("data-hour", zero_padded(hour, 2)) +
               attr("data-amount", plain_amount(amount)) + "><title>" + zero_padded(hour, 2) +
               ":00–" + zero_padded(hour, 2) + ":59  " + shown_amount(amount) + "</title></rect>";
        if (amount.units > 0 && (peak < 0 || amount.units > f.hours[peak].units)) peak = hour;
    }
    for (int hour = 0; hour < 24; hour += 3) {
        out += "<text x=\"" + units(hour * kStep + 10) + "\" y=\"172\" text-anchor=\"middle\">" +
               zero_padded(hour, 2) + "</text>";
    }
    if (peak >= 0) {
        const double x = std::clamp(peak * kStep + 10.0, 30.0, 450.0);
        out += "<text x=\"" + units(x) + "\" y=\"" + units(kBaseline - kTallest - 6) +
               "\" text-anchor=\"middle\">" + escape_html(shown_amount(f.hours[peak])) + "</text>";
    }
    return out + "</svg>";
}

std::string hours_section(const DayFigures& f) {
    std::string out = "<section><h2>Takings by hour</h2>";
    if (!f.has(Section::Hours)) return out + not_available(f, Section::Hours) + "</section>";
    out += hour_chart(f);
    if (f.other_times.units != 0) {
        out += "<p class=\"n\"" + attr("data-other-times", plain_amount(f.other_times)) +
               ">Lines with a time outside the hours of the day: " +
               escape_html(shown_amount(f.other_times)) + "</p>";
    }
    return out + "</section>";
}

// A horizontal bar chart, one row per entry: label, bar, amount.
struct BarRow {
    std::string label;  // already HTML
    Currency amount;
    std::string attrs;  // data attributes of the bar
};

// Bars of negative amounts are red when `signed_colours`; tender amounts carry the register's sign
// (tenders are recorded negative) and are drawn by size alone.
std::string bar_chart(const std::vector<BarRow>& rows, bool signed_colours) {
    std::vector<Currency> amounts;
    for (const BarRow& r : rows) amounts.push_back(r.amount);
    const Currency largest = largest_magnitude(amounts);
    std::string out = "<table class=\"bars\">";
    for (const BarRow& r : rows) {
        out += "<tr><td class=\"l\">" + r.label +
               "</td><td><svg viewBox=\"0 0 100 16\" preserveAspectRatio=\"none\"><rect" +
               (signed_colours && r.amount.units < 0 ? std::string(" class=\"neg\"") : "") +
               " x=\"0\" y=\"2\" height=\"12\" width=\"" + units(share(r.amount, largest) * 100) +
               "\"" + r.attrs + attr("data-amount", plain_amount(r.amount)) +
               "/></svg></td><td class=\"a\">" + escape_html(shown_amount(r.amount)) + "</td></tr>";
    }
    return out + "</table>";
}

std::string tenders_section(const DayFigures& f) {
    std::string out = "<section><h2>Tenders</h2>";
    if (!f.has(Section::Tenders)) return out + not_available(f, Section::Tenders) + "</section>";
    if (f.tenders.empty()) return out + "<p class=\"none\">No tender lines.</p></section>";
    std::vector<BarRow> rows;
    for (const TenderFigure& t : f.tenders) {
        const std::string label = t.label.empty() ? "Tender " + std::to_string(t.code) : t.label;
        rows.push_back(
            {escape_html(label) + " <span class=\"n\">(" + std::to_string(t.lines) + ")</span>",
             t.amount, attr("data-tender", std::to_string(t.code))});
    }
    return out + bar_chart(rows, false) + "</section>";
}

std::string server_label(const ServerFigure& s) {
    return escape_html(std::to_string(s.number)) +
           (s.name.empty() ? "" : " <span class=\"n\">" + escape_html(s.name) + "</span>");
}

std::string amounts_cells(const SalesAmounts& a) {
    std::string out;
    for (Currency c : {a.base, a.srvchg, a.tax, a.total}) {
        out += "<td>" + escape_html(shown_amount(c)) + "</td>";
    }
    return out;
}

std::string servers_section(const DayFigures& f) {
    std::string out = "<section><h2>Servers</h2>";
    if (!f.has(Section::Sales)) return out + not_available(f, Section::Sales) + "</section>";
    if (f.servers.empty()) return out + "<p class=\"none\">No server sold anything.</p></section>";
    std::vector<BarRow> rows;
    for (const ServerFigure& s : f.servers) {
        rows.push_back(
            {server_label(s), s.amounts.total, attr("data-server", std::to_string(s.number))});
    }
    out += bar_chart(rows, true) +
           "<div class=\"scroll\"><table class=\"t\"><tr><th>Server</th><th>Base</th><th>S/C</th>"
           "<th>Tax</th><th>Total</th></tr>";
    for (const ServerFigure& s : f.servers) {
        out += "<tr><td>" + server_label(s) + "</td>" + amounts_cells(s.amounts) + "</tr>";
    }
    return out + "<tr class=\"sum\"><td>Totals</td>" + amounts_cells(f.sales) +
           "</tr></table></div></section>";
}

std::string small_figure(const DayFigures& f, Section section, const std::string& label,
                         const std::string& value, const std::string& attrs,
                         const std::string& note = "") {
    if (!f.has(section))
        return card(label, "—", "", false, "Not available: " + f.missing.at(section));
    return card(label, value, attrs, false, note);
}

std::string corrections_section(const DayFigures& f) {
    return "<section><h2>Paid outs, removed and cleared</h2><div class=\"cards\">" +
           small_figure(f, Section::PaidOutIn, "Paid outs and ins", shown_amount(f.paid_amount),
                        attr("data-figure", "paidoutin") +
                            attr("data-count", std::to_string(f.paid_count)) +
                            attr("data-amount", plain_amount(f.paid_amount)),
                        count_text(f.paid_count, "line", "lines")) +
           small_figure(f, Section::Removed, "Removed items", shown_amount(f.removed_amount),
                        attr("data-figure", "removed") +
                            attr("data-count", std::to_string(f.removed_count)) +
                            attr("data-amount", plain_amount(f.removed_amount)),
                        count_text(f.removed_count, "item", "items")) +
           small_figure(
               f, Section::Cleared, "Cleared tickets", std::to_string(f.cleared),
               attr("data-figure", "cleared") + attr("data-count", std::to_string(f.cleared))) +
           "</div></section>";
}

std::string difference_cell(Currency d) {
    const char* kind = d.units > 0 ? " class=\"over\"" : d.units < 0 ? " class=\"short\"" : "";
    return std::string("<td") + kind + ">" + (d.units > 0 ? "+" : "") +
           escape_html(shown_amount(d)) + "</td>";
}

std::string drawer_count_table(const DrawerCount& c, bool with_date) {
    std::string out = "<div class=\"count\"><p class=\"n\">Count #" + zero_padded(c.number, 4) +
                      " at " +
                      escape_html((with_date ? std::to_string(c.date) + " " : "") + c.time) +
                      " by " + escape_html(c.operator_id) + " · opening bank " +
                      escape_html(shown_amount(c.opening_bank)) +
                      "</p><div class=\"scroll\"><table class=\"t\"><tr><th>Tender</th>"
                      "<th>Expected</th><th>Counted</th><th>Over/short</th></tr>";
    for (const CountedGroup& g : c.groups) {
        out += "<tr><td>" + escape_html(g.label) + "</td><td>" +
               escape_html(shown_amount(g.expected)) + "</td><td>" +
               escape_html(shown_amount(g.counted)) + "</td>" + difference_cell(g.difference()) +
               "</tr>";
    }
    return out + "<tr class=\"sum\"" + attr("data-drawer-count", std::to_string(c.number)) +
           attr("data-amount", plain_amount(c.difference())) + "><td>Totals</td><td>" +
           escape_html(shown_amount(c.expected())) + "</td><td>" +
           escape_html(shown_amount(c.counted())) + "</td>" + difference_cell(c.difference()) +
           "</tr></table></div></div>";
}

std::string drawer_section(const PageHeading& h, const DayFigures& f) {
    if (f.has(Section::DrawerCounts) && f.drawer_counts.empty()) return "";
    std::string out = "<section><h2>Drawer counts</h2>";
    if (!f.has(Section::DrawerCounts))
        return out + not_available(f, Section::DrawerCounts) + "</section>";
    for (const DrawerCount& c : f.drawer_counts) out += drawer_count_table(c, h.from != h.to);
    return out + "</section>";
}

std::string closeout_section(const PageHeading& h) {
    if (!h.closeout) return "";
    const auto& c = *h.closeout;
    std::string out = "<section class=\"closeout\"><h2>Close-out file</h2><p class=\"n\">" +
                      escape_html(c.name) + "</p>";
    if (!c.readable) return out + "<p class=\"none\">" + escape_html(c.text) + "</p></section>";
    return out + "<pre>" + escape_html(c.text) + "</pre></section>";
}

std::string iso_date(std::int32_t d) {
    return std::to_string(d / 10000) + "-" + zero_padded(d / 100 % 100, 2) + "-" +
           zero_padded(d % 100, 2);
}

std::string dates_text(const PageHeading& h) {
    return h.from == h.to ? long_date(h.from) : long_date(h.from) + " – " + long_date(h.to);
}

}  // namespace

std::string escape_html(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string plain_amount(Currency amount) {
    std::string text = format_pattern(amount, "#######.#0");
    const std::size_t point = text.find('.');
    if (point == 0 || (point == 1 && text[0] == '-')) text.insert(point, "0");
    return text;
}

std::string shown_amount(Currency amount) {
    const std::string plain = plain_amount(amount);
    const std::size_t sign = plain[0] == '-' ? 1 : 0;
    const std::size_t point = plain.find('.');
    std::string out = plain.substr(0, sign);
    for (std::size_t i = sign; i < point; ++i) {
        if (i > sign && (point - i) % 3 == 0) out += ',';
        out += plain[i];
    }
    return out + plain.substr(point);
}

std::string long_date(std::int32_t yyyymmdd) {
    using namespace std::chrono;
    const year_month_day day{year{yyyymmdd / 10000},
                             month{static_cast<unsigned>(yyyymmdd / 100 % 100)},
                             std::chrono::day{static_cast<unsigned>(yyyymmdd % 100)}};
    if (yyyymmdd < 10000101 || !day.ok()) return std::to_string(yyyymmdd);
    static const char* const kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    static const char* const kMonths[] = {"January",   "February", "March",    "April",
                                          "May",       "June",     "July",     "August",
                                          "September", "October",  "November", "December"};
    const weekday wd{sys_days{day}};
    return std::string(kWeekdays[wd.c_encoding()]) + " " +
           std::to_string(static_cast<unsigned>(day.day())) + " " +
           kMonths[static_cast<unsigned>(day.month()) - 1] + " " +
           std::to_string(static_cast<int>(day.year()));
}

std::string render_day_page(const PageHeading& h, const DayFigures& f) {
    const std::string dates =
        h.from == h.to ? iso_date(h.from) : iso_date(h.from) + " to " + iso_date(h.to);
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
           "<title>Workstation " +
           escape_html(h.unitstr) + " · " + escape_html(dates) + "</title><style>" + kDayPageStyle +
           "</style></head>\n<body><main><header><h1>" + escape_html(dates_text(h)) +
           "</h1><p>Workstation " + escape_html(h.unitstr) +
           (h.closeout ? " · close-out" : " · summary") + " made " + escape_html(h.made) +
           "</p></header>\n" + headline(f) + hours_section(f) + "<div class=\"grid2\">" +
           tenders_section(f) + corrections_section(f) + "</div>" + servers_section(f) +
           drawer_section(h, f) + closeout_section(h) + "\n</main></body></html>\n";
}

}  // namespace tillora
