#include "model/approx_specimen.h"

#include "model/int_round.h"
#include "platform/c_format.h"
#include "platform/cdc.h"

#include <cmath>
#include <string>

namespace {

// Twelve device pixels at 96 dots per inch, in logical units; negative under a mapping whose
// y axis points up, so that texts come out the same size on screen and on paper.
float ErrorFontHeight(const CDC& dc) {
    return static_cast<float>(dc.GetWindowExt().cy) * 12.0f /
           static_cast<float>(dc.GetViewportExt().cy) *
           static_cast<float>(dc.GetDeviceCaps(LOGPIXELSY)) / 96.0f;
}

CFont ErrorFont(const CDC& dc) {
    CFont font;
    font.height = TruncToInt(ErrorFontHeight(dc));
    font.weight = FW_NORMAL;
    font.pitchAndFamily = FF_SWISS;
    font.faceName = "Arial";
    return font;
}

double Percent(float error, float length) {
    return static_cast<double>(error) * 100.0 / length;
}

} // namespace

void CApproxSpecimen::Draw(CDC& dc) const {
    ApproxLower.Draw(dc);
    ApproxUpper.Draw(dc);
    if (DrawError)
        DrawErrorTexts(dc);
    if (ErrorValuesAreValid && MarkMaxError)
        DrawMaxErrorMarks(dc);
    if (DrawIndex)
        DrawLabels(dc);
}

void CApproxSpecimen::DrawErrorTexts(CDC& dc) const {
    const float h = ErrorFontHeight(dc);
    const CFont old = dc.SelectFont(ErrorFont(dc));
    const std::string line1 = ApplyParamIteration
                                  ? FormatC("Number of Iterations: %d", ParamIterCount)
                                  : std::string("Number of Iterations: not applied");
    std::string line2 = "Mean Error:  invalid";
    std::string line3 = "Maximum Error:  invalid";
    if (ErrorValuesAreValid) {
        const float length = ReferenceLength();
        line2 =
            FormatC("Mean Error:  %0.3f (%0.2f%%) dorsal / %0.3f (%0.2f%%) ventral", MeanDiffOben,
                    Percent(MeanDiffOben, length), MeanDiffUnten, Percent(MeanDiffUnten, length));
        line3 =
            FormatC("Maximum Error:  %0.3f (%0.2f%%) dorsal / %0.3f (%0.2f%%) ventral", MaxDiffOben,
                    Percent(MaxDiffOben, length), MaxDiffUnten, Percent(MaxDiffUnten, length));
    }
    int x = 0;
    int y[3];
    if (dc.IsPrinting()) {
        FRect box;
        GetBoundingBox(box);
        x = TruncToInt(box.min.x);
        const int y0 = TruncToInt(box.min.y);
        for (int i = 0; i < 3; ++i)
            y[i] = TruncToInt(y0 + (8.0f + 2.0f * i) * h);
    } else {
        x = ApproxLower.ControlPoints.empty() ? 0 : TruncToInt(ApproxLower.ControlPoints.front().x);
        y[0] = dc.GetWindowOrg().y - dc.GetWindowExt().cy - 10;
        y[1] = TruncToInt(y[0] + 2.0f * h);
        y[2] = TruncToInt(y[0] + 4.0f * h);
    }
    dc.TextOut(x, y[0], line1);
    dc.TextOut(x, y[1], line2);
    dc.TextOut(x, y[2], line3);
    dc.SelectFont(old);
}

void CApproxSpecimen::DrawMaxErrorMarks(CDC& dc) const {
    const int oldRop = dc.SetROP2(R2_NOTXORPEN);
    for (const FPoint p :
         {ApproxLower.Evaluate(MaxDiffUntenAtParam), ApproxUpper.Evaluate(MaxDiffObenAtParam)})
        dc.Ellipse(TruncToInt(p.x - 10.0f), TruncToInt(p.y - 10.0f), TruncToInt(p.x + 10.0f),
                   TruncToInt(p.y + 10.0f));
    dc.SetROP2(oldRop);
}

// Each label sits a little outside its control point, on the line from the centroid (the
// origin in normal position) through the point.
void CApproxSpecimen::DrawLabels(CDC& dc) const {
    if (ApproxUpper.ControlPoints.empty() || ApproxLower.ControlPoints.empty())
        return;
    const float offset = 0.08f * ApproxUpper.ControlPoints.front().x;
    auto label = [&](FPoint p, const std::string& text) {
        const float length = p.Length();
        const FPoint anchor = length > 0.0f ? p + offset * p.Unit() : p;
        CRect measure{0, 0, 0, 0};
        dc.DrawText(text, measure, DT_CALCRECT);
        const int w = measure.Width();
        const int hh = measure.Height();
        // Wide, so that the box of a label at the end of the int range saturates.
        const double x = TruncToInt(anchor.x);
        const double y = TruncToInt(anchor.y);
        CRect box{TruncToInt(x - w / 2 - 1), TruncToInt(y - hh / 2 + 1), TruncToInt(x + w / 2 + 1),
                  TruncToInt(y + hh / 2 - 1)};
        const CFont old = dc.SelectFont(ErrorFont(dc));
        dc.DrawText(text, box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        dc.SelectFont(old);
    };
    label(ApproxUpper.ControlPoints.front(), "m1");
    label(ApproxLower.ControlPoints.front(), "m2");
    const int nv = ApproxLower.GetControlPointCount();
    for (int i = 1; i <= nv - 2; ++i)
        label(ApproxLower.ControlPoints[i], FormatC("v%d", i));
    const int nd = ApproxUpper.GetControlPointCount();
    for (int i = 1; i <= nd - 2; ++i)
        label(ApproxUpper.ControlPoints[i], FormatC("d%d", i));
}
