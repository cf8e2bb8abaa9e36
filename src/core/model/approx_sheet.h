#pragma once

#include "model/fpoint.h"
#include "platform/gdi_types.h"
#include "platform/user_interaction.h"

#include <string>
#include <vector>

// The approximation property sheet: pages "Params", "Statistics", "Graphics", "Control points".
struct CPropertySheetApprox : CModalSheet {
    // Params
    int m_nControlPoints = 8;
    int m_nIterations = 6;
    int m_bApplyCorrection = 1;
    // Statistics
    int m_bErrorsValid = 0;
    int m_bDrawError = 1;
    std::string m_strMaxError = "invalid";
    std::string m_strMeanError = "invalid";
    int m_bMarkMaxError = 0;
    // Graphics
    ColorRef m_crSpline = RGB(255, 0, 0);
    int m_bDrawSpline = 1;
    int m_bMarkPoints = 1;
    int m_bShowCoordinates = 0;
    int m_bDrawPolygon = 1;
    int m_bIndexPoints = 1;
    // Control points (display only)
    std::vector<FPoint> m_aDorsal;
    std::vector<FPoint> m_aVentral;
};

// The "Control points" dialog: one control point; the y field is locked for the shared end
// points, which stay on the first main axis.
struct CControlPointDialog : CModalSheet {
    float m_fX = 0.0f;
    float m_fY = 0.0f;
    bool m_bYEnabled = true;
};
