#pragma once
#include <QImage>
#include <QWidget>

namespace zumi {

// A picture box with a persistent image: drawing goes into the off-screen
// image, and a refresh or any repaint shows that image as it stands.
class BarPicture : public QWidget {
    Q_OBJECT
public:
    explicit BarPicture(QWidget* parent = nullptr);

    // Starts a fresh image of the widget's size in the background colour.
    void clearImage(const QColor& background);
    void fillImageRect(const QRect& rect, const QColor& colour);
    // Shows the image on the screen, in one paint together with whatever
    // else changed on the bar meanwhile (the number on it).
    void refresh();
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

} // namespace zumi
