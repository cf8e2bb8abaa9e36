#include "model/approx_fit.h"
#include "model/approx_sheet.h"
#include "model/approx_specimen.h"
#include "model/specimen.h"
#include "platform/recording_dc.h"
#include "platform/scripted_interaction.h"
#include "support/bspline_reference.h"
#include "support/outline_shapes.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Kind = CRecordingDC::OpKind;

const char* const kNormalPositionQuestion =
    "The specimen must be in normal position for the transformation.\n"
    "Should the specimen be transformed accordingly?";

// An elliptic valve 600 x 280 units, tilted and off the origin, completed as the readers do;
// a ripple of the given amplitude breaks its symmetry.
std::unique_ptr<CSpecimen> EllipseSpecimen(int points = 240, double ripple = 0.0) {
    auto specimen = std::make_unique<CSpecimen>();
    specimen->Contour = shapes::Ellipse(300.0, 140.0, 12.0, 640.0, 480.0, points, 7.0);
    for (int i = 0; i < points; ++i) {
        const double r = ripple * std::sin(2.9 * i * i + 0.7);
        FPoint& p = specimen->Contour[i];
        const double dx = p.x - 640.0, dy = p.y - 480.0, len = std::hypot(dx, dy);
        p = FPoint(static_cast<float>(640.0 + dx * (1.0 + r / len)),
                   static_cast<float>(480.0 + dy * (1.0 + r / len)));
    }
    specimen->NormalizeOrientation();
    specimen->CalculateStatistics();
    return specimen;
}

// g = 6 by hand: m2 = (-100.5, 0), m1 = (99.5, 0), so the reference length is 200; one ventral
// point lies left of m2 so that the bounding box and m2 differ.
CApproxSpecimen HandMadeApprox() {
    CApproxSpecimen a;
    a.ControlPointsCnt = 6;
    a.ApproxLower.ControlPoints = {{-100.5f, 0.0f}, {-103.7f, -30.0f}, {-50.25f, -49.5f},
                                   {0.0f, -55.5f},  {50.0f, -50.0f},   {90.0f, -30.0f},
                                   {99.5f, 0.0f}};
    a.ApproxUpper.ControlPoints = {{99.5f, 0.0f},   {90.0f, 35.0f},  {50.0f, 55.0f}, {0.0f, 60.0f},
                                   {-50.0f, 55.0f}, {-90.0f, 35.0f}, {-100.5f, 0.0f}};
    return a;
}

using SheetEditor = std::function<bool(CPropertySheetApprox&)>;

void QueueSheet(CScriptedInteraction& ui, SheetEditor edit) {
    ui.sheetEditors.push_back([edit](CModalSheet& sheet) {
        auto* approx = dynamic_cast<CPropertySheetApprox*>(&sheet);
        EXPECT_NE(approx, nullptr) << "not the approximation sheet";
        return approx != nullptr && edit(*approx);
    });
}

void QueueDialog(CScriptedInteraction& ui, std::function<bool(CControlPointDialog&)> edit) {
    ui.sheetEditors.push_back([edit](CModalSheet& sheet) {
        auto* dialog = dynamic_cast<CControlPointDialog*>(&sheet);
        EXPECT_NE(dialog, nullptr) << "not the control-point dialog";
        return dialog != nullptr && edit(*dialog);
    });
}

bool AllFinite(const std::vector<FPoint>& points) {
    for (const FPoint& p : points)
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return false;
    return true;
}

// --- Approximate ------------------------------------------------------------------------

TEST(ApproxSpecimenApproximate, DeclinedNormalPositionChangesNothing) {
    for (bool interactive : {false, true}) {
        SCOPED_TRACE(interactive);
        auto specimen = EllipseSpecimen();
        specimen->SetApplyTransformation(false);
        CScriptedInteraction ui;
        ui.answers = {MsgAnswer::No};
        CApproxSpecimen approx;
        EXPECT_FALSE(approx.Approximate(*specimen, interactive, ui));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, kNormalPositionQuestion);
        EXPECT_EQ(ui.messages[0].caption, "Carinova");
        EXPECT_EQ(ui.messages[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(ui.messages[0].icon, MsgIcon::Information);
        EXPECT_FALSE(specimen->GetApplyTransformation());
        EXPECT_TRUE(ui.sheetCaptions.empty());
        EXPECT_EQ(ui.waitCursorShown, 0);
        EXPECT_TRUE(approx.ApproxLower.ControlPoints.empty());
        EXPECT_TRUE(approx.ApproxUpper.ControlPoints.empty());
        EXPECT_FALSE(approx.ErrorValuesAreValid);
    }
}

TEST(ApproxSpecimenApproximate, AcceptedNormalPositionTransformsAndFits) {
    auto specimen = EllipseSpecimen();
    specimen->SetApplyTransformation(false);
    CScriptedInteraction ui;
    ui.answers = {MsgAnswer::Yes};
    CApproxSpecimen approx;
    ASSERT_TRUE(approx.Approximate(*specimen, false, ui));
    EXPECT_TRUE(specimen->GetApplyTransformation());
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{kNormalPositionQuestion});
    EXPECT_EQ(ui.waitCursorShown, 1);
    EXPECT_EQ(ui.waitCursorDepth, 0);
    EXPECT_TRUE(approx.ErrorValuesAreValid);

    // The curves are the fit of the halves in normal position, centred on the origin.
    CApproxFitResult expected;
    std::string error;
    ASSERT_TRUE(FitOutlineHalves(specimen->GetLowerHalf(), specimen->GetUpperHalf(), {8, true, 6},
                                 expected, error));
    EXPECT_EQ(approx.ApproxLower.ControlPoints, expected.ventral);
    EXPECT_EQ(approx.ApproxUpper.ControlPoints, expected.dorsal);
    EXPECT_NEAR(approx.ApproxUpper.ControlPoints.front().x, 300.0f, 3.0f);
    EXPECT_NEAR(approx.ApproxLower.ControlPoints.front().x, -300.0f, 3.0f);
}

TEST(ApproxSpecimenApproximate, NormalPositionAlreadySetAsksNothing) {
    auto specimen = EllipseSpecimen();
    CScriptedInteraction ui; // any question would throw
    CApproxSpecimen approx;
    EXPECT_TRUE(approx.Approximate(*specimen, false, ui));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(approx.ApproxLower.GetControlPointCount(), 9);
}

TEST(ApproxSpecimenApproximate, CancelledSheetReturnsFalseAndKeepsTheSettings) {
    auto specimen = EllipseSpecimen();
    CScriptedInteraction ui;
    QueueSheet(ui, [](CPropertySheetApprox& s) {
        s.m_nControlPoints = 5;
        s.m_bDrawSpline = 0;
        return false;
    });
    CApproxSpecimen approx;
    EXPECT_FALSE(approx.Approximate(*specimen, true, ui));
    EXPECT_EQ(ui.sheetCaptions, std::vector<std::string>{"Approximation"});
    EXPECT_EQ(approx.ControlPointsCnt, 8);
    EXPECT_TRUE(approx.ApproxLower.DrawSpline);
    EXPECT_TRUE(approx.ApproxLower.ControlPoints.empty());
    EXPECT_EQ(ui.waitCursorShown, 0);
}

TEST(ApproxSpecimenApproximate, SheetIsFilledFromTheObjectAndCopiedBackToBothCurves) {
    auto specimen = EllipseSpecimen();
    CApproxSpecimen approx;
    approx.ControlPointsCnt = 10;
    approx.ParamIterCount = 4;
    approx.MarkMaxError = true;
    approx.ErrorValuesAreValid = true; // the first approximation always shows "invalid"
    approx.ApproxLower.DrawControlPolygon = false;
    approx.ApproxLower.ColorSpline = RGB(1, 2, 3);
    approx.ApproxUpper.ColorSpline = RGB(9, 9, 9);
    CScriptedInteraction ui;
    QueueSheet(ui, [](CPropertySheetApprox& s) {
        EXPECT_EQ(s.m_nControlPoints, 10);
        EXPECT_EQ(s.m_nIterations, 4);
        EXPECT_EQ(s.m_bApplyCorrection, 1);
        EXPECT_EQ(s.m_bErrorsValid, 0);
        EXPECT_EQ(s.m_strMaxError, "invalid");
        EXPECT_EQ(s.m_strMeanError, "invalid");
        EXPECT_EQ(s.m_bMarkMaxError, 1);
        EXPECT_EQ(s.m_bDrawPolygon, 0);
        EXPECT_EQ(s.m_crSpline, RGB(1, 2, 3));
        s.m_nControlPoints = 5;
        s.m_bApplyCorrection = 0;
        s.m_bDrawSpline = 0;
        s.m_bMarkPoints = 0;
        s.m_bShowCoordinates = 1;
        s.m_bDrawPolygon = 1;
        s.m_crSpline = RGB(0, 128, 255);
        s.m_bIndexPoints = 0;
        s.m_bDrawError = 0;
        return true;
    });
    ASSERT_TRUE(approx.Approximate(*specimen, true, ui));
    EXPECT_EQ(approx.ControlPointsCnt, 5);
    EXPECT_FALSE(approx.ApplyParamIteration);
    EXPECT_FALSE(approx.DrawIndex);
    EXPECT_FALSE(approx.DrawError);
    for (const CBSpline* curve : {&approx.ApproxLower, &approx.ApproxUpper}) {
        EXPECT_EQ(curve->GetControlPointCount(), 6);
        EXPECT_FALSE(curve->DrawSpline);
        EXPECT_FALSE(curve->DrawControlPoints);
        EXPECT_TRUE(curve->DrawControlPointsText);
        EXPECT_TRUE(curve->DrawControlPolygon);
        EXPECT_EQ(curve->ColorSpline, RGB(0, 128, 255));
    }
}

TEST(ApproxSpecimenApproximate, UnfittableOutlineIsReportedAndKeepsThePreviousCurves) {
    auto good = EllipseSpecimen();
    CScriptedInteraction ui;
    CApproxSpecimen approx;
    ASSERT_TRUE(approx.Approximate(*good, false, ui));
    const std::vector<FPoint> lower = approx.ApproxLower.ControlPoints;
    const float mean = approx.MeanDiffOben;

    for (const std::vector<FPoint>& contour : {std::vector<FPoint>{}, std::vector<FPoint>{{5, 5}},
                                               std::vector<FPoint>(6, FPoint(2, 3))}) {
        CSpecimen broken;
        broken.Contour = contour;
        broken.CalculateStatistics();
        ui.messages.clear();
        EXPECT_FALSE(approx.Approximate(broken, false, ui));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_FALSE(ui.messages[0].text.empty());
        EXPECT_EQ(ui.messages[0].buttons, MsgButtons::OK);
        EXPECT_EQ(approx.ApproxLower.ControlPoints, lower);
        EXPECT_EQ(approx.MeanDiffOben, mean);
        EXPECT_TRUE(AllFinite(approx.ApproxUpper.ControlPoints));
        EXPECT_EQ(ui.waitCursorDepth, 0);
    }
}

// --- Properties -------------------------------------------------------------------------

TEST(ApproxSpecimenProperties, SheetShowsTheErrorsDorsalFirst) {
    auto specimen = EllipseSpecimen();
    CApproxSpecimen approx = HandMadeApprox();
    approx.ErrorValuesAreValid = true;
    approx.MaxDiffOben = 1.25f;
    approx.MaxDiffUnten = 0.5f;
    approx.MeanDiffOben = 0.0625f;
    approx.MeanDiffUnten = 3.3f;
    CScriptedInteraction ui;
    QueueSheet(ui, [&](CPropertySheetApprox& s) {
        EXPECT_EQ(s.caption, "Approximation");
        EXPECT_EQ(s.m_bErrorsValid, 1);
        EXPECT_EQ(s.m_strMaxError, "1.250 dorsal / 0.500 ventral");
        EXPECT_EQ(s.m_strMeanError, "0.062 dorsal / 3.300 ventral");
        EXPECT_EQ(s.m_aDorsal, approx.ApproxUpper.ControlPoints);
        EXPECT_EQ(s.m_aVentral, approx.ApproxLower.ControlPoints);
        return false;
    });
    EXPECT_FALSE(approx.Properties(*specimen, ui));
    EXPECT_TRUE(ui.sheetEditors.empty());

    approx.ErrorValuesAreValid = false;
    QueueSheet(ui, [](CPropertySheetApprox& s) {
        EXPECT_EQ(s.m_bErrorsValid, 0);
        EXPECT_EQ(s.m_strMaxError, "invalid");
        EXPECT_EQ(s.m_strMeanError, "invalid");
        return false;
    });
    EXPECT_FALSE(approx.Properties(*specimen, ui));
}

struct PropertiesCase {
    const char* name;
    SheetEditor edit;
    bool refits;
};

class ApproxSpecimenPropertiesRefit : public ::testing::TestWithParam<PropertiesCase> {};

TEST_P(ApproxSpecimenPropertiesRefit, RefitsOnlyWhenAFittingParameterChanged) {
    const PropertiesCase& c = GetParam();
    auto specimen = EllipseSpecimen();
    CScriptedInteraction ui;
    CApproxSpecimen approx;
    ASSERT_TRUE(approx.Approximate(*specimen, false, ui));
    // A moved control point survives only when no refit happens.
    const FPoint moved(12.5f, -7.25f);
    approx.ApproxLower.ControlPoints[3] = moved;
    const int cursors = ui.waitCursorShown;
    QueueSheet(ui, c.edit);
    ASSERT_TRUE(approx.Properties(*specimen, ui));
    if (c.refits) {
        EXPECT_NE(approx.ApproxLower.ControlPoints[3], moved);
        EXPECT_EQ(ui.waitCursorShown, cursors + 1);
        EXPECT_EQ(approx.ApproxLower.GetControlPointCount(), approx.ControlPointsCnt + 1);
        EXPECT_EQ(approx.ApproxUpper.GetControlPointCount(), approx.ControlPointsCnt + 1);
    } else {
        EXPECT_EQ(approx.ApproxLower.ControlPoints[3], moved);
        EXPECT_EQ(ui.waitCursorShown, cursors);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ApproxSpecimenPropertiesRefit,
    ::testing::Values(PropertiesCase{"Nothing", [](CPropertySheetApprox&) { return true; }, false},
                      PropertiesCase{"DrawingOnly",
                                     [](CPropertySheetApprox& s) {
                                         s.m_crSpline = RGB(0, 0, 255);
                                         s.m_bDrawPolygon = 0;
                                         s.m_bDrawError = 0;
                                         s.m_bMarkMaxError = 1;
                                         s.m_bIndexPoints = 0;
                                         return true;
                                     },
                                     false},
                      PropertiesCase{"ControlPointCount",
                                     [](CPropertySheetApprox& s) {
                                         s.m_nControlPoints = 12;
                                         return true;
                                     },
                                     true},
                      PropertiesCase{"IterationCount",
                                     [](CPropertySheetApprox& s) {
                                         s.m_nIterations = 2;
                                         return true;
                                     },
                                     true},
                      PropertiesCase{"CorrectionSwitchedOff",
                                     [](CPropertySheetApprox& s) {
                                         s.m_bApplyCorrection = 0;
                                         return true;
                                     },
                                     true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ApproxSpecimenProperties, FailedRefitKeepsCurvesAndTheParametersThatMadeThem) {
    CApproxSpecimen approx = HandMadeApprox();
    const std::vector<FPoint> upper = approx.ApproxUpper.ControlPoints;
    CSpecimen empty;
    CScriptedInteraction ui;
    QueueSheet(ui, [](CPropertySheetApprox& s) {
        s.m_nControlPoints = 9;
        s.m_crSpline = RGB(0, 255, 0);
        return true;
    });
    EXPECT_TRUE(approx.Properties(empty, ui));
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(approx.ApproxUpper.ControlPoints, upper);
    EXPECT_EQ(approx.ControlPointsCnt, 6);
    EXPECT_EQ(approx.GetColor(), RGB(0, 255, 0));
}

// --- errors of the fit ------------------------------------------------------------------

TEST(ApproxSpecimenErrors, MeansDivideByThePointsOfBothHalves) {
    // Unequal halves: a contour whose start point makes the halves differ in length.
    auto specimen = EllipseSpecimen(331, 2.0);
    for (bool correction : {false, true}) {
        SCOPED_TRACE(correction);
        CApproxSpecimen approx;
        approx.ApplyParamIteration = correction;
        std::string error;
        ASSERT_TRUE(approx.Fit(*specimen, error)) << error;

        // The final parameters, from the same deterministic fit.
        const auto& ventral = specimen->GetLowerHalf();
        const auto& dorsal = specimen->GetUpperHalf();
        CApproxFitResult fit;
        ASSERT_TRUE(FitOutlineHalves(ventral, dorsal, {8, correction, 6}, fit, error));
        const double n = static_cast<double>(ventral.size() + dorsal.size());

        auto check = [&](const std::vector<FPoint>& points, const std::vector<float>& t,
                         const std::vector<FPoint>& curve, float mean, float maximum, float at) {
            double sum = 0.0, worst = -1.0, worstAt = -1.0;
            for (std::size_t k = 0; k < points.size(); ++k) {
                const double d = reference::Distance(points[k], reference::Evaluate(curve, t[k]));
                sum += d;
                if (d > worst) {
                    worst = d;
                    worstAt = t[k];
                }
            }
            EXPECT_NEAR(mean * n, sum, 1e-3 * sum + 1e-4);
            EXPECT_NEAR(maximum, worst, 1e-3 * worst + 1e-4);
            EXPECT_FLOAT_EQ(at, static_cast<float>(worstAt));
        };
        check(dorsal, fit.dorsalParams, approx.ApproxUpper.ControlPoints, approx.MeanDiffOben,
              approx.MaxDiffOben, approx.MaxDiffObenAtParam);
        check(ventral, fit.ventralParams, approx.ApproxLower.ControlPoints, approx.MeanDiffUnten,
              approx.MaxDiffUnten, approx.MaxDiffUntenAtParam);
        EXPECT_TRUE(approx.ErrorValuesAreValid);
        EXPECT_NE(ventral.size(), dorsal.size());
    }
}

// --- control points under the mouse -----------------------------------------------------

struct TipCase {
    int x, y;
    const char* text;
};

class ApproxSpecimenToolTip : public ::testing::TestWithParam<TipCase> {};

TEST_P(ApproxSpecimenToolTip, DescribesThePointUnderTheMouse) {
    const TipCase& c = GetParam();
    const CApproxSpecimen approx = HandMadeApprox();
    EXPECT_EQ(approx.ToolTipText(c.x, c.y), c.text);
    EXPECT_EQ(approx.HitTest(c.x, c.y), std::string(c.text) != "");
}

INSTANTIATE_TEST_SUITE_P(
    Positions, ApproxSpecimenToolTip,
    ::testing::Values(TipCase{100, 0, "CP (99.500,0.000) right"},
                      TipCase{-100, 2, "CP (-100.500,0.000) left"},
                      TipCase{-50, -48, "Nr.2 (-50.250,-49.500) ventral"},
                      TipCase{3, 64, "Nr.3 (0.000,60.000) dorsal"}, // distance exactly 5
                      TipCase{3, -59, "Nr.3 (0.000,-55.500) ventral"},
                      TipCase{4, 64, ""}, // distance 5.66
                      TipCase{0, 0, ""}));

TEST(ApproxSpecimenToolTip, CoincidingInnerPointsAreMarkedUnknown) {
    CApproxSpecimen approx = HandMadeApprox();
    approx.ApproxUpper.ControlPoints[2] = approx.ApproxLower.ControlPoints[4];
    EXPECT_EQ(approx.ToolTipText(50, -50), "CP (50.000,-50.000) ?");
    EXPECT_EQ(CApproxSpecimen().ToolTipText(0, 0), "");
}

TEST(ApproxSpecimenToolTip, RightWinsWhenBothEndsAreUnderTheMouse) {
    // A tiny outline whose ends m2 = (0, 0) and m1 = (2, 0) are both within reach: the first
    // hits are ventral point 0 and dorsal point 0, and the dorsal one decides.
    CApproxSpecimen approx;
    approx.ApproxLower.ControlPoints = {{0, 0}, {1, -1}, {2, 0}};
    approx.ApproxUpper.ControlPoints = {{2, 0}, {1, 1}, {0, 0}};
    EXPECT_EQ(approx.ToolTipText(1, 0), "CP (2.000,0.000) right");
}

TEST(ApproxSpecimenFind, FirstPointWithinTheRadiusWins) {
    CApproxSpecimen approx;
    approx.ApproxUpper.ControlPoints = {{0, 0}, {3, 0}, {40, 0}};
    int index = -1;
    ASSERT_TRUE(approx.FindDorsalControlPoint({2.5f, 0.0f}, index));
    EXPECT_EQ(index, 0); // point 1 is nearer, point 0 comes first
    ASSERT_TRUE(approx.FindDorsalControlPoint({40.0f, 5.0f}, index));
    EXPECT_EQ(index, 2);
    index = 7;
    EXPECT_FALSE(approx.FindDorsalControlPoint({40.0f, 5.01f}, index));
    EXPECT_EQ(index, 0);
    index = 7;
    EXPECT_FALSE(approx.FindVentralControlPoint({0.0f, 0.0f}, index));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(approx.HitTest(0, 6));
    EXPECT_TRUE(approx.HitTest(0, 5));
}

TEST(ApproxSpecimenEdit, SharedPointKeepsItsYAndMovesBothCopies) {
    CApproxSpecimen approx = HandMadeApprox();
    approx.ErrorValuesAreValid = true;
    approx.MaxDiffOben = 2.0f;
    CScriptedInteraction ui;
    QueueDialog(ui, [](CControlPointDialog& d) {
        EXPECT_EQ(d.caption, "Control points");
        EXPECT_FLOAT_EQ(d.m_fX, 99.5f);
        EXPECT_FLOAT_EQ(d.m_fY, 0.0f);
        EXPECT_FALSE(d.m_bYEnabled);
        d.m_fX = 110.25f;
        d.m_fY = 33.0f; // the locked field cannot carry a change
        return true;
    });
    ASSERT_TRUE(approx.EditControlPoint(101, -1, ui));
    EXPECT_EQ(approx.ApproxUpper.ControlPoints[0], FPoint(110.25f, 0.0f));
    EXPECT_EQ(approx.ApproxLower.ControlPoints[6], FPoint(110.25f, 0.0f));
    EXPECT_TRUE(approx.ErrorValuesAreValid);
    EXPECT_EQ(approx.MaxDiffOben, 2.0f);
    EXPECT_EQ(approx.ApproxLower.GetControlPointCount(), 7);
}

TEST(ApproxSpecimenEdit, InnerPointMovesOnlyItsOwnCurve) {
    CApproxSpecimen approx = HandMadeApprox();
    const CApproxSpecimen before = HandMadeApprox();
    CScriptedInteraction ui;
    QueueDialog(ui, [](CControlPointDialog& d) {
        EXPECT_FLOAT_EQ(d.m_fX, 0.0f);
        EXPECT_FLOAT_EQ(d.m_fY, 60.0f);
        EXPECT_TRUE(d.m_bYEnabled);
        d.m_fX = -4.5f;
        d.m_fY = 66.0f;
        return true;
    });
    ASSERT_TRUE(approx.EditControlPoint(1, 58, ui));
    EXPECT_EQ(approx.ApproxUpper.ControlPoints[3], FPoint(-4.5f, 66.0f));
    EXPECT_EQ(approx.ApproxLower.ControlPoints, before.ApproxLower.ControlPoints);
}

TEST(ApproxSpecimenEdit, CancelOrMissChangesNothing) {
    CApproxSpecimen approx = HandMadeApprox();
    const CApproxSpecimen before = HandMadeApprox();
    CScriptedInteraction ui;
    QueueDialog(ui, [](CControlPointDialog& d) {
        d.m_fX = 1.0f;
        return false;
    });
    EXPECT_FALSE(approx.EditControlPoint(50, -50, ui));
    // No point there: no dialog (an unscripted one would throw).
    EXPECT_FALSE(approx.EditControlPoint(20, 20, ui));
    EXPECT_EQ(ui.sheetCaptions.size(), 1u);
    EXPECT_EQ(approx.ApproxLower.ControlPoints, before.ApproxLower.ControlPoints);
    EXPECT_EQ(approx.ApproxUpper.ControlPoints, before.ApproxUpper.ControlPoints);
}

// --- bounding box and settings ----------------------------------------------------------

TEST(ApproxSpecimenSettings, BoundingBoxCoversBothCurves) {
    FRect box;
    HandMadeApprox().GetBoundingBox(box);
    EXPECT_EQ(box.min, FPoint(-103.7f, -55.5f));
    EXPECT_EQ(box.max, FPoint(99.5f, 60.0f));
    CApproxSpecimen().GetBoundingBox(box);
    EXPECT_EQ(box.min, FPoint(FLT_MAX, FLT_MAX));
    EXPECT_EQ(box.max, FPoint(-FLT_MAX, -FLT_MAX));
}

TEST(ApproxSpecimenSettings, PenAndColourGoToBothCurvesAndAreReadFromTheVentral) {
    CApproxSpecimen approx;
    approx.SetColor(RGB(10, 20, 30));
    approx.SetSplinePenWidth(3);
    EXPECT_EQ(approx.ApproxUpper.ColorSpline, RGB(10, 20, 30));
    EXPECT_EQ(approx.ApproxUpper.SplinePenWidth, 3);
    approx.ApproxLower.ColorSpline = RGB(1, 1, 1);
    approx.ApproxLower.SplinePenWidth = 5;
    EXPECT_EQ(approx.GetColor(), RGB(1, 1, 1));
    EXPECT_EQ(approx.GetSplinePenWidth(), 5);
}

// --- Draw -------------------------------------------------------------------------------

// A y-up mapping of 2000 logical units on 700 device pixels at 120 dpi: the error font is
// 2000 * 12 / -700 * 120 / 96 = -42.857 units high.
constexpr double kFontHeight = 2000.0 * 12.0 / -700.0 * 120.0 / 96.0;

void PrepareDC(CRecordingDC& dc) {
    dc.SetDeviceCaps(LOGPIXELSY, 120);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(2000, 2000);
    dc.SetViewportExt(700, -700);
    dc.SetWindowOrg(-1000, 700);
}

CApproxSpecimen ErrorTextApprox() {
    CApproxSpecimen a = HandMadeApprox();
    a.DrawIndex = false;
    a.ErrorValuesAreValid = true;
    a.MeanDiffOben = 2.0f;
    a.MeanDiffUnten = 1.0f;
    a.MaxDiffOben = 5.0f;
    a.MaxDiffUnten = 3.3f;
    return a;
}

std::vector<CRecordingDC::Op> Texts(const CRecordingDC& dc) {
    return dc.OpsOfKind(Kind::Text);
}

TEST(ApproxSpecimenDraw, ErrorLinesOnScreen) {
    CRecordingDC dc;
    PrepareDC(dc);
    const CFont callerFont{20, 0, 0, 700, true, false, 0, "Courier"};
    dc.SelectFont(callerFont);
    dc.SetTextAlign(TA_BASELINE | TA_CENTER);
    ErrorTextApprox().Draw(dc);

    const auto texts = Texts(dc);
    ASSERT_EQ(texts.size(), 3u);
    // L = 99.5 - (-100.5) = 200: percentages are the errors halved.
    EXPECT_EQ(texts[0].text, "Number of Iterations: 6");
    EXPECT_EQ(texts[1].text, "Mean Error:  2.000 (1.00%) dorsal / 1.000 (0.50%) ventral");
    EXPECT_EQ(texts[2].text, "Maximum Error:  5.000 (2.50%) dorsal / 3.300 (1.65%) ventral");
    // x: m2.x = -100.5 truncated toward zero; y1 = 700 - 2000 - 10; then y1 + 2h, y1 + 4h.
    const int y1 = -1310;
    const int expectedY[3] = {y1, static_cast<int>(std::trunc(y1 + 2 * kFontHeight)),
                              static_cast<int>(std::trunc(y1 + 4 * kFontHeight))};
    EXPECT_EQ(expectedY[1], -1395);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(texts[i].box.left, -100) << i;
        EXPECT_EQ(texts[i].box.top, expectedY[i]) << i;
        EXPECT_EQ(texts[i].textAlign, TA_BASELINE | TA_CENTER);
        EXPECT_EQ(texts[i].font, (CFont{-42, 0, 0, 400, false, false, 32, "Arial"}));
    }
    EXPECT_EQ(dc.GetFont(), callerFont);
}

TEST(ApproxSpecimenDraw, CurvesComeFirstVentralThenDorsal) {
    CApproxSpecimen a = ErrorTextApprox();
    a.ApproxUpper.ColorSpline = RGB(0, 0, 255);
    CRecordingDC dc;
    PrepareDC(dc);
    a.Draw(dc);
    const auto& ops = dc.Ops();
    ASSERT_FALSE(ops.empty());
    // Each curve begins at its first control point, rounded half away from zero: the ventral
    // one at m2 = (-100.5, 0), the dorsal one at m1 = (99.5, 0).
    ASSERT_EQ(ops.front().kind, Kind::Line);
    EXPECT_EQ(ops.front().box.left, -101);
    EXPECT_EQ(ops.front().pen.color, RGB(255, 0, 0));
    std::size_t firstText = ops.size(), firstDorsal = ops.size();
    for (std::size_t i = 0; i < ops.size(); ++i) {
        if (ops[i].kind == Kind::Text && firstText == ops.size())
            firstText = i;
        if (ops[i].kind == Kind::Line && ops[i].pen.color == RGB(0, 0, 255) &&
            firstDorsal == ops.size())
            firstDorsal = i;
    }
    ASSERT_LT(firstDorsal, firstText);
    EXPECT_EQ(ops[firstDorsal].box.left, 100);
    EXPECT_EQ(ops[firstDorsal].box.top, 0);
    for (std::size_t i = firstText; i < ops.size(); ++i)
        EXPECT_EQ(ops[i].kind, Kind::Text);
}

TEST(ApproxSpecimenDraw, ErrorLinesWhenPrinting) {
    CRecordingDC dc(true);
    PrepareDC(dc);
    ErrorTextApprox().Draw(dc);
    const auto texts = Texts(dc);
    ASSERT_EQ(texts.size(), 3u);
    // Bounding box of the control points: min x -103.7, min y -55.5, truncated to -103, -55.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(texts[i].box.left, -103) << i;
        EXPECT_EQ(texts[i].box.top, static_cast<int>(std::trunc(-55 + (8 + 2 * i) * kFontHeight)))
            << i;
    }
    EXPECT_EQ(texts[0].box.top, -397);
}

TEST(ApproxSpecimenDraw, InvalidErrorsAndNoCorrection) {
    CApproxSpecimen a = ErrorTextApprox();
    a.ErrorValuesAreValid = false;
    a.ApplyParamIteration = false;
    a.MarkMaxError = true;
    CRecordingDC dc;
    PrepareDC(dc);
    a.Draw(dc);
    const auto texts = Texts(dc);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "Number of Iterations: not applied");
    EXPECT_EQ(texts[1].text, "Mean Error:  invalid");
    EXPECT_EQ(texts[2].text, "Maximum Error:  invalid");
    EXPECT_TRUE(dc.OpsOfKind(Kind::Ellipse).empty());

    a.DrawError = false;
    dc.Clear();
    a.Draw(dc);
    EXPECT_TRUE(Texts(dc).empty());
}

TEST(ApproxSpecimenDraw, CirclesMarkTheWorstPointsWithNotXor) {
    CApproxSpecimen a = ErrorTextApprox();
    a.DrawError = false;
    a.MarkMaxError = true;
    a.MaxDiffUntenAtParam = 0.3f;
    a.MaxDiffObenAtParam = 0.0f;
    CRecordingDC dc;
    PrepareDC(dc);
    const CPen pen{PenStyle::Dash, 2, RGB(7, 8, 9)};
    dc.SelectPen(pen);
    dc.SetROP2(7);
    a.Draw(dc);
    const auto circles = dc.OpsOfKind(Kind::Ellipse);
    ASSERT_EQ(circles.size(), 2u);
    const reference::DPoint p = reference::Evaluate(a.ApproxLower.ControlPoints, 0.3);
    auto t = [](double v) { return static_cast<int>(std::trunc(v)); };
    EXPECT_EQ(circles[0].box, (CRect{t(p.x - 10), t(p.y - 10), t(p.x + 10), t(p.y + 10)}));
    EXPECT_EQ(circles[1].box, (CRect{89, -10, 109, 10})); // around m1 = (99.5, 0)
    for (const auto& c : circles) {
        EXPECT_EQ(c.rop2, R2_NOTXORPEN);
        EXPECT_EQ(c.pen, pen);
    }
    EXPECT_EQ(dc.GetROP2(), 7);
}

TEST(ApproxSpecimenDraw, LabelsSitOutsideTheirControlPoints) {
    CApproxSpecimen a = HandMadeApprox();
    a.DrawError = false;
    CRecordingDC dc;
    PrepareDC(dc);
    // Labels are measured in the caller's font: 20 units high, 10 wide a character.
    const CFont callerFont{20, 0, 0, 400, false, false, 0, "Times"};
    dc.SelectFont(callerFont);
    a.Draw(dc);
    const auto texts = Texts(dc);

    std::vector<std::pair<std::string, FPoint>> expected = {{"m1", a.ApproxUpper.ControlPoints[0]},
                                                            {"m2", a.ApproxLower.ControlPoints[0]}};
    for (int i = 1; i <= 5; ++i)
        expected.push_back({"v" + std::to_string(i), a.ApproxLower.ControlPoints[i]});
    for (int i = 1; i <= 5; ++i)
        expected.push_back({"d" + std::to_string(i), a.ApproxUpper.ControlPoints[i]});
    ASSERT_EQ(texts.size(), expected.size());

    const double offset = 0.08 * 99.5;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& [label, p] = expected[i];
        SCOPED_TRACE(label);
        const double length = std::hypot(p.x, p.y);
        const double ax = p.x + offset * p.x / length;
        const double ay = p.y + offset * p.y / length;
        // Keep clear of integer boundaries, where float and double could truncate apart.
        ASSERT_TRUE(ax == 0.0 || std::abs(ax - std::round(ax)) > 1e-3);
        ASSERT_TRUE(ay == 0.0 || std::abs(ay - std::round(ay)) > 1e-3);
        const int x = static_cast<int>(std::trunc(ax));
        const int y = static_cast<int>(std::trunc(ay));
        // Measured 20 wide and, under this y-up mapping, -20 high: the box runs from
        // (x - 11, y + 11) to (x + 11, y - 11). The text, 42 wide and -42 high in the error
        // font, is centred in it: (22 - 42) / 2 = -10 and (-22 + 42) / 2 = 10.
        EXPECT_EQ(texts[i].text, label);
        EXPECT_EQ(texts[i].box.left, x - 11 - 10);
        EXPECT_EQ(texts[i].box.top, y + 11 + 10);
        EXPECT_EQ(texts[i].font, (CFont{-42, 0, 0, 400, false, false, 32, "Arial"}));
    }
    EXPECT_EQ(dc.GetFont(), callerFont);
}

TEST(ApproxSpecimenDraw, FittedApproximationDrawsNothingNotANumber) {
    auto specimen = EllipseSpecimen();
    CScriptedInteraction ui;
    CApproxSpecimen approx;
    approx.MarkMaxError = true;
    ASSERT_TRUE(approx.Approximate(*specimen, false, ui));
    CRecordingDC dc;
    PrepareDC(dc);
    approx.Draw(dc);
    // 2 x 7 inner labels + m1 + m2, three error lines, two circles.
    EXPECT_EQ(Texts(dc).size(), 19u);
    EXPECT_EQ(dc.OpsOfKind(Kind::Ellipse).size(), 2u);
    const auto texts = Texts(dc);
    EXPECT_EQ(texts[0].text, "Number of Iterations: 6");
    EXPECT_EQ(texts[1].text.find("nan"), std::string::npos);
    EXPECT_EQ(texts[1].text.find("inf"), std::string::npos);
}

} // namespace
