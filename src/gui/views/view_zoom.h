#pragma once

#include <QPointF>
#include <QSize>

class CDC;

// Zoom and pan on top of a picture that fits itself into its window: the fitted device
// picture is scaled by Factor() about the client's top-left corner and then moved by Offset()
// pixels. Factor 1 and no offset is the fitted picture ("fit to window").
class CViewZoom {
public:
    static constexpr double kStep = 1.25; // one wheel notch or key press
    static constexpr double kMinFactor = 0.25;
    static constexpr double kMaxFactor = 64.0;

    double Factor() const { return factor_; }
    QPointF Offset() const { return offset_; }
    bool IsFitted() const { return factor_ == 1.0 && offset_.isNull(); }

    void Fit();
    // Zooms by kStep^steps (negative steps zoom out), keeping the picture point under the
    // device point `anchor` where it is.
    void ZoomAt(QPointF anchor, double steps);
    // Moves the picture by `delta` device pixels.
    void Pan(QPointF delta);

    // Device point of a point of the fitted picture, and back.
    QPointF Map(QPointF fitted) const { return fitted * factor_ + offset_; }
    QPointF Unmap(QPointF device) const { return (device - offset_) / factor_; }

    // Scales and moves the viewport of an isotropic mapping the picture has just prepared;
    // other mappings (the hint screens) are left alone.
    void Apply(CDC& dc) const;

    // The view's keys: + and - zoom about the centre of a client of that size, 0 and Home fit,
    // the arrows pan by a tenth of the client. False for any other key.
    bool HandleKey(int key, QSize client);

private:
    double factor_ = 1.0;
    QPointF offset_;
};
