#pragma once
// The picture box control: a still picture (PNG) or an animation (GIF) that runs
// on a schedule of its own, over the box's background colour.
#include "platform/byte_block.h"
#include "platform/window.h"

#include <QColor>
#include <QWidget>

#include <memory>

class PictureBox : public QWidget {
    Q_OBJECT
  public:
    PictureBox(QWidget* parent, QColor background, Placement placement);
    ~PictureBox() override; // stops a running animation before the widget goes

    // PNG: decoded once, now. GIF: the animation starts at the next repaint.
    // Stops a running animation before it returns: no frame of it is drawn later.
    void set_picture(ByteBlock block);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    struct State; // shared with the animation's own thread
    static void animate(PictureBox* box, State* state);
    void stop_animation(); // tells the animation to stop and waits until it has
    std::unique_ptr<State> state_;
};
