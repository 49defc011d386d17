// The main window frmreport as data: every control with its caption or text, enabled, visible and
// background colour. The Qt window, the operator driver and the tests all work on this model.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tillora {

enum class Colour : std::uint32_t { White = 0xFFFFFF, Highlight = 0xFFFF00 };

// View: a read-only multi-line receipt view; Progress: a bar of `value` out of `maximum`.
enum class ControlKind { TextBox, Button, Frame, Label, View, Progress };

struct Control {
    std::string name;
    ControlKind kind = ControlKind::Button;
    std::string text;  // caption of a button, frame or label; contents of a text box
    bool enabled = true;
    bool visible = true;
    Colour back = Colour::White;
    std::string parent;      // "framanager" for the manager report buttons, "" for the window
    bool checkable = false;  // a toggle button; `checked` is its state
    bool checked = false;
    long value = 0;  // a progress bar's position and end
    long maximum = 0;
};

struct CountScreen;  // the drawer count screen (panel/count_screen.h)

// Keypad indexes of cmdnumber beyond the digits 0-9.
inline constexpr int kKeyClear = 10;
inline constexpr int kKeyEnter = 11;
inline constexpr int kKeyBksp = 12;

struct FormModel {
    FormModel();
    ~FormModel();

    std::string caption = "Workstation Reports/Exports";
    // Entry boxes, in activefield order 1-8.
    Control txtempid, txtpassword, txtfromdate, txttodate, txtfromhour, txttohour, txtfromminute,
        txttominute;
    Control cmdlogin, cmdmorning, cmdafternoon, cmdevening, helpwindow;
    Control cmdserver1, cmdserver2, cmdmanager, cmdhelp;
    Control framanager;
    Control cmdserver3, cmdserver4, cmdserver5, cmdserver6, cmdserver7, cmdserver8, cmdserver9,
        cmdtender1, cmdbalancedrawer, cmdaudit, cmdpaidinpaidout, cmdticketcount, cmdunsentxact,
        cmdcreditcard, cmdexport1, cmdprintall, cmdviewcloseout;
    Control frahelp, lblhelp;
    // The on-screen receipt view and its toggle, the progress bar and the Stop button.
    Control cmdpreview, txtpreview, cmdpreviewprint, cmdpreviewclose, prgwork, cmdstop;
    std::array<Control, 13> cmdnumber;
    // The drawer count screen and its button on the manager frame.
    std::unique_ptr<CountScreen> count;

    // The entry field that last received the focus (1 txtempid ... 8 txttominute, 9-13 the
    // count screen's amount boxes, 0 none).
    std::int16_t activefield = 0;
    // 1 after a server report ran: the hold-sales lists show only the operator's tickets.
    std::int16_t ownsalesonly = 0;
    // Name of the control that has the input focus ("" none).
    std::string focused;
    // Set when the window is to be closed (the unattended run ends the program this way).
    bool closed = false;

    // Every control, in a fixed order; the keypad as cmdnumber0 ... cmdnumber12, then the
    // controls of the count screen.
    std::vector<Control*> controls();
    // The control of that name (case-sensitive), nullptr when there is none.
    Control* find(const std::string& name);
    // The entry box of an activefield number (1-8, the count screen's 9-13), nullptr for 0 or
    // out of range.
    Control* entry_box(int field);
    // True when the control and the frame holding it are enabled and visible.
    bool usable(const Control& control) const;
};

}  // namespace tillora
