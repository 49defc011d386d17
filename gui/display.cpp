#include "gui/display.h"

namespace tillora::gui {

namespace {

bool is_set(const char* value) {
    return value != nullptr && *value != '\0';
}

}  // namespace

bool display_available(const char* display, const char* wayland_display, const char* qt_platform) {
    return is_set(display) || is_set(wayland_display) || is_set(qt_platform);
}

}  // namespace tillora::gui
