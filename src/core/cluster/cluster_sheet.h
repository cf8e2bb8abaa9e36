#pragma once

#include "platform/user_interaction.h"

// The cluster property sheet: pages "Params", "Graphics" and "Printing".
struct CPropertySheetCluster : CModalSheet {
    // Params
    int m_nControlPoints = 8;
    int m_nIterations = 6;
    int m_bApplyCorrection = 1;
    int m_nNormalize = 2;
    // Graphics
    int m_bReferenceOnly = 0;
    int m_bNumberVectors = 1;
    int m_bDrawDeltaVectors = 1;
    float m_fDeltaScale = 1.0f;
    int m_bDrawMeanReference = 1;
    int m_nLastSpinPos = 0;
    // Printing
    int m_bPrintList = 1;
    int m_nPenSpecimen = 1;
    int m_nPenDelta = 1;
    int m_nColorMode = 1;
};
