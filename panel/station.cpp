#include "panel/station.h"

namespace tillora {

void Station::message(const std::string& text, const std::string& title, Icon icon) {
    svc.ui.message_box(text, title, icon, Buttons::Ok);
}

}  // namespace tillora
