#include "document/cluster_data_export.h"

#include "cluster/specimen_record.h"
#include "platform/c_format.h"
#include "platform/number_locale.h"

std::string TableCell(const std::string& text) {
    std::string cell = text;
    for (char& c : cell)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return cell;
}

namespace {

void SpecimenSection(std::string& out, const std::vector<CSpecimenRecord*>& records) {
    out += "Specimen Info:\n\n";
    out += "Specimen Name\tImage File\tLocality\tSex\tStage\tIdentifier\tComment\tVariables\n";
    for (const CSpecimenRecord* r : records) {
        const CSpecimen& s = *r->GetSpecimen();
        for (const std::string* field : {&s.ShortPathName, &s.ImageFile, &s.Locality, &s.Gender,
                                         &s.Stage, &s.Identifier, &s.Comment})
            out += TableCell(*field) + "\t";
        out += TableCell(s.Variables) + "\n";
    }
    out += "\n\n";
}

void ClusterSection(std::string& out, const std::vector<CSpecimenRecord*>& records,
                    const CNumberLocale& loc) {
    out += "Cluster Info:\n\n";
    out +=
        "Specimen Name\tMean Delta\tMax Delta\tSum Delta\tSum Delta Quadrat\tMean Delta Quadrat\n";
    for (const CSpecimenRecord* r : records) {
        out += TableCell(r->GetSpecimen()->ShortPathName) + "\t";
        static const CClusterData kEmpty;
        const CClusterData& d = r->HasClusterData() ? *r->GetClusterData() : kEmpty;
        out += FormatLocalizedNumber(d.MeanDelta, loc) + "\t" +
               FormatLocalizedNumber(d.MaxDelta, loc) + "\t" +
               FormatLocalizedNumber(d.SumDelta, loc) + "\t" +
               FormatLocalizedNumber(d.SumDeltaQuadrat, loc) + "\t" +
               FormatLocalizedNumber(d.MeanDeltaQuadrat, loc) + "\n";
    }
    out += "\n\n";
}

// Rows for indices a curve does not hold keep their label and leave the number cells empty.
void CurveRows(std::string& out, const char* first, char prefix, const std::vector<FPoint>& points,
               const std::vector<FPoint>* deltas, int rows, const CNumberLocale& loc) {
    for (int i = 0; i < rows; ++i) {
        out += i == 0 ? std::string(first) : FormatC("%c%d", prefix, i);
        out += "\t";
        const bool hasPoint = i < static_cast<int>(points.size());
        out += hasPoint ? FormatLocalizedNumber(points[i].x, loc) + "\t" +
                              FormatLocalizedNumber(points[i].y, loc) + "\t"
                        : std::string("\t\t");
        if (deltas) {
            if (i < static_cast<int>(deltas->size())) {
                const FPoint d = (*deltas)[i];
                out += FormatLocalizedNumber(d.x, loc) + "\t" + FormatLocalizedNumber(d.y, loc) +
                       "\t" + FormatLocalizedNumber(d.Length(), loc) + "\t";
            } else {
                out += "\t\t\t";
            }
        }
        out += "\n";
    }
}

void ApproximationSection(std::string& out, const CSpecimenRecord& r, bool hasReference, int rows,
                          const CNumberLocale& loc) {
    out += "Cluster Approximation for Specimen: " + TableCell(r.GetSpecimen()->ShortPathName) + "\n";
    out += hasReference ? "Index\tControl Point\t\tDelta Vector\t\tDelta Length\n\tx\ty\tx\ty\t\n"
                        : "Index\tControl Point\n\tx\ty\n";
    static const std::vector<FPoint> kNone;
    const CApproxSpecimen* a = r.GetClusterApproximation();
    const CClusterData* d = r.GetClusterData();
    const std::vector<FPoint>& upper = a ? a->ApproxUpper.ControlPoints : kNone;
    const std::vector<FPoint>& lower = a ? a->ApproxLower.ControlPoints : kNone;
    const std::vector<FPoint>* upperDeltas =
        hasReference ? (d ? &d->DeltaVectorsUpper : &kNone) : nullptr;
    const std::vector<FPoint>* lowerDeltas =
        hasReference ? (d ? &d->DeltaVectorsLower : &kNone) : nullptr;
    CurveRows(out, "m1", 'd', upper, upperDeltas, rows, loc);
    CurveRows(out, "m2", 'v', lower, lowerDeltas, rows, loc);
    out += "\n";
}

} // namespace

std::string FormatClusterDataExport(const std::vector<CSpecimenRecord*>& records, bool hasReference,
                                    int controlPointsCnt, const CNumberLocale& locale) {
    std::string out;
    SpecimenSection(out, records);
    if (hasReference)
        ClusterSection(out, records, locale);
    for (const CSpecimenRecord* r : records)
        ApproximationSection(out, *r, hasReference, controlPointsCnt, locale);
    return out;
}
