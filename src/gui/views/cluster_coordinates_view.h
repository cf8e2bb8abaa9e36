#pragma once

#include "views/cluster_table_view.h"
#include "views/coordinates_table_model.h"

#include <memory>
#include <vector>

class CSpecimenRecord;

// One row per cluster record: its comparison with the reference, the control points of its
// cluster approximation and their delta vectors. Rows can be sorted, deleted, exported, and
// their control points edited, which recomputes the cluster data.
class CClusterCoordinatesView : public CClusterTableView {
    Q_OBJECT

public:
    using Column = CCoordinatesTableModel::Column;

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

    CCoordinatesTableModel* GetCoordinatesModel() const { return coordinates_; }
    // The control-point intervals the columns were made for.
    int PointCount() const { return coordinates_->PointCount(); }
    int ClickedColumn() const { return m_bHeaderHit ? m_nClickedColumn : -1; }
    int ClickedRow() const { return m_bRowHit ? m_nClickedRow : -1; }

protected:
    void FillTable() override;
    const char* NotComputableText() const override;

private:
    void SelectRecord(const CSpecimenRecord* record);
    std::vector<CSpecimenRecord*> SelectedRecords() const;
    void ReportNotComputable();

    CCoordinatesTableModel* coordinates_;
    int m_nClickedColumn = -1;
    int m_nClickedRow = -1;
    bool m_bHeaderHit = false;
    bool m_bRowHit = false;
};
