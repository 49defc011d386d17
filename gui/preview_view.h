// The on-screen receipt view txtpreview: a read-only 40-column monospaced view of a print job,
// scrolled by finger drag (kinetic) and by two large buttons. Its type grows with its width.
#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace tillora::gui {

// Columns of a receipt line.
inline constexpr int kReceiptColumns = 40;

class PreviewView : public QWidget {
    Q_OBJECT
  public:
    explicit PreviewView(QWidget* parent = nullptr);
    // Shows `text` (lines separated by "\n") from its top; the same text again keeps the place.
    void set_text(const QString& text);
    QString text() const;
    // The text area, for tests and screenshots.
    QPlainTextEdit* text_area() const { return text_; }
    QPushButton* scroll_up_button() const { return up_; }
    QPushButton* scroll_down_button() const { return down_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void scroll_page(int direction);
    QPlainTextEdit* text_;
    QPushButton* up_;
    QPushButton* down_;
};

// The pixel size of a monospaced font in which kReceiptColumns characters fill `width`.
int receipt_font_px(int width);

}  // namespace tillora::gui
