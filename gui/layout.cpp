#include "gui/layout.h"

#include "gui/count_layout.h"

#include <QFontMetrics>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>

namespace tillora::gui {

namespace {

constexpr int kMargin = 12;
constexpr int kGap = 8;

// Entry area (left): the login row, the keypad, the date and time boxes, the time shortcuts.
constexpr int kEntryRight = 536;
constexpr int kCaptionHeight = 24;
constexpr int kBoxHeight = 50;
constexpr int kLoginTop = 64;
constexpr int kKeypadTop = 150;
constexpr int kKeyWidth = 104;
constexpr int kKeyHeight = 60;
constexpr int kDateCaptionTop = 430;
constexpr int kTimeCaptionTop = 516;
constexpr int kShortcutTop = 604;
constexpr int kShortcutHeight = 60;

// Report area (right): the server buttons and the manager frame.
constexpr int kReportLeft = 552;
constexpr int kReportWidth = 436;
constexpr int kReportButtonHeight = 60;
constexpr int kFrameTop = 204;
constexpr int kFrameButtonHeight = 47;
constexpr int kFrameButtonGap = 5;
constexpr int kFrameTitleHeight = 34;

constexpr int kEntryFont = 22;
constexpr int kKeyFont = 24;
constexpr int kButtonFont = 18;
constexpr int kCaptionFont = 15;

// Keypad cell of each cmdnumber index: row, column, rows and columns spanned.
struct KeyCell {
    int row, column, rows, columns;
};
constexpr std::array<KeyCell, 13> kKeyCells = {{
    {3, 0, 1, 3},  // 0
    {2, 0, 1, 1},  // 1
    {2, 1, 1, 1},  // 2
    {2, 2, 1, 1},  // 3
    {1, 0, 1, 1},  // 4
    {1, 1, 1, 1},  // 5
    {1, 2, 1, 1},  // 6
    {0, 0, 1, 1},  // 7
    {0, 1, 1, 1},  // 8
    {0, 2, 1, 1},  // 9
    {0, 3, 1, 1},  // Clear
    {2, 3, 2, 1},  // Enter/Ok
    {1, 3, 1, 1},  // Bksp
}};

QRect key_rect(const KeyCell& cell) {
    const int left = kMargin + cell.column * (kKeyWidth + kGap);
    const int top = kKeypadTop + cell.row * (kKeyHeight + kGap);
    // The fourth column (Clear, Bksp, Enter/Ok) runs to the right edge of the entry area.
    const int right =
        cell.column == 3 ? kEntryRight : left + cell.columns * (kKeyWidth + kGap) - kGap;
    return QRect(left, top, right - left, cell.rows * (kKeyHeight + kGap) - kGap);
}

// The manager report buttons, column by column in two columns; the rows share the frame's height.
constexpr std::array kManagerButtons = {
    "cmdserver3",       "cmdserver4",      "cmdserver5",    "cmdserver6",       "cmdserver7",
    "cmdserver8",       "cmdserver9",      "cmdtender1",    "cmdbalancedrawer", "cmdaudit",
    "cmdpaidinpaidout", "cmdticketcount",  "cmdunsentxact", "cmdcreditcard",    "cmdexport1",
    "cmdprintall",      "cmdviewcloseout", "cmdcountdrawer"};
constexpr int kManagerRows = static_cast<int>(kManagerButtons.size() + 1) / 2;

// The status row: the status box, the progress bar under it, Stop at its right end.
constexpr int kStatusHeight = 38;
constexpr int kStopWidth = 132;
constexpr int kProgressHeight = 10;

// The eight entry boxes: name, caption, column grid of its row.
struct EntryBox {
    const char* name;
    const char* caption;
    int left, top, width;
};
constexpr int kHalfWidth = 200;
constexpr int kQuarterWidth = 122;
constexpr int kQuarterStep = 131;
constexpr std::array<EntryBox, 8> kEntryBoxes = {{
    {"txtempid", "Employee ID", kMargin, kLoginTop, kHalfWidth},
    {"txtpassword", "Password", kMargin + kHalfWidth + 10, kLoginTop, kHalfWidth},
    {"txtfromdate", "From date", kMargin, kDateCaptionTop, kHalfWidth},
    {"txttodate", "To date", kMargin + kHalfWidth + 10, kDateCaptionTop, kHalfWidth},
    {"txtfromhour", "From HOUR", kMargin, kTimeCaptionTop, kQuarterWidth},
    {"txtfromminute", "From MINUTE", kMargin + kQuarterStep, kTimeCaptionTop, kQuarterWidth},
    {"txttohour", "To HOUR", kMargin + 2 * kQuarterStep, kTimeCaptionTop, kQuarterWidth},
    {"txttominute", "To MINUTE", kMargin + 3 * kQuarterStep, kTimeCaptionTop, kQuarterWidth},
}};

std::vector<Placement> build_placements() {
    std::vector<Placement> out;
    const int full_width = kWindowSize.width() - 2 * kMargin;
    const int status_width = full_width - kStopWidth - kGap;
    out.push_back(
        {"helpwindow", "", QRect(kMargin, kMargin, status_width, kStatusHeight), 20, true});
    out.push_back({"prgwork", "",
                   QRect(kMargin, kMargin + kStatusHeight + 2, status_width, kProgressHeight),
                   kMinFontPx});
    out.push_back(
        {"cmdstop", "",
         QRect(kMargin + status_width + kGap, kMargin - 4, kStopWidth, kLoginTop - kMargin - 2),
         kKeyFont, true});
    for (const EntryBox& box : kEntryBoxes) {
        out.push_back({box.name, "",
                       QRect(box.left, box.top + kCaptionHeight, box.width, kBoxHeight),
                       kEntryFont});
    }
    const int login_left = kMargin + 2 * (kHalfWidth + 10);
    out.push_back(
        {"cmdlogin", "",
         QRect(login_left, kLoginTop, kEntryRight - login_left, kCaptionHeight + kBoxHeight),
         kKeyFont, true});
    for (std::size_t k = 0; k < kKeyCells.size(); ++k) {
        out.push_back({"cmdnumber" + std::to_string(k), "", key_rect(kKeyCells[k]),
                       k < 10 ? kKeyFont + 4 : kKeyFont, true});
    }
    const int shortcut_width = (kEntryRight - kMargin - 2 * kGap) / 3;
    const char* shortcuts[] = {"cmdmorning", "cmdafternoon", "cmdevening"};
    for (int i = 0; i < 3; ++i) {
        out.push_back({shortcuts[i], "",
                       QRect(kMargin + i * (shortcut_width + kGap), kShortcutTop, shortcut_width,
                             kShortcutHeight),
                       kButtonFont});
    }
    const int half = (kReportWidth - kGap) / 2;
    const int quarter = (half - kGap) / 2;
    const int second_row = kLoginTop + kReportButtonHeight + kGap;
    const struct {
        const char* name;
        int left, top, width;
    } server_buttons[] = {
        {"cmdserver1", 0, kLoginTop, half},
        {"cmdserver2", half + kGap, kLoginTop, half},
        {"cmdmanager", 0, second_row, half},
        {"cmdpreview", half + kGap, second_row, quarter},
        {"cmdhelp", half + 2 * kGap + quarter, second_row, half - quarter - kGap},
    };
    for (const auto& b : server_buttons) {
        out.push_back({b.name, "", QRect(kReportLeft + b.left, b.top, b.width, kReportButtonHeight),
                       kButtonFont + 1});
    }
    const int frame_height = kWindowSize.height() - kMargin - kFrameTop;
    const QRect manager_frame(kReportLeft, kFrameTop, kReportWidth, frame_height);
    out.push_back({"framanager", "", manager_frame, kButtonFont, true});
    const int inner_width = (kReportWidth - 2 * 10 - kGap) / 2;
    const int rows_height = frame_height - kFrameTitleHeight - kFrameButtonGap;
    const int button_height = std::min(
        kFrameButtonHeight, (rows_height - (kManagerRows - 1) * kFrameButtonGap) / kManagerRows);
    for (std::size_t i = 0; i < kManagerButtons.size(); ++i) {
        const int column = static_cast<int>(i) / kManagerRows;
        const int row = static_cast<int>(i) % kManagerRows;
        out.push_back({kManagerButtons[i], "framanager",
                       QRect(10 + column * (inner_width + kGap),
                             kFrameTitleHeight + row * (button_height + kFrameButtonGap),
                             inner_width, button_height),
                       kButtonFont - 1});
    }
    // The drawer count screen takes the manager frame's place while it is open.
    for (const Placement& p : count_screen_placements(manager_frame)) out.push_back(p);
    // The help panel lies over the entry area and the report buttons from the top-left corner
    // of txtempid, wide enough to show the whole text in large type.
    const QPoint help_origin(kMargin, kLoginTop + kCaptionHeight);
    const QRect help(help_origin,
                     QPoint(kWindowSize.width() - kMargin - 1, kWindowSize.height() - kMargin - 1));
    out.push_back({"frahelp", "", help, kButtonFont, true});
    // The receipt view lies over the entry area; the report buttons stay in reach. Print and
    // Close cover the time shortcuts exactly, Print two of them.
    out.push_back({"txtpreview", "",
                   QRect(kMargin, kLoginTop, kEntryRight - kMargin, kShortcutTop - kLoginTop), 18});
    out.push_back({"cmdpreviewprint", "",
                   QRect(kMargin, kShortcutTop, 2 * shortcut_width + kGap, kShortcutHeight),
                   kKeyFont, true});
    out.push_back({"cmdpreviewclose", "",
                   QRect(kMargin + 2 * (shortcut_width + kGap), kShortcutTop, shortcut_width,
                         kShortcutHeight),
                   kKeyFont, true});
    out.push_back(
        {"lblhelp", "frahelp",
         QRect(12, kFrameTitleHeight, help.width() - 24, help.height() - kFrameTitleHeight - 12),
         20});
    return out;
}

std::vector<BoxCaption> build_captions() {
    std::vector<BoxCaption> out;
    for (const EntryBox& box : kEntryBoxes) {
        out.push_back(
            {box.caption, QRect(box.left, box.top, box.width, kCaptionHeight), kCaptionFont});
    }
    return out;
}

}  // namespace

const std::vector<Placement>& control_placements() {
    static const std::vector<Placement> placements = build_placements();
    return placements;
}

const Placement* find_placement(const std::string& name) {
    for (const Placement& p : control_placements()) {
        if (p.name == name) return &p;
    }
    return nullptr;
}

const std::vector<BoxCaption>& box_captions() {
    static const std::vector<BoxCaption> captions = build_captions();
    return captions;
}

QFont ui_font(int pixel_size, bool bold) {
    QFont font;
    font.setFamilies(QStringList{"Arial", "Liberation Sans", "DejaVu Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixel_size);
    font.setBold(bold);
    return font;
}

QFont fitted_font(const QString& text, int max_px, bool bold, int width) {
    constexpr int kFramePadding = 16;
    for (int px = max_px; px > kMinFontPx; --px) {
        const QFont font = ui_font(px, bold);
        const QFontMetrics metrics(font);
        int widest = 0;
        for (const QString& line : text.split('\n')) {
            widest = std::max(widest, metrics.horizontalAdvance(line));
        }
        if (widest + kFramePadding <= width) return font;
    }
    return ui_font(kMinFontPx, bold);
}

QRect Scale::rect(const QRect& r) const {
    const int left = static_cast<int>(std::lround(r.left() * x));
    const int top = static_cast<int>(std::lround(r.top() * y));
    const int right = static_cast<int>(std::lround((r.left() + r.width()) * x));
    const int bottom = static_cast<int>(std::lround((r.top() + r.height()) * y));
    return QRect(left, top, right - left, bottom - top);
}

int Scale::px(int pixels) const {
    return static_cast<int>(std::lround(pixels * std::min(x, y)));
}

Scale scale_for(const QSize& client) {
    return Scale{std::max(1.0, static_cast<double>(client.width()) / kWindowSize.width()),
                 std::max(1.0, static_cast<double>(client.height()) / kWindowSize.height())};
}

QPoint window_origin(const QRect& screen, double dpi_x, int frame_height) {
    const int left = static_cast<int>(std::lround(350.0 * dpi_x / 1440.0));
    return QPoint(screen.left() + left, screen.top() + (screen.height() - frame_height) / 2);
}

}  // namespace tillora::gui
