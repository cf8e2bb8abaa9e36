#pragma once

#include "model/approx_fit.h"
#include "model/bspline.h"
#include "model/frect.h"
#include "platform/object.h"

#include <string>
#include <vector>

class CDC;
class CSpecimen;
class CUserInteraction;

// An outline approximated by two quadratic B-splines in normal position: the ventral curve
// (ApproxLower) from the left end m2 to the right end m1 along the bottom, the dorsal curve
// (ApproxUpper) from m1 back to m2 along the top. Both ends lie on the first main axis and are
// stored once in each curve. The control points are a least-squares fit at chord-length
// parameters, optionally improved by parameter correction.
class CApproxSpecimen : public CObject {
public:
    // Ensures normal position (asking the user), shows the parameter sheet when interactive and
    // fits. False when the user declined or the outline cannot be fitted (the user was told).
    bool Approximate(CSpecimen& specimen, bool interactive, CUserInteraction& ui);
    // The parameter sheet with the current values; refits when a fitting parameter changed.
    // True when closed with OK.
    bool Properties(CSpecimen& specimen, CUserInteraction& ui);
    // The fit itself. On failure the curves and errors stay as they were and `error` says why.
    bool Fit(const CSpecimen& specimen, std::string& error);

    void Draw(CDC& dc) const;

    bool HitTest(int x, int y) const;
    bool FindDorsalControlPoint(FPoint point, int& index) const;
    bool FindVentralControlPoint(FPoint point, int& index) const;
    std::string ToolTipText(int x, int y) const;
    bool EditControlPoint(int x, int y, CUserInteraction& ui);

    void GetBoundingBox(FRect& rect) const;
    void SetSplinePenWidth(int width);
    int GetSplinePenWidth() const { return ApproxLower.SplinePenWidth; }
    void SetColor(ColorRef color);
    ColorRef GetColor() const { return ApproxLower.ColorSpline; }

    // Length of the outline along the first axis: m1.x - m2.x.
    float ReferenceLength() const;

    CBSpline ApproxLower;
    CBSpline ApproxUpper;
    int ControlPointsCnt = 8;
    bool ApplyParamIteration = true;
    int ParamIterCount = 6;
    bool DrawError = true;
    bool MarkMaxError = false;
    bool DrawIndex = true;
    bool ErrorValuesAreValid = false;
    float MaxDiffOben = 0.0f;
    float MaxDiffUnten = 0.0f;
    float MeanDiffOben = 0.0f;
    float MeanDiffUnten = 0.0f;
    float MaxDiffObenAtParam = 0.0f;
    float MaxDiffUntenAtParam = 0.0f;
    float HitRadius = 5.0f;
    // How Fit solves its least-squares systems; not stored. Both give the same curves within
    // float precision; the pseudo-inverse throughout is the slow, plain way.
    CFitSolver Solver = CFitSolver::Sparse;

private:
    bool EnsureNormalPosition(CSpecimen& specimen, CUserInteraction& ui) const;
    bool FitReportingErrors(const CSpecimen& specimen, CUserInteraction& ui);
    void DrawErrorTexts(CDC& dc) const;
    void DrawMaxErrorMarks(CDC& dc) const;
    void DrawLabels(CDC& dc) const;
};
