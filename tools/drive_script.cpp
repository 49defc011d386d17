#include "tools/drive_script.h"

#include <exception>
#include <set>

#include "panel/entry.h"
#include "panel/form_load.h"
#include "panel/panel_buttons.h"
#include "platform/ui.h"
#include "platform/value.h"
#include "reports/other/report_buttons.h"

namespace tillora {

namespace {

// The keypad index of a key name, -1 when there is none.
int keypad_key(const std::string& name) {
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') return name[0] - '0';
    if (name == "Clear") return kKeyClear;
    if (name == "Enter/Ok" || name == "Enter" || name == "Ok") return kKeyEnter;
    if (name == "Bksp") return kKeyBksp;
    return -1;
}

bool is_answer_verb(const std::string& verb) {
    return verb == "answer" || verb == "input" || verb == "file";
}

// The line without its comment and its line end.
std::string strip_comment(std::string line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
            line.erase(i);
            // The blanks before a comment belong to the comment.
            line.erase(line.find_last_not_of(" \t") + 1);
            break;
        }
    }
    return line;
}

// Why the action cannot run, "" when it can.
std::string check_action(const ScriptAction& a) {
    static const std::set<std::string> kVerbs = {"focus",  "type",  "key",  "keypad", "click",
                                                 "answer", "input", "file", "show",   "stop-after"};
    if (kVerbs.count(a.verb) == 0) return "unknown action \"" + a.verb + "\"";
    if (a.verb == "focus" || a.verb == "click" || a.verb == "show") {
        FormModel names;
        if (names.find(a.argument) == nullptr) return "unknown control \"" + a.argument + "\"";
    }
    if (a.verb == "key" && a.argument != "Enter" && a.argument != "Backspace" &&
        a.argument != "F5") {
        return "unknown key \"" + a.argument + "\" (Enter, Backspace or F5)";
    }
    if (a.verb == "keypad" && keypad_key(a.argument) < 0) {
        return "unknown keypad key \"" + a.argument + "\" (0-9, Clear, Enter/Ok, Bksp)";
    }
    if (a.verb == "stop-after" &&
        (a.argument.empty() || a.argument.size() > 9 ||
         a.argument.find_first_not_of("0123456789") != std::string::npos)) {
        return "stop-after needs a number of rows";
    }
    if (a.verb == "answer" && a.argument != "yes" && a.argument != "no") {
        return "answer must be yes or no";
    }
    return "";
}

ScriptedUi& scripted_ui(Station& s) {
    auto* ui = dynamic_cast<ScriptedUi*>(&s.svc.ui);
    if (ui == nullptr) throw std::logic_error("answers need the scripted user interface");
    return *ui;
}

void click(Station& s, Control& c, std::ostream& out) {
    if (!s.form.usable(c)) {
        out << "DISABLED " << c.name << '\n';
        return;
    }
    if (c.kind == ControlKind::TextBox) {
        focus_control(s, c.name);
    } else if (!click_panel_control(s, c.name)) {
        click_report_button(s, c.name);
    }
}

}  // namespace

bool parse_script(std::istream& script, std::vector<ScriptAction>& actions, std::string& error) {
    std::string raw;
    int number = 0;
    while (std::getline(script, raw)) {
        ++number;
        std::string line = strip_comment(raw);
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos) continue;
        line = line.substr(start);
        ScriptAction a;
        a.line = number;
        const std::size_t blank = line.find_first_of(" \t");
        a.verb = line.substr(0, blank);
        if (blank != std::string::npos) {
            a.argument = line.substr(blank + 1);
            // Typed text and answers keep their blanks; names lose the surrounding ones.
            if (a.verb != "type" && a.verb != "input" && a.verb != "file") {
                a.argument = trim(a.argument);
            }
            a.has_argument = !a.argument.empty() || a.verb == "type" || a.verb == "input";
        }
        if (const std::string why = check_action(a); !why.empty()) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
        actions.push_back(a);
    }
    return true;
}

void run_action(Station& s, const ScriptAction& a, std::ostream& out) {
    if (a.verb == "focus") {
        Control& c = *s.form.find(a.argument);
        if (s.form.usable(c)) {
            focus_control(s, a.argument);
        } else {
            out << "DISABLED " << a.argument << '\n';
        }
    } else if (a.verb == "type") {
        for (char ch : a.argument) key_press(s, ch);
    } else if (a.verb == "key") {
        if (a.argument == "Enter") key_press(s, '\r');
        if (a.argument == "Backspace") key_press(s, '\b');
        if (a.argument == "F5") key_f5(s);
    } else if (a.verb == "keypad") {
        cmdnumber_click(s, keypad_key(a.argument));
    } else if (a.verb == "click") {
        click(s, *s.form.find(a.argument), out);
    } else if (a.verb == "answer") {
        scripted_ui(s).answers.push_back(a.argument == "yes");
    } else if (a.verb == "input") {
        scripted_ui(s).inputs.push_back(a.has_argument ? std::optional<std::string>(a.argument)
                                                       : std::nullopt);
    } else if (a.verb == "file") {
        scripted_ui(s).files.push_back(a.argument);
    } else if (a.verb == "show") {
        const Control& c = *s.form.find(a.argument);
        out << "SHOW " << c.name << " text=" << escape_line_breaks(c.text)
            << " enabled=" << (c.enabled ? 1 : 0) << " visible=" << (c.visible ? 1 : 0);
        if (c.checkable) out << " checked=" << (c.checked ? 1 : 0);
        if (c.kind == ControlKind::Progress)
            out << " value=" << c.value << " maximum=" << c.maximum;
        out << '\n';
    } else if (a.verb == "stop-after") {
        s.work.stop_after = std::stol(a.argument);
    }
}

int run_script(std::istream& script, Station& s, std::ostream& out, std::ostream& err) {
    std::vector<ScriptAction> actions;
    std::string error;
    if (!parse_script(script, actions, error)) {
        err << error << '\n';
        return kScriptError;
    }
    std::size_t next = 0;
    int line = 0;
    try {
        for (; next < actions.size() && is_answer_verb(actions[next].verb); ++next) {
            line = actions[next].line;
            run_action(s, actions[next], out);
        }
        line = 0;
        form_load(s, "");
        for (; next < actions.size(); ++next) {
            line = actions[next].line;
            run_action(s, actions[next], out);
        }
    } catch (const std::exception& e) {
        err << (line == 0 ? std::string("start-up") : "line " + std::to_string(line)) << ": "
            << e.what() << '\n';
        return kScriptFailed;
    }
    out.flush();
    return kScriptDone;
}

}  // namespace tillora
