// Whether the interactive window can be shown at all.
#pragma once

namespace tillora::gui {

// The message for a start without a display.
inline constexpr const char* kNoDisplayMessage =
    "tillora-reports: no display available for the interactive window (set DISPLAY, or run "
    "KVRUN<date> for the unattended close-out)";

// True when Qt has somewhere to show a window: an X display, a Wayland display or an explicit
// Qt platform. Each argument is the value of DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM
// (nullptr or empty when unset).
bool display_available(const char* display, const char* wayland_display, const char* qt_platform);

}  // namespace tillora::gui
