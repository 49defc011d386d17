#include "reports/tender/tender_types.h"

#include <array>

#include "platform/text.h"

namespace tillora {

namespace {

struct TenderType {
    const char* long_label;
    const char* short_label;  // "" when the payments on account have none
};

// Index 0 is code 1.
constexpr std::array<TenderType, 16> kTenderTypes{{
    {"Paid by Cash", "Cash"},
    {"Paid by Check", "Check"},
    {"Paid by Visa", "Visa"},
    {"Paid by MasterCard", "MasterCard"},
    {"Paid by Discover", "Discover"},
    {"Paid by American Express", "American Express"},
    {"Paid by PayPal", "PayPal"},
    {"Paid by Diner's Club", "Diner's"},
    {"Paid by Customer Charge", "CHARGE"},
    {"Paid by Undefined", "UNUSED"},
    {"Paid by Gift Certificate", "Gift Cert"},
    {"Paid by Prizemoney", "Prizemoney"},
    {"Paid by Credit Book", "Creditbook"},
    {"Paid by Gift Card", "Our Gift Card"},
    {"Paid by Natl Gift Card", "Natl Gift Card"},
    {"Paid by Coupon/Discount", ""},
}};

const TenderType* find_type(long code) {
    if (code < 1 || code > static_cast<long>(kTenderTypes.size())) return nullptr;
    return &kTenderTypes[static_cast<std::size_t>(code - 1)];
}

}  // namespace

std::string tender_long_label(long code) {
    const TenderType* t = find_type(code);
    return t ? t->long_label : "";
}

std::string tender_short_label(long code) {
    const TenderType* t = find_type(code);
    return t ? t->short_label : "";
}

std::string payment_on_account_label(long code) {
    const std::string short_label = tender_short_label(code);
    if (!short_label.empty()) return short_label;
    return without_paid_by(tender_long_label(code));
}

std::string without_paid_by(const std::string& text) {
    if (text.find("Paid by") == std::string::npos) return text;
    return chars_from(text, 8);
}

}  // namespace tillora
