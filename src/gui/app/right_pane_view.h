#pragma once

#include "platform/document.h"

#include <QPalette>
#include <QString>
#include <QWidget>

class CCarinovaDoc;

// What the right-hand pane of the main view can show. The tree picks one of them: the single
// view for the "Specimen" branch, the last chosen cluster view for the "Cluster" branch.
enum class RightPaneKind {
    SingleView,
    Overlay,
    PairwiseRms,
    AreaDorsal,
    AreaVentral,
    AreaTotal,
    Coordinates,
    Morphospace,
};

// Base of every view that can stand in the right-hand pane. The main view creates it through a
// factory registered for its kind, attaches it to the document, calls OnInitialUpdate once and
// offers it every command before anyone else.
class CRightPaneView : public QWidget, public CView {
    Q_OBJECT

public:
    explicit CRightPaneView(QWidget* parent = nullptr) : QWidget(parent) {}

    // Called once after the view was put into the pane and attached to the document.
    virtual void OnInitialUpdate() {}

    // Runs a command the view handles; false when it is not one of them.
    virtual bool OnCommand(int id) {
        (void)id;
        return false;
    }
    // Whether the view handles the command, and if so whether it is enabled now. A command the
    // view runs in OnCommand must be reported here too, or its menu item stays disabled.
    virtual bool OnUpdateCommand(int id, bool& enabled) const {
        (void)id;
        (void)enabled;
        return false;
    }
    // Whether a command the view handles shows as checked (a toggle of the view's).
    virtual bool IsCommandChecked(int id) const {
        (void)id;
        return false;
    }

protected:
    // Pictures are drawn on white paper, whatever the widget style's window colour.
    void UseWhitePaper() {
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, Qt::white);
        setPalette(pal);
    }

signals:
    // Text for the coordinates pane of the status bar ("%d, %d"); an empty text restores the
    // pane's idle text "Coordinates".
    void coordinatesText(const QString& text);
};

// What the tree needs of the main view: switching the right-hand pane and knowing what it shows.
class CRightPaneHost {
public:
    virtual ~CRightPaneHost() = default;
    // Puts a view of that kind into the pane; 0 when the pane already shows that kind, else 1.
    virtual int SwitchRightView(RightPaneKind kind) = 0;
    virtual RightPaneKind CurrentRightPane() const = 0;
};
