#pragma once

#include <QImage>
#include <QPainter>
#include <QWidget>

// A widget's picture kept as an image: drawn once and copied to the screen on later paints
// until it is dropped or the widget's size or pixel ratio changes. The image carries the
// widget's resolution, so the picture measures its fonts as on the widget itself.
class CCachedPicture {
public:
    void Invalidate() { image_ = QImage(); }
    bool IsValidFor(const QWidget& widget) const {
        return !image_.isNull() && image_.size() == PixelSize(widget) &&
               image_.devicePixelRatio() == widget.devicePixelRatioF();
    }
    // How often the picture was drawn anew.
    int Renders() const { return renders_; }

    // Copies the picture to `target`, drawing it with draw(QPainter&) first when needed.
    template <typename Draw> void Paint(QPainter& target, const QWidget& widget, Draw&& draw) {
        if (!IsValidFor(widget)) {
            image_ = QImage(PixelSize(widget), QImage::Format_ARGB32_Premultiplied);
            image_.setDevicePixelRatio(widget.devicePixelRatioF());
            constexpr double kInchesPerMeter = 0.0254;
            image_.setDotsPerMeterX(qRound(widget.logicalDpiX() / kInchesPerMeter));
            image_.setDotsPerMeterY(qRound(widget.logicalDpiY() / kInchesPerMeter));
            image_.fill(widget.palette().color(widget.backgroundRole()));
            QPainter painter(&image_);
            draw(painter);
            ++renders_;
        }
        target.drawImage(0, 0, image_);
    }

private:
    static QSize PixelSize(const QWidget& widget) {
        return widget.size() * widget.devicePixelRatioF();
    }

    QImage image_;
    int renders_ = 0;
};
