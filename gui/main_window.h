// The main window frmreport in Qt: one widget per control of the form model. The window holds
// no state of its own: it mirrors the model and forwards every focus change, key press and click
// to the panel and report handlers.
#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "gui/layout.h"
#include "panel/station.h"

class QCloseEvent;
class QKeyEvent;
class QLabel;

namespace tillora::gui {

class MainWindow : public QWidget {
    Q_OBJECT
  public:
    // Builds a widget for every control of `station.form` (a control the layout does not know
    // is kept hidden) and mirrors the model once.
    explicit MainWindow(Station& station, QWidget* parent = nullptr);

    // Copies the model into the widgets: texts, enabled, visible, background colours, the
    // caption and the keyboard focus. Nothing it changes is forwarded back to the model.
    void refresh();
    // Places the window 350 twips from the left edge of its screen, centred vertically.
    void place_on_screen();
    // The widget of control `name`, nullptr when there is none.
    QWidget* widget(const std::string& name) const;
    // Places and sizes every widget and its type for the window's present size.
    void relayout();

  protected:
    bool eventFilter(QObject* object, QEvent* event) override;
    // Runs the shutdown of the model once; the close is never refused.
    void closeEvent(QCloseEvent* event) override;
    // The layout follows the window's size (a kiosk window manager makes it full screen).
    void resizeEvent(QResizeEvent* event) override;

  private:
    void build();
    QWidget* make_widget(const Control& control, QWidget* parent);
    void mirror(const Control& control, QWidget& widget);
    void mirror_focus();
    // Runs a handler of the model, shows an error it throws, then mirrors the model.
    void run(const std::function<void()>& handler);
    void on_click(const std::string& name);
    void on_focus_in(const std::string& name, Qt::FocusReason reason);
    void on_entry_key(const std::string& name, const QKeyEvent& key);
    bool is_entry_box(const std::string& name) const;

    Station& s_;
    std::map<std::string, QWidget*> widgets_;
    std::vector<std::pair<QLabel*, BoxCaption>> captions_;
    Scale scale_;
    bool syncing_ = false;
    bool close_requested_ = false;
    bool unloaded_ = false;
};

}  // namespace tillora::gui
