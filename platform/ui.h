// User-interface services the handlers use: message boxes, the input box, the file dialog,
// the yield to the message loop, the topmost band and starting a program.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tillora {

enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Buttons { Ok, YesNo };
// Answer codes of a message box: 1 OK, 6 Yes, 7 No.
enum class Answer { Ok = 1, Yes = 6, No = 7 };

struct FileDialogRequest {
    std::string title;
    std::string initial_folder;
    std::string file_name;
    std::string filter;  // "CSV Files (*.csv)|*.csv"
};

class Ui {
  public:
    virtual ~Ui() = default;
    // Shows a message; for Buttons::YesNo, `default_no` chooses No as the default button.
    virtual Answer message_box(const std::string& text, const std::string& title, Icon icon,
                               Buttons buttons = Buttons::Ok, bool default_no = false) = 0;
    // Asks for a line of text; nullopt when cancelled.
    virtual std::optional<std::string> input_box(const std::string& prompt,
                                                 const std::string& title,
                                                 const std::string& initial = "") = 0;
    // Asks for a file path; empty when cancelled.
    virtual std::string file_dialog(const FileDialogRequest& request) = 0;
    // Lets the window repaint and handle input.
    virtual void yield() = 0;
    // Called from inside long work (an engine step, a print job of many lines): lets the window
    // repaint at most every few milliseconds, holding user input back until the next yield (a
    // click must not start work while the engine is busy). Cheap to call often.
    virtual void keep_alive() {}
    // Places the main window in or out of the always-on-top band.
    virtual void set_topmost(bool) {}
    // Starts a program without waiting for it; false when it could not be started.
    virtual bool start_program(const std::string& path);
    // True when nobody can answer (the unattended run): reports then never ask.
    virtual bool unattended() const { return false; }
};

// Answers from queues and writes every box it shows to `out` in the driver's line format:
//   MSGBOX <title> | <text>
//   QUESTION <title> | <text> -> yes|no
//   INPUT <title> | <prompt> -> <answer>      (cancelled: "INPUT <title> | <prompt> ->")
//   FILEDIALOG <title> -> <path>
// Line breaks inside texts are written as \n. A question with no queued answer gets its default
// button, an input box or file dialog with none is cancelled. Never waits.
class ScriptedUi : public Ui {
  public:
    explicit ScriptedUi(std::ostream* out = nullptr) : out_(out) {}

    std::deque<bool> answers;  // true = Yes
    std::deque<std::optional<std::string>> inputs;
    std::deque<std::string> files;
    std::vector<std::string> shown;       // every line written, also kept here
    std::vector<std::string> started;     // programs started
    std::function<void()> on_yield;       // test hook, runs at every yield
    std::function<void()> on_keep_alive;  // test hook, runs at every keep_alive
    int yields = 0;
    bool topmost = false;

    Answer message_box(const std::string& text, const std::string& title, Icon icon,
                       Buttons buttons, bool default_no) override;
    std::optional<std::string> input_box(const std::string& prompt, const std::string& title,
                                         const std::string& initial) override;
    std::string file_dialog(const FileDialogRequest& request) override;
    void yield() override;
    void keep_alive() override {
        if (on_keep_alive) on_keep_alive();
    }
    void set_topmost(bool on) override { topmost = on; }
    bool start_program(const std::string& path) override;

  private:
    void record(const std::string& line);
    std::ostream* out_;
    bool in_yield_hook_ = false;  // keeps a hook that yields from running itself again
};

// The unattended run: every question gets its default button without a word, every message
// goes to `err` as one line "<title>: <text>", input boxes and file dialogs are cancelled.
// Never waits.
class UnattendedUi : public Ui {
  public:
    explicit UnattendedUi(std::ostream& err) : err_(err) {}
    Answer message_box(const std::string& text, const std::string& title, Icon icon,
                       Buttons buttons, bool default_no) override;
    std::optional<std::string> input_box(const std::string& prompt, const std::string& title,
                                         const std::string& initial) override;
    std::string file_dialog(const FileDialogRequest& request) override;
    void yield() override {}
    bool unattended() const override { return true; }

  private:
    std::ostream& err_;
};

// One line of a box's text for logs: line breaks written as \n.
std::string escape_line_breaks(const std::string& text);

// Runs `work` on a second thread while this one keeps the window repainting (ui.keep_alive), for
// a step that may wait on the disk (a commit that checkpoints a large log). `work` must not touch
// the window; what it throws is thrown here.
void run_beside_window(Ui& ui, const std::function<void()>& work);

}  // namespace tillora
