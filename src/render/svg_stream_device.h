#pragma once

#include <QPaintDevice>

#include <memory>

class QIODevice;
class CSvgStreamEngine;

// A paint device that writes SVG as it is drawn on, straight into an output device. Unlike
// QSvgGenerator, which keeps the whole drawing in memory until the painter ends, it holds only
// the line being drawn, so an overlay of ten thousand members costs no more memory than one.
// Lines drawn end to end with the same pen become one polyline. Size and coordinates are in
// pixels at 96 dots per inch.
class CSvgStreamDevice : public QPaintDevice {
public:
    CSvgStreamDevice(QIODevice& output, int width, int height, const QString& title);
    ~CSvgStreamDevice() override;

    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    std::unique_ptr<CSvgStreamEngine> engine_;
    int width_;
    int height_;
};
