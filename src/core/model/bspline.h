#pragma once

#include "model/fpoint.h"
#include "platform/gdi_types.h"

#include <vector>

class CDC;

// An open, clamped, uniform B-spline curve of degree 2 in the plane, with the settings for
// drawing it. With n + 1 control points the knots are 0, 0, 0, 1/(n-1), ..., 1, 1, 1, so the
// curve runs over [0, 1] from the first to the last control point. No knot vector is stored:
// every basis value derives its knots from the control-point count, so the points can be
// edited freely.
class CBSpline {
public:
    static constexpr int Degree = 2;

    // Knot i of a curve of degree p with n + 1 control points; indices outside 0 ... n + p + 1
    // give the smallest positive normal float, not 0.
    static float Knot(int p, int n, int i);

    // N_c(x) and its derivative; 0 outside the support [t_c, t_(c+3)].
    float Basis(int c, float x) const;
    float BasisDerivative(int c, float x) const;

    // Curve point and tangent at parameter t; (0, 0) for a curve without control points.
    FPoint Evaluate(float t) const;
    FPoint EvaluateDerivative(float t) const;

    void AddControlPoint(float x, float y);
    void RemoveAllControlPoints();
    int GetControlPointCount() const { return static_cast<int>(ControlPoints.size()); }
    // Both throw std::out_of_range for a bad index.
    FPoint GetControlPoint(int i) const;
    void SetControlPoint(int i, FPoint p);

    // Curve, control polygon, control-point squares and coordinate texts, each when enabled,
    // in the device context's logical coordinates; the context's selections are restored.
    void Draw(CDC& dc) const;

    std::vector<FPoint> ControlPoints;
    bool DrawSpline = true;
    bool DrawControlPoints = true;
    bool DrawControlPointsText = false;
    bool DrawControlPolygon = true;
    int SplinePenWidth = 1;
    ColorRef ColorSpline = RGB(255, 0, 0);

private:
    using BasisFunction = float (CBSpline::*)(int, float) const;

    FPoint Combine(float t, BasisFunction basis) const;
    void FindSupport(float t, int& first, int& last) const;

    void PaintCurve(CDC& dc) const;
    void PaintPolygon(CDC& dc) const;
    void PaintSquares(CDC& dc) const;
    void PaintTexts(CDC& dc) const;
};
