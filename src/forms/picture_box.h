#pragma once

#include <QPixmap>
#include <QWidget>

// A picture box: shows its bitmap unscaled from the top-left corner, clipped to the box,
// on the window background colour.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(QWidget* parent, const QRect& geometry, const QPixmap& picture);

    const QPixmap& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};
