#include "drawer/count_receipt.h"

#include "platform/value.h"

#include <cstdio>

#include "engine/print_frame.h"

namespace tillora {

namespace {

std::string amount(Currency value) {
    return money_column(value, "#####.#0", 9);
}

// A tender line: the label in 12, then expected, counted and counted - expected.
std::string tender_line(const std::string& label, Currency expected, Currency counted) {
    return left_column(label, 12) + amount(expected) + amount(counted) + amount(counted - expected);
}

// YYYYMMDD as MM-DD-YYYY.
std::string date_text(std::int32_t yyyymmdd) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d", yyyymmdd / 100 % 100, yyyymmdd % 100,
                  yyyymmdd / 10000);
    return text;
}

}  // namespace

std::vector<std::string> count_receipt(const StoredCount& c, const std::string& unitstr,
                                       const std::string& dashline, bool reprint) {
    std::vector<std::string> lines = header_lines(
        HeaderBlock{"Drawer Count", date_text(c.countdate), c.counttime, "Printed by   :" + c.empid,
                    std::to_string(c.range.fromdate), std::to_string(c.range.todate),
                    c.range.fromtime, c.range.totime, unitstr, dashline});
    if (reprint) lines.insert(lines.begin() + 1, "REPRINT");
    const TenderGroups& e = c.expected;
    const TenderGroups& n = c.counted;
    const std::vector<std::string> body = {
        "Count #      :" + zero_padded(c.countno, 4),
        "Opening bank :" + amount(c.openingbank),
        dashline,
        left_column("Tender", 12) + right_column("Expected", 9) + right_column("Counted", 9) +
            right_column("Diff", 9),
        tender_line("Cash", e.cash, n.cash),
        tender_line("Checks", e.checks, n.checks),
        tender_line("Member Chg", e.member, n.member),
        tender_line("Cards", e.cards, n.cards),
        tender_line("Totals:", e.total(), n.total()),
        dashline,
        "Signature:" + std::string(29, '_'),
    };
    lines.insert(lines.end(), body.begin(), body.end());
    return lines;
}

}  // namespace tillora
