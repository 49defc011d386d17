// The tender type table: the codes 1-16 of postendtype and the labels the reports print for them.
#pragma once

#include <string>

namespace tillora {

// The long label of a tender code ("Paid by Cash" for 1 ... "Paid by Coupon/Discount" for 16);
// "" for a code outside 1-16.
std::string tender_long_label(long code);

// The short label of a tender code as the payments on account print it ("Cash" for 1 ...
// "Natl Gift Card" for 15); "" for 16 and every code outside 1-15.
std::string tender_short_label(long code);

// The label of a payments-on-account row: the short label for 1-15, the long label without
// "Paid by " for 16 ("Coupon/Discount"), "" for any other code.
std::string payment_on_account_label(long code);

// A label as the tender lines print it: a text containing "Paid by" (case-sensitive) loses its
// first 8 characters; any other text is returned unchanged.
std::string without_paid_by(const std::string& text);

}  // namespace tillora
