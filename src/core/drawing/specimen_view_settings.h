#pragma once

// The drawing switches of the single-specimen view. They belong to the view, not to the
// specimen: shared by all specimens, not saved, back to these values in every new view.
struct CSpecimenViewSettings {
    bool m_bDrawBoundingBox = false;
    bool m_bDrawMainAxes = false;
    bool m_bDrawCentroid = true;
    bool m_bDrawCoordinateSystem = true;
    bool m_bDrawOutline = true;
};
