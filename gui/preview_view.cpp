#include "gui/preview_view.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QScroller>

namespace tillora::gui {

namespace {

QFont receipt_font(int px) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies(QStringList{"DejaVu Sans Mono", "Liberation Mono", font.family()});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(px);
    return font;
}

// Room the text area needs beside its characters: frame, document margin, a scroll bar.
constexpr int kTextPadding = 40;

}  // namespace

int receipt_font_px(int width) {
    int px = 8;
    while (QFontMetrics(receipt_font(px + 1)).horizontalAdvance(QString(kReceiptColumns, 'M')) +
               kTextPadding <=
           width) {
        ++px;
    }
    return px;
}

PreviewView::PreviewView(QWidget* parent)
    : QWidget(parent),
      text_(new QPlainTextEdit(this)),
      up_(new QPushButton(QStringLiteral("\u25B2"), this)),
      down_(new QPushButton(QStringLiteral("\u25BC"), this)) {
    // Opaque: nothing of the entry area below shows between the text and the buttons.
    setAutoFillBackground(true);
    text_->setObjectName("txtpreview_text");
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setContextMenuPolicy(Qt::NoContextMenu);
    text_->setTextInteractionFlags(Qt::NoTextInteraction);
    text_->setFocusPolicy(Qt::NoFocus);
    // A finger drag scrolls the receipt and lets it run on.
    QScroller::grabGesture(text_->viewport(), QScroller::LeftMouseButtonGesture);
    for (QPushButton* b : {up_, down_}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
    }
    up_->setObjectName("txtpreview_up");
    down_->setObjectName("txtpreview_down");
    connect(up_, &QPushButton::clicked, this, [this] { scroll_page(-1); });
    connect(down_, &QPushButton::clicked, this, [this] { scroll_page(1); });
}

void PreviewView::set_text(const QString& text) {
    if (text_->toPlainText() == text) return;
    text_->setPlainText(text);
    text_->verticalScrollBar()->setValue(0);
}

QString PreviewView::text() const {
    return text_->toPlainText();
}

void PreviewView::scroll_page(int direction) {
    QScrollBar* bar = text_->verticalScrollBar();
    bar->setValue(bar->value() + direction * std::max(1, bar->pageStep() - 2));
}

void PreviewView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The scroll buttons take the right eighth, at least a finger wide.
    const int buttons = std::max(56, width() / 8);
    const int gap = 6;
    const int text_width = width() - buttons - gap;
    const int text_height = height() - gap;  // the bottom strip parts the view from its buttons
    text_->setGeometry(0, 0, text_width, text_height);
    const int half = (text_height - gap) / 2;
    up_->setGeometry(text_width + gap, 0, buttons, half);
    down_->setGeometry(text_width + gap, half + gap, buttons, text_height - half - gap);
    text_->setFont(receipt_font(receipt_font_px(text_width)));
    QFont arrows = font();
    arrows.setPixelSize(std::max(20, buttons / 2));
    up_->setFont(arrows);
    down_->setFont(arrows);
}

}  // namespace tillora::gui
