#pragma once
// The toolkit widgets behind the control kinds of a form, and the top-level
// window that carries a form's key rules. window_qt.cpp builds them.
#include "platform/window.h"

#include <QColor>
#include <QPainter>
#include <QPlainTextEdit>
#include <QString>
#include <QWidget>

#include <vector>

// Paints its text and nothing else, so the picture or colour beneath shows
// through everywhere else.
class TransparentLabel : public QWidget {
    Q_OBJECT
  public:
    TransparentLabel(QWidget* parent, const ControlForm& form);
    QString text() const { return text_; }
    // Has what lies beneath repainted first, so no trace of the old text remains.
    void set_text(const QString& text);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void draw_wrapped(QPainter& painter, Qt::Alignment halign);

    QString text_;
    QColor colour_;
    HAlign halign_;
    VAlign valign_;
    bool wrap_;
};

// The multi-line edit box: plain text only, wraps on screen, no scroll bars.
class EditBox : public QPlainTextEdit {
    Q_OBJECT
  public:
    EditBox(QWidget* parent, QColor background);

  protected:
    // Rich text from the clipboard arrives as its plain text.
    void insertFromMimeData(const QMimeData* source) override;
};

class FormWindow : public QWidget {
    Q_OBJECT
  public:
    explicit FormWindow(const WindowForm& form);

    const WindowForm& form;
    // One widget per control of the form, in the form's order.
    std::vector<QWidget*> controls;
    // The controls that Tab visits, in the order it visits them.
    std::vector<QWidget*> focus_cycle;
    bool destruction_pending = false;
    // Destroyed as far as the program can tell; the widget itself goes later.
    bool gone = false;

    // The form's index of a control widget, or -1.
    int control_index(const QObject* widget) const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    // The window watches its own controls: key rules and left presses.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool apply_key_rules(QKeyEvent* key);
    void move_focus(bool forward);
};

// Defined by window_qt.cpp: a close request reached the window (close box,
// window menu, Esc); and a left press reached one of its controls.
void window_close_requested(FormWindow* window);
void control_left_pressed(FormWindow* window, int control_index);
