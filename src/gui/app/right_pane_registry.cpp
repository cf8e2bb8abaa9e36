#include "app/right_pane_registry.h"

#include "app/carinova_view.h"

// One line per view: view.SetRightPaneFactory(kind, factory).
void RegisterRightPaneViews(CCarinovaView& view) {
    (void)view;
}
