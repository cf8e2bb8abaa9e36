#pragma once

#include "model/fpoint.h"
#include "model/frect.h"
#include "platform/gdi_types.h"
#include "platform/object.h"

#include <string>
#include <vector>

class CDC;

// One valve outline: the contour as read, the data of the file it came from, what the user
// typed in about it, how it is drawn, and its statistics (area centroid and main axes) with
// the dorsal and ventral halves derived from them.
class CSpecimen : public CObject {
public:
    CSpecimen() = default;
    CSpecimen(const CSpecimen&) = delete;
    CSpecimen& operator=(const CSpecimen&) = delete;

    // Completion, called by the readers once the contour is filled.
    void NormalizeOrientation();
    void CalculateStatistics();
    void SplitOutline();

    float GetArea() const;
    bool IsCounterClockwise() const { return GetArea() > 0.0f; }
    float GetMeanSquaredCentroidDistance() const;

    FPoint TransformPoint(FPoint point, bool isDirection) const;
    FPoint GetTransformedPoint(int i) const { return TransformPoint(Contour[i], false); }
    FPoint GetTransformedCentroid() const { return TransformPoint(Centroid, false); }
    void GetTransformedAxes(FPoint& first, FPoint& second) const;
    void GetBoundingBox(FRect& rect) const;
    bool IsUpperSide(int i) const;
    bool IsLowerSide(int i) const { return !IsUpperSide(i); }

    void SetApplyTransformation(bool flag);
    bool GetApplyTransformation() const { return ApplyTransformation; }

    const std::vector<FPoint>& GetUpperHalf() const { return upperHalf_; }
    const std::vector<FPoint>& GetLowerHalf() const { return lowerHalf_; }

    void Draw(CDC& dc) const;

    std::vector<FPoint> Contour;
    // Landmarks of the source file, in its order and in the contour's coordinates. They are
    // shown with the outline and exported again; they do not enter the fit.
    std::vector<FPoint> Landmarks;
    std::string PathName;
    std::string ShortPathName;
    std::string FileType;
    float ScaleFactor = 1.0f;
    bool ScaleSpecified = false;
    std::string ImageFile;
    std::string Identifier;
    std::string Comment;
    std::string Variables;
    bool LineJoined = true;
    bool NumeratePoints = false;
    int NumerationStep = 60;
    ColorRef ColorContur = 0;
    std::string SpecimenName;
    std::string Locality;
    std::string Gender;
    std::string Stage;
    FPoint Centroid;
    FPoint FirstEigenvect;
    FPoint SecondEigenvect;

    // Only the document reader sets this directly: a loaded specimen keeps its stored statistics.
    bool ApplyTransformation = true;

private:
    FPoint CalculateCentroid() const;
    void CalculateMainAxes();

    std::vector<FPoint> upperHalf_;
    std::vector<FPoint> lowerHalf_;
};
