#include "registers/shared/picture_box.h"

#include <QImage>
#include <QMouseEvent>
#include <QPixmap>

namespace gc::registers {

PictureBox::PictureBox(const QString& name, int side, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
    setFixedSize(side, side);
    setScaledContents(true);
    setFrameShape(QFrame::Box);
    setCursor(Qt::PointingHandCursor);
}

void PictureBox::setPicture(const QByteArray& bytes) {
    const QImage image = QImage::fromData(bytes);
    if (image.isNull())
        clear();
    else
        setPixmap(QPixmap::fromImage(image));
}

bool PictureBox::hasPicture() const {
    return !pixmap().isNull();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

} // namespace gc::registers
