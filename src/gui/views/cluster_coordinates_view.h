#pragma once

#include "views/cluster_table_view.h"

#include "model/fpoint.h"

#include <memory>
#include <vector>

struct CClusterData;
class CSpecimenRecord;

// One row per cluster record: its comparison with the reference, the control points of its
// cluster approximation and their delta vectors. Rows can be sorted, deleted, exported, and
// their control points edited, which recomputes the cluster data.
class CClusterCoordinatesView : public CClusterTableView {
    Q_OBJECT

public:
    // The fixed columns; the point and delta columns follow from ColFirstPoint on.
    enum Column {
        ColNr = 0,
        ColSpecimen = 1,
        ColAreaTotal = 2,
        ColLastValue = 9,
        ColFirstPoint = 10,
    };

    explicit CClusterCoordinatesView(CCarinovaDoc& doc, QWidget* parent = nullptr);
    static std::unique_ptr<CRightPaneView> Create(CCarinovaDoc& doc, QWidget* parent) {
        return std::make_unique<CClusterCoordinatesView>(doc, parent);
    }

    void OnUpdate(CView* sender, int hint, CObject* object) override;
    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled) const override;
    std::unique_ptr<QMenu> CreateContextMenu() const override;
    void HitTestContextPosition(const QPoint& globalPos) override;

    // Ascending by the cells of that column.
    void SortByColumn(int column);
    // The records of the selected rows leave the cluster (the mean specimen is removed).
    void DeleteSelectedRecords();
    // Edits the control point under a double click at that viewport position.
    void EditControlPointAt(const QPoint& viewportPos);
    void ExportSelectedRows();

    // The control-point intervals the columns were made for.
    int PointCount() const { return m_nPoints; }
    int ClickedColumn() const { return m_bHeaderHit ? m_nClickedColumn : -1; }
    int ClickedRow() const { return m_bRowHit ? m_nClickedRow : -1; }

protected:
    void FillTable() override;

private:
    void InsertColumns();
    // Returns whether an area of the row is not computable.
    bool AddRow(CSpecimenRecord* record);
    bool WriteComparison(int row, const CClusterData* data);
    void WriteDeltas(int row, const std::vector<FPoint>& dorsal,
                     const std::vector<FPoint>& ventral);
    void WritePoints(int row, const CSpecimenRecord* record);
    void DeleteRow(const CSpecimenRecord* record);
    void OnReferenceChanged(const CSpecimenRecord* reference);
    void SelectRecord(const CSpecimenRecord* record);
    int CompareCells(int column, int first, int second) const;
    std::vector<CSpecimenRecord*> SelectedRecords() const;
    QString PointText(FPoint p) const;
    QString DeltaText(FPoint d) const;

    int m_nPoints = 0;
    int m_nClickedColumn = -1;
    int m_nClickedRow = -1;
    bool m_bHeaderHit = false;
    bool m_bRowHit = false;
};
