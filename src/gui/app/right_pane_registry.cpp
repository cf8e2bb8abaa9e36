#include "app/right_pane_registry.h"

#include "app/carinova_view.h"
#include "views/cluster_areadorsal_view.h"
#include "views/cluster_areatotal_view.h"
#include "views/cluster_areaventral_view.h"
#include "views/cluster_coordinates_view.h"
#include "views/cluster_meandelta_view.h"
#include "views/morphospace_view.h"
#include "views/overlay_view.h"
#include "views/single_view.h"

// One line per view: view.SetRightPaneFactory(kind, factory).
void RegisterRightPaneViews(CCarinovaView& view) {
    view.SetRightPaneFactory(RightPaneKind::SingleView, &CSpecimenSingleView::Create);
    view.SetRightPaneFactory(RightPaneKind::Overlay, &CClusterSpecimensView::Create);
    view.SetRightPaneFactory(RightPaneKind::PairwiseRms, &CClusterMeandeltaView::Create);
    view.SetRightPaneFactory(RightPaneKind::AreaDorsal, &CClusterAreadorsalView::Create);
    view.SetRightPaneFactory(RightPaneKind::AreaVentral, &CClusterAreaventralView::Create);
    view.SetRightPaneFactory(RightPaneKind::AreaTotal, &CClusterAreatotalView::Create);
    view.SetRightPaneFactory(RightPaneKind::Coordinates, &CClusterCoordinatesView::Create);
    view.SetRightPaneFactory(RightPaneKind::Morphospace, &CClusterMorphospaceView::Create);
}
