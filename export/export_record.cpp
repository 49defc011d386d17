#include "export/export_record.h"

#include <optional>

#include "platform/text.h"

namespace tillora {

namespace {

// The n-th character (from 0) of a text as a one-character text; empty past its end.
std::string char_at(const std::string& text, std::size_t n) {
    return chars_from(text, n, 1);
}

bool has_number(const Value& v, double number) {
    return !v.is_null() && !v.is_empty() && v.as_double() == number;
}

// A money field, or "0" for a payment on account, whose amounts the A/R system books itself.
std::string amount(const Recordset& row, const char* name, bool payment_on_account) {
    return payment_on_account ? "0" : default_text(row.field(name));
}

}  // namespace

std::string quoted_record(const std::vector<std::string>& fields) {
    std::string out = "\"";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += "\",\"";
        out += fields[i];
    }
    return out + "\"\r\n";
}

std::string export_reference(const Value& ticket, const Value& poschitnum) {
    const std::string padded = last_chars("0000000" + trim(default_text(ticket)), 7);
    return last_chars(padded + default_text(poschitnum), 10);
}

bool skipped_by_export(const Recordset& row) {
    return has_number(row.field("itemnumber"), -1) && has_number(row.field("postendtype"), 9);
}

namespace {

// As the selection's "poschittotal <> 0": a text total never equals a number, null is none.
bool has_total(const Recordset& row) {
    const Value& total = row.field("poschittotal");
    return total.is_text() || (total.is_number() && total.as_double() != 0);
}

// The status as the selections compare it: a number, or nothing for null and text.
std::optional<double> status_of(const Recordset& row) {
    const Value& status = row.field("status");
    if (!status.is_number()) return std::nullopt;
    return status.as_double();
}

}  // namespace

bool awaits_export(const Recordset& row) {
    const auto status = status_of(row);
    return status && (*status == 2 || *status == 3) && has_total(row) && !skipped_by_export(row);
}

bool awaits_reexport(const Recordset& row) {
    const auto status = status_of(row);
    return status && *status >= 4 && has_total(row) && !skipped_by_export(row);
}

bool goes_to_history(const Recordset& row) {
    const auto status = status_of(row);
    return status && *status > -10 && *status < 8 && !awaits_export(row);
}

std::vector<std::string> export_fields(const Recordset& row, const std::string& unitstr) {
    const bool poa = has_number(row.field("itemnumber"), -3);
    const std::string codes = default_text(row.field("poscodes"));
    return {
        default_text(row.field("posacctnum")),
        export_reference(row.field("ticket"), row.field("poschitnum")),
        default_text(row.field("poschitdate")),
        default_text(row.field("posmemberacctnum")),
        default_text(row.field("poschitemployee")),
        default_text(row.field("poschitcovers")),
        amount(row, "poschitbase", poa),
        amount(row, "poschitsrvchg", poa),
        amount(row, "poschittax", poa),
        amount(row, "poschittotal", poa),
        char_at(codes, 0),
        char_at(codes, 1),
        char_at(codes, 2),
        char_at(codes, 3),
        " ",
        "Tillora-" + unitstr,
        default_text(row.field("posmemo")),
        default_text(row.field("postendtype")),
    };
}

std::vector<std::string> history_fields(const Recordset& row) {
    std::vector<std::string> fields;
    fields.reserve(row.field_count());
    for (std::size_t i = 0; i < row.field_count(); ++i)
        fields.push_back(default_text(row.field(i)));
    return fields;
}

}  // namespace tillora
