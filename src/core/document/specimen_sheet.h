#pragma once

#include "platform/gdi_types.h"
#include "platform/user_interaction.h"

#include <string>

// The specimen property sheet: pages "File", "Statistics", "Graphics" and "Info". The file
// data and the statistics texts are shown only; the rest comes back after an OK.
struct CPropertySheetSpecimen : CModalSheet {
    // File
    unsigned int m_nPoints = 0;
    std::string m_strFileName;
    std::string m_strFileType;
    std::string m_strImageFile;
    float m_fScale = 1.0f;
    std::string m_strIdentifier;
    std::string m_strComment;
    // Statistics
    std::string m_strFirstAxis;
    std::string m_strSecondAxis;
    std::string m_strCentroid;
    int m_bTransform = 1;
    std::string m_strArea;
    int m_bHasApprox = 0;
    // Graphics
    ColorRef m_crContour = RGB(0, 0, 0);
    int m_bLineJoined = 1;
    int m_bDrawMainAxes = 0;
    int m_bDrawBoundingBox = 0;
    int m_nEveryNth = 60;
    int m_bNumeratePoints = 0;
    int m_bDrawCentroid = 1;
    int m_bDrawCoordinateSystem = 1;
    int m_bDrawOutline = 1;
    // Info
    std::string m_strName;
    std::string m_strLocality;
    std::string m_strSex;
    std::string m_strStage;
};
