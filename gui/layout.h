// Geometry and type of the main window, made for a touch screen: where every control of the form
// model sits, the captions naming the entry boxes, the fonts and the window's place on the screen.
// Sizes are pixels at 96 dpi (Qt scales them on denser screens); fonts are sized in pixels too, so
// that captions fit their buttons whatever dpi the display reports.
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <string>
#include <vector>

namespace tillora::gui {

// The size of the window's client area the layout is drawn for; the window starts at this size
// and scales the layout to any larger size it is given (a full-screen kiosk window).
inline constexpr QSize kWindowSize{1000, 720};
// Touch targets (keypad, report buttons) are at least this high: 12 mm at 96 dpi.
inline constexpr int kMinTouchHeight = 46;

// Where one control of the form model sits: its rectangle inside `parent` ("" the window), and
// the pixel size and weight of its type.
struct Placement {
    std::string name;
    std::string parent;
    QRect rect;
    int font_px = 18;
    bool bold = false;
};

// A fixed caption naming an entry box ("From date"); not a control of the model.
struct BoxCaption {
    std::string text;
    QRect rect;
    int font_px = 16;
};

// Every control of the main window. The overlay frahelp comes last.
const std::vector<Placement>& control_placements();
// The placement of `name`, nullptr when the layout has none.
const Placement* find_placement(const std::string& name);
// The captions above the eight entry boxes.
const std::vector<BoxCaption>& box_captions();

// The smallest type a caption shrinks to so that it fits its button.
inline constexpr int kMinFontPx = 14;

// The font of a button caption: `max_px` high, or smaller (down to kMinFontPx) until every line
// of `text` fits `width` with room for the button's frame.
QFont fitted_font(const QString& text, int max_px, bool bold, int width);

// Arial at `pixel_size`, falling back to the metric-compatible Liberation Sans and then to
// DejaVu Sans.
QFont ui_font(int pixel_size, bool bold = false);

// How the layout is stretched to the window's size: places by the width and height ratios, type
// and touch targets by the smaller one, never below the drawn size.
struct Scale {
    double x = 1.0, y = 1.0;
    QRect rect(const QRect& r) const;
    int px(int pixels) const;
};
Scale scale_for(const QSize& client);

// Top-left corner of the window's frame: 350 twips (1440 to the inch) from the left edge of
// `screen`, centred vertically for a frame `frame_height` pixels high.
QPoint window_origin(const QRect& screen, double dpi_x, int frame_height);

}  // namespace tillora::gui
