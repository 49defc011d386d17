#include "gui/qt_ui.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

#include "gui/layout.h"

namespace tillora::gui {

namespace {

constexpr QSize kTouchButtonSize{120, kMinTouchHeight};
constexpr QSize kFileDialogSize{860, 560};

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QMessageBox::Icon qt_icon(Icon icon) {
    switch (icon) {
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// Dialogs of a topmost window stay above it, and their buttons are large enough to touch.
void prepare(QWidget& dialog, bool topmost) {
    if (topmost) dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        button->setMinimumSize(kTouchButtonSize);
    }
}

}  // namespace

void QtUi::attach(QWidget* window) {
    window_ = window;
    if (topmost_) set_topmost(true);
}

Answer QtUi::message_box(const std::string& text, const std::string& title, Icon icon,
                         Buttons buttons, bool default_no) {
    show_model();
    const bool yes_no = buttons == Buttons::YesNo;
    QMessageBox box(qt_icon(icon), qs(title), display_text(text),
                    yes_no ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, window_);
    // The texts bring their own line breaks; Qt would break them again in other places.
    box.setTextFormat(Qt::PlainText);
    if (auto* label = box.findChild<QLabel*>("qt_msgbox_label")) label->setWordWrap(false);
    if (yes_no) {
        box.setDefaultButton(default_no ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    }
    prepare(box, topmost_);
    const int result = box.exec();
    if (!yes_no) return Answer::Ok;
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

std::optional<std::string> QtUi::input_box(const std::string& prompt, const std::string& title,
                                           const std::string& initial) {
    show_model();
    QInputDialog dialog(window_);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(qs(title));
    dialog.setLabelText(display_text(prompt));
    dialog.setTextValue(qs(initial));
    // Setting the button texts builds the buttons, so that they can be made touchable.
    dialog.setOkButtonText("OK");
    dialog.setCancelButtonText("Cancel");
    prepare(dialog, topmost_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
}

std::string QtUi::file_dialog(const FileDialogRequest& request) {
    show_model();
    QFileDialog dialog(window_, qs(request.title), qs(request.initial_folder),
                       qt_name_filter(request.filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The export rewrites its files every time and asks before it starts.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.resize(kFileDialogSize);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.file_name.empty()) dialog.selectFile(qs(request.file_name));
    prepare(dialog, topmost_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
    return dialog.selectedFiles().first().toStdString();
}

void QtUi::yield() {
    // A report yields after every work row, thousands of times a second: the window is
    // mirrored and the events processed at most every 2 ms, which nobody can tell apart.
    if (since_events_.isValid() && since_events_.elapsed() < kYieldIntervalMs) return;
    since_events_.start();
    show_model();
    QCoreApplication::processEvents();
}

void QtUi::keep_alive() {
    // Called for every printed line and every engine beat: repaint at most every 10 ms.
    if (in_engine_step_ ||
        (since_repaint_.isValid() && since_repaint_.elapsed() < kRepaintIntervalMs)) {
        return;
    }
    since_repaint_.start();
    in_engine_step_ = true;
    show_model();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    in_engine_step_ = false;
}

// The window mirrors the model as it is now (before a dialog opens over it, at a yield).
void QtUi::show_model() {
    if (on_yield) on_yield();
}

void QtUi::set_topmost(bool on) {
    topmost_ = on;
    if (window_ == nullptr) return;
    // Changing the flags of a shown window hides it; show it again at the same place.
    const bool shown = window_->isVisible();
    const QPoint place = window_->pos();
    window_->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (shown) {
        window_->move(place);
        window_->show();
    }
}

bool QtUi::start_program(const std::string& path) {
    const QFileInfo program(qs(path));
    return QProcess::startDetached(program.absoluteFilePath(), {}, program.absolutePath());
}

QString display_text(const std::string& text) {
    return QString::fromStdString(text).replace("\r\n", "\n");
}

QString qt_name_filter(const std::string& filter) {
    const QStringList parts = qs(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString pattern = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        if (description.isEmpty() && pattern.isEmpty()) continue;
        // Qt reads the patterns from the parentheses; a description that already shows them
        // stays as it is.
        if (pattern.isEmpty() || description.contains('(')) {
            filters << description;
        } else {
            filters << description + " (" + QString(pattern).replace(';', ' ') + ")";
        }
    }
    return filters.join(";;");
}

}  // namespace tillora::gui
