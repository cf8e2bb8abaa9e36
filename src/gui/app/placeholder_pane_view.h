#pragma once

#include "app/right_pane_view.h"

// Stands in the right-hand pane for a kind whose real view is not registered: it shows what
// the pane would hold and handles no command.
class CPlaceholderPaneView : public CRightPaneView {
    Q_OBJECT

public:
    explicit CPlaceholderPaneView(RightPaneKind kind, QWidget* parent = nullptr);

    RightPaneKind Kind() const { return kind_; }
    void OnUpdate(CView* sender, int hint, CObject* object) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RightPaneKind kind_;
};

// The title of each kind of right-hand view, as the menus name them.
QString RightPaneTitle(RightPaneKind kind);
