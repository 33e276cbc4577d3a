#pragma once

#include <QImage>
#include <QPushButton>

namespace xq {

// A command button of the replay window. With a picture, the picture is the whole face of the
// button (it carries its own caption and frame); without one, it is a plain push button that
// shows its caption.
class CommandButton : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

    // A null picture brings the caption back.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

}  // namespace xq
