#include "platform/widgets_qt.h"

#include "platform/text_codec_qt.h"

#include <QCloseEvent>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>

TransparentLabel::TransparentLabel(QWidget* parent, const ControlForm& form)
    : QWidget(parent), text_(qstring_from_literal(form.text)),
      colour_(form.text_colour.rgb.r, form.text_colour.rgb.g, form.text_colour.rgb.b),
      halign_(form.halign), valign_(form.valign), wrap_(form.word_wrap) {
    // No background of its own: the toolkit repaints what lies beneath first.
    setAttribute(Qt::WA_NoSystemBackground, false);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAutoFillBackground(false);
}

void TransparentLabel::set_text(const QString& text) {
    if (text == text_)
        return;
    text_ = text;
    update();
}

// Wrapped text starts at the top and breaks at each line end and at the right
// edge (inside a word too long for a line). Lines follow each other at the
// character height, so a column of characters with empty lines between them
// keeps to the height its form gives it.
void TransparentLabel::draw_wrapped(QPainter& painter, Qt::Alignment halign) {
    const QFontMetricsF metrics(font());
    const qreal pixel = QFontInfo(font()).pixelSize();
    const qreal step = pixel > 0 ? pixel : metrics.height();
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setAlignment(halign);
    qreal y = 0;
    for (const QString& paragraph : text_.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width());
            // Centre the glyphs' own height on the line's slot.
            line.setPosition(QPointF(0, y - (line.height() - step) / 2));
            y += step;
        }
        layout.endLayout();
        layout.draw(&painter, QPointF(0, 0));
        if (y > height())
            break;
    }
}

void TransparentLabel::paintEvent(QPaintEvent*) {
    if (text_.isEmpty())
        return;
    QPainter painter(this);
    painter.setClipRect(rect());
    painter.setPen(colour_);
    painter.setFont(font());
    Qt::Alignment align = halign_ == HAlign::left     ? Qt::AlignLeft
                          : halign_ == HAlign::centre ? Qt::AlignHCenter
                                                      : Qt::AlignRight;
    QTextOption option;
    if (wrap_) {
        draw_wrapped(painter, align);
        return;
    }
    align |= valign_ == VAlign::top      ? Qt::AlignTop
             : valign_ == VAlign::middle ? Qt::AlignVCenter
                                         : Qt::AlignBottom;
    QString line = text_;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    painter.drawText(rect(), int(align) | Qt::TextSingleLine, line);
}

EditBox::EditBox(QWidget* parent, QColor background) : QPlainTextEdit(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTabChangesFocus(true);
    QPalette p = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, background);
        p.setColor(group, QPalette::Text, Qt::black);
    }
    // The selection shows only while the box has the focus.
    p.setColor(QPalette::Inactive, QPalette::Highlight, background);
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    setPalette(p);
}

void EditBox::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText())
        insertPlainText(source->text());
}

FormWindow::FormWindow(const WindowForm& f) : QWidget(nullptr), form(f) {}

int FormWindow::control_index(const QObject* widget) const {
    const auto it = std::find(controls.begin(), controls.end(), widget);
    return it == controls.end() ? -1 : int(it - controls.begin());
}

void FormWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    window_close_requested(this);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (gone)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        return apply_key_rules(static_cast<QKeyEvent*>(event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // A quick second press is a press like the first.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        const int index = control_index(watched);
        if (index >= 0)
            control_left_pressed(this, index);
        return false;
    }
    default:
        return false;
    }
}

bool FormWindow::apply_key_rules(QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const bool shift = mods & Qt::ShiftModifier;
    switch (key->key()) {
    case Qt::Key_Tab:
        move_focus(!shift);
        return true;
    case Qt::Key_Backtab:
        move_focus(false);
        return true;
    case Qt::Key_Escape:
        if (shift || !form.esc_closes)
            return false;
        close();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // There is no default button: Enter on a button does nothing.
        return !shift && qobject_cast<QPushButton*>(focusWidget()) != nullptr;
    default:
        return false;
    }
}

void FormWindow::move_focus(bool forward) {
    std::vector<QWidget*> cycle;
    for (QWidget* w : focus_cycle)
        if (w->isEnabled() && !w->isHidden())
            cycle.push_back(w);
    if (cycle.empty())
        return;
    const auto it = std::find(cycle.begin(), cycle.end(), focusWidget());
    std::size_t next = 0;
    if (it == cycle.end())
        next = forward ? 0 : cycle.size() - 1;
    else {
        const std::size_t at = std::size_t(it - cycle.begin());
        next = forward ? (at + 1) % cycle.size() : (at + cycle.size() - 1) % cycle.size();
    }
    cycle[next]->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}
