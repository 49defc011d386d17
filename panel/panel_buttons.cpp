#include "panel/panel_buttons.h"

#include <map>

#include "panel/entry.h"
#include "panel/help.h"
#include "panel/login.h"
#include "panel/range.h"

namespace tillora {

namespace {

using Handler = void (*)(Station&);

const std::map<std::string, Handler>& panel_handlers() {
    static const std::map<std::string, Handler> handlers = {
        {"cmdlogin", cmdlogin_click},     {"cmdmanager", cmdmanager_click},
        {"cmdmorning", cmdmorning_click}, {"cmdafternoon", cmdafternoon_click},
        {"cmdevening", cmdevening_click}, {"cmdhelp", cmdhelp_click},
        {"frahelp", frahelp_click},       {"lblhelp", frahelp_click},
    };
    return handlers;
}

// The keypad index of "cmdnumber<k>", -1 for any other name.
int keypad_index(const std::string& name) {
    const std::string prefix = "cmdnumber";
    if (name.rfind(prefix, 0) != 0) return -1;
    const std::string digits = name.substr(prefix.size());
    if (digits.empty() || digits.size() > 2) return -1;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
    }
    if (digits.size() == 2 && digits[0] == '0') return -1;
    const int index = std::stoi(digits);
    return index <= kKeyBksp ? index : -1;
}

}  // namespace

bool click_panel_control(Station& s, const std::string& name) {
    if (const int index = keypad_index(name); index >= 0) {
        cmdnumber_click(s, index);
        return true;
    }
    const auto& handlers = panel_handlers();
    const auto it = handlers.find(name);
    if (it == handlers.end()) return false;
    it->second(s);
    return true;
}

}  // namespace tillora
