#include "gui/main_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <exception>

#include "gui/layout.h"
#include "gui/preview_view.h"
#include "gui/qt_ui.h"
#include "panel/count_screen.h"
#include "panel/entry.h"
#include "panel/form_load.h"
#include "panel/panel_buttons.h"
#include "reports/other/report_buttons.h"

namespace tillora::gui {

namespace {

// The password box shows "*" for each character, whatever the style's own choice.
class StarPasswordStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return '*';
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

// The printable ASCII character of a key, 0 for anything else.
char typed_character(QChar c) {
    const char16_t code = c.unicode();
    return code >= 0x20 && code < 0x7F ? static_cast<char>(code) : '\0';
}

}  // namespace

MainWindow::MainWindow(Station& station, QWidget* parent) : QWidget(parent), s_(station) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);
    setMinimumSize(kWindowSize);
    resize(kWindowSize);
    setFocusPolicy(Qt::NoFocus);
    build();
    relayout();
    refresh();
}

QWidget* MainWindow::widget(const std::string& name) const {
    const auto it = widgets_.find(name);
    return it == widgets_.end() ? nullptr : it->second;
}

bool MainWindow::is_entry_box(const std::string& name) const {
    for (int field = 1; field <= kLastCountField; ++field) {
        const Control* box = s_.form.entry_box(field);
        if (box != nullptr && box->name == name) return true;
    }
    return false;
}

void MainWindow::build() {
    for (const BoxCaption& caption : box_captions()) {
        auto* label = new QLabel(QString::fromStdString(caption.text), this);
        label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
        captions_.emplace_back(label, caption);
    }
    // Frames first, so that the controls they hold can be built inside them.
    std::vector<Control*> controls = s_.form.controls();
    std::stable_partition(controls.begin(), controls.end(),
                          [](const Control* c) { return c->kind == ControlKind::Frame; });
    for (Control* control : controls) {
        const Placement* place = find_placement(control->name);
        QWidget* parent = this;
        if (place != nullptr && !place->parent.empty()) parent = widget(place->parent);
        QWidget* w = make_widget(*control, parent != nullptr ? parent : this);
        w->setObjectName(QString::fromStdString(control->name));
        if (place == nullptr) {
            qWarning("tillora-reports: no place for control %s", control->name.c_str());
            w->setGeometry(0, 0, 0, 0);
        }
        widgets_[control->name] = w;
    }
    if (QWidget* password = widget("txtpassword")) {
        // Created after the widgets, so that it is destroyed after them.
        auto* style = new StarPasswordStyle;
        style->setParent(this);
        password->setStyle(style);
    }
}

void MainWindow::relayout() {
    scale_ = scale_for(size());
    for (auto& [label, caption] : captions_) {
        label->setFont(ui_font(scale_.px(caption.font_px), true));
        label->setGeometry(scale_.rect(caption.rect));
    }
    for (const auto& [name, w] : widgets_) {
        const Placement* place = find_placement(name);
        if (place == nullptr) continue;
        w->setGeometry(scale_.rect(place->rect));
        const int px = scale_.px(place->font_px);
        auto* button = qobject_cast<QPushButton*>(w);
        w->setFont(button != nullptr ? fitted_font(button->text(), px, place->bold, w->width())
                                     : ui_font(px, place->bold));
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

QWidget* MainWindow::make_widget(const Control& control, QWidget* parent) {
    const std::string name = control.name;
    switch (control.kind) {
        case ControlKind::TextBox: {
            auto* edit = new QLineEdit(parent);
            edit->setContextMenuPolicy(Qt::NoContextMenu);
            edit->setAcceptDrops(false);
            if (is_entry_box(name)) {
                edit->setFocusPolicy(Qt::StrongFocus);
                edit->installEventFilter(this);
                if (name == "txtpassword") edit->setEchoMode(QLineEdit::Password);
            } else {
                // The status line only shows the prompt.
                edit->setReadOnly(true);
                edit->setFocusPolicy(Qt::NoFocus);
            }
            return edit;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(parent);
            button->setCheckable(control.checkable);
            // The focus stays in the entry box the keypad writes into.
            button->setFocusPolicy(Qt::NoFocus);
            button->installEventFilter(this);
            connect(button, &QPushButton::clicked, this, [this, name] { on_click(name); });
            return button;
        }
        case ControlKind::Frame: {
            auto* frame = new QGroupBox(parent);
            frame->installEventFilter(this);
            if (name == "frahelp") {
                // An opaque panel: nothing of the window below shows through.
                QPalette palette = frame->palette();
                palette.setColor(QPalette::Window, QColor(255, 255, 225));
                frame->setPalette(palette);
                frame->setAutoFillBackground(true);
            }
            return frame;
        }
        case ControlKind::Label: {
            auto* label = new QLabel(parent);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->installEventFilter(this);
            return label;
        }
        case ControlKind::View:
            return new PreviewView(parent);
        case ControlKind::Progress: {
            auto* bar = new QProgressBar(parent);
            bar->setTextVisible(false);
            return bar;
        }
    }
    return new QWidget(parent);
}

void MainWindow::refresh() {
    if (syncing_) return;
    syncing_ = true;
    setWindowTitle(QString::fromStdString(s_.form.caption));
    for (Control* control : s_.form.controls()) {
        if (QWidget* w = widget(control->name)) mirror(*control, *w);
    }
    // The help panel and the receipt view lie over the entry area.
    for (const char* overlay : {"txtpreview", "cmdpreviewprint", "cmdpreviewclose", "frahelp"}) {
        if (QWidget* w = widget(overlay); w != nullptr && w->isVisibleTo(this)) w->raise();
    }
    mirror_focus();
    syncing_ = false;
    if (s_.form.closed && !close_requested_ && !unloaded_) {
        close_requested_ = true;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void MainWindow::mirror(const Control& control, QWidget& w) {
    if (w.isEnabled() != control.enabled) w.setEnabled(control.enabled);
    if (w.isVisibleTo(w.parentWidget()) != control.visible) w.setVisible(control.visible);
    const QString text = display_text(control.text);
    switch (control.kind) {
        case ControlKind::TextBox: {
            auto& edit = static_cast<QLineEdit&>(w);
            if (edit.text() != text) edit.setText(text);
            const QColor back = QColor::fromRgb(static_cast<QRgb>(control.back));
            if (edit.palette().color(QPalette::Base) != back) {
                QPalette palette = edit.palette();
                palette.setColor(QPalette::Base, back);
                edit.setPalette(palette);
            }
            break;
        }
        case ControlKind::Button: {
            auto& button = static_cast<QPushButton&>(w);
            if (button.isChecked() != control.checked) button.setChecked(control.checked);
            if (button.text() != text) {
                button.setText(text);
                if (const Placement* place = find_placement(control.name)) {
                    button.setFont(
                        fitted_font(text, scale_.px(place->font_px), place->bold, button.width()));
                }
            }
            break;
        }
        case ControlKind::Frame: {
            auto& frame = static_cast<QGroupBox&>(w);
            if (frame.title() != text) frame.setTitle(text);
            break;
        }
        case ControlKind::Label: {
            auto& label = static_cast<QLabel&>(w);
            if (label.text() != text) label.setText(text);
            break;
        }
        case ControlKind::View:
            static_cast<PreviewView&>(w).set_text(text);
            break;
        case ControlKind::Progress: {
            auto& bar = static_cast<QProgressBar&>(w);
            const int maximum = static_cast<int>(std::max(1L, control.maximum));
            if (bar.maximum() != maximum) bar.setRange(0, maximum);
            const int value = static_cast<int>(std::min(control.value, control.maximum));
            if (bar.value() != value) bar.setValue(value);
            break;
        }
    }
}

void MainWindow::mirror_focus() {
    QWidget* target = widget(s_.form.focused);
    if (target != nullptr && target->isVisibleTo(this) && target->isEnabled()) {
        if (focusWidget() != target) target->setFocus(Qt::OtherFocusReason);
    } else if (focusWidget() != this) {
        // The window itself holds the focus, so that Qt does not hand it to the first box when
        // the window is activated.
        setFocus(Qt::OtherFocusReason);
    }
}

void MainWindow::place_on_screen() {
    QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    move(
        window_origin(screen->geometry(), screen->logicalDotsPerInchX(), frameGeometry().height()));
}

void MainWindow::run(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        s_.svc.ui.message_box(error.what(), "Oops...", Icon::Critical);
    }
    refresh();
}

void MainWindow::on_click(const std::string& name) {
    if (syncing_) return;
    const Control* control = s_.form.find(name);
    if (control == nullptr || !s_.form.usable(*control)) return;
    run([this, &name] {
        if (!click_panel_control(s_, name)) click_report_button(s_, name);
    });
}

void MainWindow::on_focus_in(const std::string& name, Qt::FocusReason reason) {
    // The focus coming back with the window, or set while mirroring, is no operator action.
    if (syncing_ || name == s_.form.focused) return;
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
        QMetaObject::invokeMethod(this, &MainWindow::refresh, Qt::QueuedConnection);
        return;
    }
    run([this, &name] { focus_control(s_, name); });
}

void MainWindow::on_entry_key(const std::string& name, const QKeyEvent& key) {
    switch (key.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            run([this] { key_press(s_, '\r'); });
            return;
        case Qt::Key_Backspace:
            run([this] { key_press(s_, '\b'); });
            return;
        case Qt::Key_F5:
            if (name == "txtempid") run([this] { key_f5(s_); });
            return;
        default:
            break;
    }
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return;
    for (const QChar c : key.text()) {
        if (const char typed = typed_character(c); typed != '\0') {
            run([this, typed] { key_press(s_, typed); });
        }
    }
}

bool MainWindow::eventFilter(QObject* object, QEvent* event) {
    const std::string name = object->objectName().toStdString();
    const bool entry = qobject_cast<QLineEdit*>(object) != nullptr;
    switch (event->type()) {
        case QEvent::FocusIn:
            if (entry) on_focus_in(name, static_cast<QFocusEvent*>(event)->reason());
            break;
        case QEvent::KeyPress: {
            const auto& key = *static_cast<QKeyEvent*>(event);
            if (entry) {
                // Tab moves between the boxes; every other key is the model's, which owns
                // the text.
                if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab) break;
                on_entry_key(name, key);
                return true;
            }
            // Enter on the button that has the focus (Log In after the password) clicks it.
            if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
                run([this] { key_press(s_, '\r'); });
                return true;
            }
            break;
        }
        case QEvent::InputMethod:
            return entry;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // No middle-button paste into the boxes.
            if (entry) return static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
            break;
        case QEvent::MouseButtonRelease: {
            const auto& mouse = *static_cast<QMouseEvent*>(event);
            const bool help_panel = name == "frahelp" || name == "lblhelp";
            auto* w = static_cast<QWidget*>(object);
            if (help_panel && mouse.button() == Qt::LeftButton &&
                w->rect().contains(mouse.position().toPoint())) {
                on_click(name);
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QWidget::eventFilter(object, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The shutdown closes the databases: not while the engine is inside a step of one of them.
    if (const auto* ui = dynamic_cast<const QtUi*>(&s_.svc.ui); ui && ui->in_engine_step()) {
        event->ignore();
        QTimer::singleShot(100, this, [this] { close(); });
        return;
    }
    if (!unloaded_) {
        unloaded_ = true;
        run([this] { form_unload(s_); });
    }
    event->accept();
}

}  // namespace tillora::gui
