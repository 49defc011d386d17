// The day page as one self-contained HTML document: inline style and SVG bars, no script, no
// file or font from elsewhere; readable on a phone and printable on A4.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/value.h"
#include "summary/day_figures.h"

namespace tillora {

// What the page says about itself: which workstation, which dates, when it was made, and the
// close-out file it ends with (none for a range made on demand).
struct PageHeading {
    std::string unitstr;
    std::int32_t from = 0;  // YYYYMMDD
    std::int32_t to = 0;
    std::string made;  // "MM-DD-YYYY HH:MM:SS"
    struct Closeout {
        std::string name;
        std::string text;  // the file as it is, or why it could not be read
        bool readable = true;
    };
    std::optional<Closeout> closeout;
};

// The whole page. Never fails.
std::string render_day_page(const PageHeading& heading, const DayFigures& figures);

// Text with "&", "<", ">", '"' and "'" written as character references.
std::string escape_html(std::string_view text);
// An amount as the page's data attributes carry it: plain decimal, two places ("-1234.50").
std::string plain_amount(Currency amount);
// An amount as the page shows it: two places with thousands separators ("-1,234.50").
std::string shown_amount(Currency amount);
// "Friday 4 September 2020" for 20200904; the number as it is when it is no date.
std::string long_date(std::int32_t yyyymmdd);

}  // namespace tillora
