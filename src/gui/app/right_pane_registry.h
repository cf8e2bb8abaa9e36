#pragma once

class CCarinovaView;

// Registers the real view of each kind of right-hand pane; kinds left out show a placeholder.
void RegisterRightPaneViews(CCarinovaView& view);
