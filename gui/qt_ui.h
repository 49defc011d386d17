// The user-interface services of the interactive program, in Qt: message boxes, the input box,
// the export file dialog, the yield to the event loop, the topmost band and starting a program.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <functional>

#include "platform/ui.h"

class QWidget;

namespace tillora::gui {

class QtUi : public Ui {
  public:
    // The main window: dialogs belong to it and the topmost band applies to it. A topmost
    // request made before a window is attached is applied when it is attached.
    void attach(QWidget* window);
    // Runs at every yield before the events are processed (the window mirrors the model).
    std::function<void()> on_yield;

    // A modal QMessageBox with the given icon and title; Yes/No boxes default to No on request.
    Answer message_box(const std::string& text, const std::string& title, Icon icon,
                       Buttons buttons = Buttons::Ok, bool default_no = false) override;
    // A QInputDialog; nullopt when cancelled.
    std::optional<std::string> input_box(const std::string& prompt, const std::string& title,
                                         const std::string& initial = "") override;
    // A non-native save dialog (the chosen file may not exist yet); "" when cancelled.
    std::string file_dialog(const FileDialogRequest& request) override;
    // Repaints through on_yield and processes the pending events, at most every 2 ms.
    void yield() override;
    // Repaints through on_yield and processes the pending events except user input.
    void keep_alive() override;
    // True while keep_alive runs: the engine is inside a step and nothing may close it.
    bool in_engine_step() const { return in_engine_step_; }
    // Sets or clears Qt::WindowStaysOnTopHint on the attached window, keeping its place.
    void set_topmost(bool on) override;
    // Starts `path` detached in its own folder; false when it could not be started.
    bool start_program(const std::string& path) override;

  private:
    QWidget* window_ = nullptr;
    bool topmost_ = false;
    bool in_engine_step_ = false;
    QElapsedTimer since_repaint_;
    QElapsedTimer since_events_;
    static constexpr qint64 kYieldIntervalMs = 2;
    // The engine beats every 5 ms: each beat repaints, so no frame of 16 ms goes without one.
    static constexpr qint64 kRepaintIntervalMs = 5;
    void show_model();
};

// A text of the model as Qt shows it: line breaks CR LF become LF.
QString display_text(const std::string& text);

// A filter of the form "CSV Files (*.csv)|*.csv|All Files|*.*" as a Qt name filter
// ("CSV Files (*.csv);;All Files (*.*)"). A trailing description without a pattern is kept.
QString qt_name_filter(const std::string& filter);

}  // namespace tillora::gui
