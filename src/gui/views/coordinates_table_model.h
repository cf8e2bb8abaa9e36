#pragma once

#include "views/cluster_table_model.h"

#include "model/fpoint.h"

#include <array>
#include <vector>

class CCarinovaDoc;
class CSpecimenRecord;

// One row per cluster record: "Nr", the name, the comparison with the reference, the control
// points of the cluster approximation and their delta vectors. A row keeps the numbers it was
// given when it was added or when the reference last changed, not the record's later ones: a
// renamed specimen keeps its old name here until the table is built again.
class CCoordinatesTableModel : public CClusterTableModel {
    Q_OBJECT

public:
    // The fixed columns; the point and delta columns follow from ColFirstPoint on.
    enum Column {
        ColNr,
        ColSpecimen,
        ColAreaTotal,
        ColAreaDorsal,
        ColAreaVentral,
        ColMeanDeltaSquare,
        ColMeanDelta,
        ColMaxDelta,
        ColSumDelta,
        ColSumDeltaSquare,
        ColFirstPoint,
        ColLastValue = ColSumDeltaSquare,
    };

    explicit CCoordinatesTableModel(const CCarinovaDoc& doc, QObject* parent = nullptr);

    // Columns for the cluster's control-point count and one row per member in cluster order.
    void Rebuild();
    // A row for a new member, numbered with the row count.
    void AppendRecord(CSpecimenRecord* record);
    // Drops the record's row; the rows numbered after it move up by one.
    void RemoveRecord(const CSpecimenRecord* record);
    // Columns 2 to 9 and the deltas anew from each record's stored comparison, or empty
    // without a reference.
    void ShowComparisons(bool withReference);
    // The row shows its record's control points again (after one was edited).
    void RefreshPoints(int row);
    // Ascending by that column's cells, stable; see CompareKeys for what is compared.
    void SortByColumn(int column);

    int PointCount() const { return points_; }
    int RowOf(const CSpecimenRecord* record) const;
    bool RowHasNotComputable(int row) const;

    int RowCount() const override { return static_cast<int>(rows_.size()); }
    int ColumnCount() const override { return columns_; }
    QString CellText(int row, int column) const override;
    QString HeaderText(int column) const override;
    Qt::Alignment ColumnAlignment(int column) const override;
    CSpecimenRecord* Record(int row) const override;
    bool HasNotComputable() const override;

private:
    struct CRow {
        CSpecimenRecord* record = nullptr;
        int number = 0;
        QString name;
        bool compared = false;
        // Areatotal, Areadorsal, Areaventral, MeanDeltaQuadrat, MeanDelta, MaxDelta, SumDelta,
        // SumDeltaQuadrat: the order of columns 2 to 9.
        std::array<float, 8> values{};
        std::vector<FPoint> dorsal, ventral;           // cluster control points
        std::vector<FPoint> dorsalDelta, ventralDelta; // empty without a reference
    };

    CRow MakeRow(CSpecimenRecord* record, int number) const;
    void SetComparison(CRow& row, bool withReference) const;
    QString Number(float value) const;
    QString ValueText(const CRow& row, int column) const;
    QString PointText(FPoint p) const;
    QString DeltaText(FPoint d) const;
    void Reorder(const std::vector<int>& order);
    std::vector<int> SortOrder(int column) const;

    const CCarinovaDoc& doc_;
    int points_ = 0;
    int columns_ = 0;
    std::vector<CRow> rows_;
};
