#pragma once

#include <QByteArray>
#include <QLabel>

namespace gc::registers {

// A stored picture shown stretched in a fixed square, for example beside a list's grid; a
// click asks for it to be shown large.
class PictureBox : public QLabel {
    Q_OBJECT
  public:
    PictureBox(const QString& name, int side, QWidget* parent = nullptr);
    // Shows the picture in `bytes`; anything that is not a picture leaves the box empty.
    void setPicture(const QByteArray& bytes);
    bool hasPicture() const;

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace gc::registers
