// The picture box: shows one decoded picture centred in the control, or nothing.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace lumeno::ui {

class PictureBox : public QWidget {
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Window thread only (pixmaps belong to it). A null image clears the box. The image is
    // expected to fit already (DecodePicture); a larger one is scaled down here.
    void SetImage(const QImage& image);
    bool HasPicture() const { return !pixmap_.isNull(); }
    QSize PictureSize() const { return pixmap_.size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap pixmap_;
};

}  // namespace lumeno::ui
