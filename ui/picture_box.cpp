// Painting of the picture box.
#include "ui/picture_box.h"

#include <QPainter>

#include "ui/picture_decoder.h"

namespace lumeno::ui {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::SetImage(const QImage& image) {
    pixmap_ = image.isNull() ? QPixmap() : QPixmap::fromImage(FitPicture(image, size()));
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    if (pixmap_.isNull()) return;
    QPainter painter(this);
    const QPoint origin((width() - pixmap_.width()) / 2, (height() - pixmap_.height()) / 2);
    painter.drawPixmap(origin, pixmap_);
}

}  // namespace lumeno::ui
