#include "app/placeholder_pane_view.h"

#include <QPainter>

QString RightPaneTitle(RightPaneKind kind) {
    switch (kind) {
    case RightPaneKind::SingleView:
        return QStringLiteral("Specimen");
    case RightPaneKind::Overlay:
        return QStringLiteral("Cluster specimens");
    case RightPaneKind::PairwiseRms:
        return QStringLiteral("Mean delta quadrat");
    case RightPaneKind::AreaDorsal:
        return QStringLiteral("Area dorsal");
    case RightPaneKind::AreaVentral:
        return QStringLiteral("Area ventral");
    case RightPaneKind::AreaTotal:
        return QStringLiteral("Area total");
    case RightPaneKind::Coordinates:
        return QStringLiteral("Coordinates");
    case RightPaneKind::Morphospace:
        return QStringLiteral("Morphospace");
    }
    return {};
}

CPlaceholderPaneView::CPlaceholderPaneView(RightPaneKind kind, QWidget* parent)
    : CRightPaneView(parent), kind_(kind) {
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void CPlaceholderPaneView::OnUpdate(CView*, int, CObject*) {
    update();
}

void CPlaceholderPaneView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(Qt::gray);
    painter.drawText(rect(), Qt::AlignCenter, RightPaneTitle(kind_));
}
