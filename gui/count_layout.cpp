#include "gui/count_layout.h"

#include <array>

namespace tillora::gui {

namespace {

constexpr int kInset = 10;
constexpr int kTitleHeight = 34;
constexpr int kHeadingHeight = 28;
constexpr int kRowHeight = 50;
constexpr int kRowGap = 8;
constexpr int kLabelWidth = 136;
constexpr int kBoxWidth = 152;
constexpr int kButtonHeight = 60;
constexpr int kEntryFont = 22;

struct CountRow {
    const char* label;
    const char* box;
    const char* expected;  // "" for the opening bank
};
constexpr std::array<CountRow, 5> kRows = {{
    {"lblopeningbank", "txtopeningbank", ""},
    {"lblcountcash", "txtcountcash", "lblexpcash"},
    {"lblcountchecks", "txtcountchecks", "lblexpchecks"},
    {"lblcountmember", "txtcountmember", "lblexpmember"},
    {"lblcountcards", "txtcountcards", "lblexpcards"},
}};

}  // namespace

std::vector<Placement> count_screen_placements(const QRect& frame) {
    std::vector<Placement> out;
    out.push_back({"fracount", "", frame, 18, true});
    const int box_left = kInset + kLabelWidth + 6;
    const int expected_left = box_left + kBoxWidth + 10;
    const int expected_width = frame.width() - kInset - expected_left;
    out.push_back({"lblcountcounted", "fracount",
                   QRect(box_left, kTitleHeight, kBoxWidth, kHeadingHeight), 16, true});
    out.push_back({"lblcountexpected", "fracount",
                   QRect(expected_left, kTitleHeight, expected_width, kHeadingHeight), 16, true});
    // Labels are a line high, centred on their box.
    const int label_offset = (kRowHeight - 30) / 2;
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        const int top =
            kTitleHeight + kHeadingHeight + static_cast<int>(i) * (kRowHeight + kRowGap);
        out.push_back(
            {kRows[i].label, "fracount", QRect(kInset, top + label_offset, kLabelWidth, 30), 18});
        out.push_back(
            {kRows[i].box, "fracount", QRect(box_left, top, kBoxWidth, kRowHeight), kEntryFont});
        if (*kRows[i].expected != '\0') {
            out.push_back({kRows[i].expected, "fracount",
                           QRect(expected_left, top + label_offset, expected_width, 30), 18});
        }
    }
    const char* const buttons[] = {"cmdcountprint", "cmdcountcancel", "cmdcountreprint"};
    const int width = (frame.width() - 2 * kInset - 2 * kRowGap) / 3;
    const int top = frame.height() - kInset - kButtonHeight;
    for (int i = 0; i < 3; ++i) {
        out.push_back({buttons[i], "fracount",
                       QRect(kInset + i * (width + kRowGap), top, width, kButtonHeight), 17});
    }
    return out;
}

}  // namespace tillora::gui
