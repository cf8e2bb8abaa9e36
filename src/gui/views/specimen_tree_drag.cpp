// Dragging specimen items onto the "Cluster" branch: a drag image follows the cursor, the item
// under it is highlighted, hovering expands a collapsed item and the edge bands scroll.
#include "views/specimen_tree_view.h"

#include "app/guarded_call.h"
#include "document/carinova_doc.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>

void CSpecimenTreeView::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        pressPos_ = event->position().toPoint();
        pressedItem_ = itemAt(pressPos_);
    }
}

// While the left button is held, moves never extend the selection: they may only start or
// continue a drag.
void CSpecimenTreeView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_bDragging) {
        DragMove(pos);
        return;
    }
    if (!(event->buttons() & Qt::LeftButton) || state() == QAbstractItemView::EditingState) {
        QTreeWidget::mouseMoveEvent(event);
        return;
    }
    if (pressedItem_ && (pos - pressPos_).manhattanLength() >= QApplication::startDragDistance()) {
        QTreeWidgetItem* item = pressedItem_;
        pressedItem_ = nullptr;
        BeginDrag(item, pos);
    }
}

void CSpecimenTreeView::mouseReleaseEvent(QMouseEvent* event) {
    pressedItem_ = nullptr;
    if (m_bDragging && event->button() == Qt::LeftButton) {
        EndDrag();
        return;
    }
    QTreeWidget::mouseReleaseEvent(event);
}

// Only specimen items can be dragged; roots and cluster items do nothing.
void CSpecimenTreeView::BeginDrag(QTreeWidgetItem* item, const QPoint& pos) {
    if (!item || !item->parent() || item->parent() != m_hSpecimenRoot)
        return;
    m_hDragItem = item;
    m_bDragging = true;
    m_hDropTarget = nullptr;
    m_pDragImage = new QLabel(viewport());
    m_pDragImage->setText(item->text(0));
    m_pDragImage->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pDragImage->setStyleSheet(QStringLiteral("background: rgba(255,255,255,160); color: #555;"));
    m_pDragImage->adjustSize();
    m_pDragImage->move(pos);
    m_pDragImage->show();
    dragPos_ = pos;
}

void CSpecimenTreeView::DragMove(const QPoint& pos) {
    dragTimer_.stop();
    dragPos_ = pos;
    if (m_pDragImage)
        m_pDragImage->move(pos);
    QTreeWidgetItem* item = itemAt(pos);
    if (item) {
        SetDropHighlight(item);
        m_hDropTarget = item;
    }
    if (InScrollBand(pos.y()) || HasCollapsedChildren(item))
        dragTimer_.start(m_nHoverDelay);
}

// The first firing comes after the hover delay, the later ones at the scroll interval. At the
// end of the list the scrolling stops and so does the timer.
void CSpecimenTreeView::DragTimer() {
    if (!m_bDragging) {
        dragTimer_.stop();
        return;
    }
    dragTimer_.start(m_nScrollInterval);
    const QPoint pos = dragPos_;
    const int height = viewport()->height();
    if (pos.y() >= 0 && pos.y() <= m_nScrollMargin) {
        if (ScrollOneLine(-1, pos))
            return;
        dragTimer_.stop();
    } else if (pos.y() >= height - m_nScrollMargin && pos.y() <= height) {
        if (ScrollOneLine(1, pos))
            return;
        dragTimer_.stop();
    }
    QTreeWidgetItem* item = itemAt(pos);
    if (HasCollapsedChildren(item)) {
        item->setExpanded(true);
        dragTimer_.stop();
    }
}

bool CSpecimenTreeView::ScrollOneLine(int direction, const QPoint& pos) {
    const int before = verticalScrollBar()->value();
    verticalScrollBar()->triggerAction(direction < 0 ? QAbstractSlider::SliderSingleStepSub
                                                     : QAbstractSlider::SliderSingleStepAdd);
    if (verticalScrollBar()->value() == before)
        return false;
    SetDropHighlight(itemAt(pos));
    return true;
}

void CSpecimenTreeView::EndDrag() {
    dragTimer_.stop();
    const bool accepted = AcceptsDrop();
    CSpecimenRecord* record = RecordOf(m_hDragItem);
    CancelDrag();
    if (!accepted) {
        QApplication::beep();
        return;
    }
    // The same operation as Cluster > Insert, with its check for a member already present.
    RunGuarded(doc_.GetInteraction(), [&] { doc_.InsertIntoCluster(record); });
}

void CSpecimenTreeView::CancelDrag() {
    dragTimer_.stop();
    delete m_pDragImage;
    m_pDragImage = nullptr;
    SetDropHighlight(nullptr);
    m_bDragging = false;
    m_hDragItem = nullptr;
    m_hDropTarget = nullptr;
}

// A drop lands only on the "Cluster" root or one of its items.
bool CSpecimenTreeView::AcceptsDrop() const {
    const QTreeWidgetItem* target = m_hDropTarget;
    const QTreeWidgetItem* dragged = m_hDragItem;
    if (!target || !dragged || target == dragged || IsAncestor(target, dragged) ||
        target == dragged->parent())
        return false;
    return target == m_hClusterRoot || target->parent() == m_hClusterRoot;
}

void CSpecimenTreeView::SetDropHighlight(QTreeWidgetItem* item) {
    if (highlighted_ == item)
        return;
    if (highlighted_)
        highlighted_->setBackground(0, QBrush());
    highlighted_ = item;
    if (highlighted_)
        highlighted_->setBackground(0, palette().color(QPalette::Highlight).lighter(160));
}

bool CSpecimenTreeView::InScrollBand(int y) const {
    const int height = viewport()->height();
    return (y >= 0 && y <= m_nScrollMargin) || (y >= height - m_nScrollMargin && y <= height);
}

bool CSpecimenTreeView::HasCollapsedChildren(const QTreeWidgetItem* item) {
    return item && item->childCount() > 0 && !item->isExpanded();
}
