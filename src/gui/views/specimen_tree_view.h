#pragma once

#include "app/command_state.h"
#include "app/right_pane_view.h"
#include "platform/document.h"

#include <QPoint>
#include <QTimer>
#include <QTreeWidget>

#include <optional>
#include <unordered_map>

class CCarinovaDoc;
class CSpecimenRecord;
class CTreeImageList;
class QLabel;

// The left pane: the document's records under "Specimen", the cluster members under "Cluster".
// Selections here become the document's selections and choose the right-hand view; delete,
// rename and dragging into the cluster go through the document, whose hints rebuild the items.
class CSpecimenTreeView : public QTreeWidget, public CView {
    Q_OBJECT

public:
    // Roles of the item data: the record, the overlay mark (0 none, 1 approximated, 2
    // reference) and the image number (0 closed folder, 1 open folder, 2 specimen).
    static constexpr int RecordRole = Qt::UserRole;
    static constexpr int OverlayRole = Qt::UserRole + 1;
    static constexpr int ImageRole = Qt::UserRole + 2;

    CSpecimenTreeView(CCarinovaDoc& doc, CRightPaneHost& host, QWidget* parent = nullptr);
    ~CSpecimenTreeView() override;

    // The first call fills the branches from the document; later calls do nothing.
    void OnInitialUpdate();
    void OnUpdate(CView* sender, int hint, CObject* object) override;

    bool OnCommand(int id);
    bool OnUpdateCommand(int id, CCommandState& state) const;

    QTreeWidgetItem* InsertSpecimenItem(CSpecimenRecord* record);
    void DeleteSpecimenItems(CSpecimenRecord* record);
    void SetApproxMark(CSpecimenRecord* record, bool on);
    QTreeWidgetItem* InsertClusterItem(CSpecimenRecord* record);
    void DeleteClusterItems(CSpecimenRecord* record);
    int RenumberClusterItems() { return RenumberClusterItemsFrom(0); }
    int RenumberClusterItemsFrom(int first);
    void SetReferenceMark(CSpecimenRecord* record);
    void SelectClusterItem(CSpecimenRecord* record);
    int CountClusterItems() const;
    static bool IsAncestor(const QTreeWidgetItem* item, const QTreeWidgetItem* candidate);
    static bool IsExpanded(const QTreeWidgetItem* item) { return item && item->isExpanded(); }

    QTreeWidgetItem* SpecimenRoot() const { return m_hSpecimenRoot; }
    QTreeWidgetItem* ClusterRoot() const { return m_hClusterRoot; }
    QTreeWidgetItem* FindSpecimenItem(const CSpecimenRecord* record) const;
    QTreeWidgetItem* FindClusterItem(const CSpecimenRecord* record) const;
    static CSpecimenRecord* RecordOf(const QTreeWidgetItem* item);
    static int OverlayOf(const QTreeWidgetItem* item);
    bool IsClusterBranch(const QTreeWidgetItem* item) const;
    bool IsSpecimenBranch(const QTreeWidgetItem* item) const;
    std::optional<RightPaneKind> LastClusterView() const { return m_pLastClusterView; }
    // The display command of the last cluster view (0 for none), to keep it between runs; an
    // id that is not a display command is ignored.
    int LastClusterCommand() const;
    void SetLastClusterCommand(int id);
    bool IsDragging() const { return m_bDragging; }
    QTreeWidgetItem* DropTarget() const { return m_hDropTarget; }
    bool IsDragTimerActive() const { return dragTimer_.isActive(); }
    bool IsEditingLabel() const { return state() == QAbstractItemView::EditingState; }

    // Drag timing and the height of the scrolling bands at the top and bottom.
    static constexpr int m_nHoverDelay = 500;
    static constexpr int m_nScrollInterval = 100;
    static constexpr int m_nScrollMargin = 20;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnSelectionChanged(QTreeWidgetItem* current);
    void OnItemExpansion(QTreeWidgetItem* item, bool expanded);
    void OnDeleteKey();
    void OnLabelEdited(QTreeWidgetItem* item, const QString& text);
    void SetOverlay(QTreeWidgetItem* item, int overlay);
    void DeleteItem(QTreeWidgetItem* item);
    QTreeWidgetItem* NewItem(QTreeWidgetItem* parent, CSpecimenRecord* record,
                             const QString& label);
    // The column follows the widest label, so that names are never cut short.
    int LabelWidth(const QTreeWidgetItem* item) const;
    void FitLabel(const QTreeWidgetItem* item);
    void FitAllLabels();
    void FitColumn();
    QTreeWidgetItem* MakeItem(QTreeWidgetItem* parent, CSpecimenRecord* record,
                              const QString& label) const;
    void FillBranches();
    void ReplaceAllItems();

    // Drag and drop into the cluster.
    void BeginDrag(QTreeWidgetItem* item, const QPoint& pos);
    void DragMove(const QPoint& pos);
    void DragTimer();
    void EndDrag();
    void CancelDrag();
    bool AcceptsDrop() const;
    void SetDropHighlight(QTreeWidgetItem* item);
    bool InScrollBand(int y) const;
    bool ScrollOneLine(int direction, const QPoint& pos);
    static bool HasCollapsedChildren(const QTreeWidgetItem* item);

    CCarinovaDoc& doc_;
    CRightPaneHost& host_;
    std::unique_ptr<CTreeImageList> images_;
    bool m_bInitialized = false;
    QTreeWidgetItem* m_hSpecimenRoot = nullptr;
    QTreeWidgetItem* m_hClusterRoot = nullptr;
    std::optional<RightPaneKind> m_pLastClusterView;

    bool m_bDragging = false;
    QTreeWidgetItem* m_hDragItem = nullptr;
    QTreeWidgetItem* m_hDropTarget = nullptr;
    QTreeWidgetItem* highlighted_ = nullptr;
    QTreeWidgetItem* pressedItem_ = nullptr;
    QPoint pressPos_;
    QPoint dragPos_;
    QLabel* m_pDragImage = nullptr;
    QTimer dragTimer_;
    int labelWidth_ = 0;
    QTimer refitTimer_;
    // Cluster items left without their number by removals, renumbered from `renumberFrom_` on
    // once the action is over: removing many members renumbers once, not once per member.
    QTimer renumberTimer_;
    int renumberFrom_ = -1;
    // The cluster items of each record, so a removal does not read every item's data.
    std::unordered_multimap<const CSpecimenRecord*, QTreeWidgetItem*> clusterItems_;
};
