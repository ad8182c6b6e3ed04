#pragma once
// A picture scaled down to fit the view (never up), kept centred as the view resizes.

#include <QImage>
#include <QLabel>

namespace quillet {

class ImageView : public QLabel {
    Q_OBJECT

public:
    explicit ImageView(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& image() const { return image_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void rescale();

    QImage image_;
};

} // namespace quillet
