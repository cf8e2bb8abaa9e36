#include "views/specimen_properties.h"

#include "model/specimen.h"
#include "platform/c_format.h"

namespace {

std::string AxisText(FPoint axis) {
    return FormatC("X = %0.6f  Y = %0.6f", static_cast<double>(axis.x),
                   static_cast<double>(axis.y));
}

} // namespace

CPropertySheetSpecimen MakeSpecimenSheet(const CSpecimen& specimen,
                                         const CSpecimenViewSettings& settings, bool hasApprox) {
    CPropertySheetSpecimen sheet;
    sheet.caption = "Specimen";
    sheet.m_strFileName = specimen.PathName;
    sheet.m_strFileType = specimen.FileType;
    sheet.m_nPoints = static_cast<unsigned int>(specimen.Contour.size());
    sheet.m_strImageFile = specimen.ImageFile;
    sheet.m_fScale = specimen.ScaleFactor;
    sheet.m_strIdentifier = specimen.Identifier;
    sheet.m_strComment = specimen.Comment;

    const FPoint centroid = specimen.GetTransformedCentroid();
    sheet.m_strCentroid = FormatC("X = %0.3f  Y = %0.3f", static_cast<double>(centroid.x),
                                  static_cast<double>(centroid.y));
    sheet.m_strArea = FormatC("%0.3f", static_cast<double>(specimen.GetArea()));
    FPoint first;
    FPoint second;
    specimen.GetTransformedAxes(first, second);
    sheet.m_strFirstAxis = AxisText(first);
    sheet.m_strSecondAxis = AxisText(second);
    sheet.m_bTransform = specimen.GetApplyTransformation() ? 1 : 0;
    sheet.m_bHasApprox = hasApprox ? 1 : 0;

    sheet.m_bLineJoined = specimen.LineJoined ? 1 : 0;
    sheet.m_nEveryNth = specimen.NumerationStep;
    sheet.m_bNumeratePoints = specimen.NumeratePoints ? 1 : 0;
    sheet.m_crContour = specimen.ColorContur;
    sheet.m_bDrawBoundingBox = settings.m_bDrawBoundingBox ? 1 : 0;
    sheet.m_bDrawMainAxes = settings.m_bDrawMainAxes ? 1 : 0;
    sheet.m_bDrawCentroid = settings.m_bDrawCentroid ? 1 : 0;
    sheet.m_bDrawCoordinateSystem = settings.m_bDrawCoordinateSystem ? 1 : 0;
    sheet.m_bDrawOutline = settings.m_bDrawOutline ? 1 : 0;

    sheet.m_strName = specimen.SpecimenName;
    sheet.m_strLocality = specimen.Locality;
    sheet.m_strSex = specimen.Gender;
    sheet.m_strStage = specimen.Stage;
    return sheet;
}

void ApplySpecimenSheet(const CPropertySheetSpecimen& sheet, CSpecimen& specimen,
                        CSpecimenViewSettings& settings) {
    specimen.SpecimenName = sheet.m_strName;
    specimen.Locality = sheet.m_strLocality;
    specimen.Gender = sheet.m_strSex;
    specimen.Stage = sheet.m_strStage;
    specimen.SetApplyTransformation(sheet.m_bTransform != 0);
    settings.m_bDrawBoundingBox = sheet.m_bDrawBoundingBox != 0;
    settings.m_bDrawMainAxes = sheet.m_bDrawMainAxes != 0;
    settings.m_bDrawCentroid = sheet.m_bDrawCentroid != 0;
    settings.m_bDrawCoordinateSystem = sheet.m_bDrawCoordinateSystem != 0;
    settings.m_bDrawOutline = sheet.m_bDrawOutline != 0;
    specimen.LineJoined = sheet.m_bLineJoined != 0;
    specimen.NumerationStep = sheet.m_nEveryNth;
    specimen.NumeratePoints = sheet.m_bNumeratePoints != 0;
    specimen.ColorContur = sheet.m_crContour;
    specimen.Identifier = sheet.m_strIdentifier;
    specimen.Comment = sheet.m_strComment;
}
