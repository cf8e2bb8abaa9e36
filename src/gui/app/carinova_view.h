#pragma once

#include "app/command_state.h"
#include "app/right_pane_view.h"

#include <QWidget>

#include <functional>
#include <map>
#include <memory>

class CCarinovaDoc;
class CSpecimenTreeView;
class QSplitter;

// Makes the view for one kind of right-hand pane.
using CRightPaneFactory =
    std::function<std::unique_ptr<CRightPaneView>(CCarinovaDoc& doc, QWidget* parent)>;

// The main view: a splitter with the specimen tree on the left and an exchangeable view on the
// right. Commands reach the right-hand view first, then the tree, then the document.
class CCarinovaView : public QWidget, public CRightPaneHost {
    Q_OBJECT

public:
    static constexpr int kTreeWidth = 180;

    explicit CCarinovaView(CCarinovaDoc& doc, QWidget* parent = nullptr);
    ~CCarinovaView() override;

    // Registers the view for a kind; a pane of that kind that is shown now is made again.
    void SetRightPaneFactory(RightPaneKind kind, CRightPaneFactory factory);

    // Puts a view of that kind into the right-hand pane; 0 if it already shows one, else 1.
    int SetRightPane(RightPaneKind kind);
    int SwitchRightView(RightPaneKind kind) override { return SetRightPane(kind); }
    RightPaneKind CurrentRightPane() const override { return kind_; }

    int ShowSpecimenSingleView() { return SetRightPane(RightPaneKind::SingleView); }
    int ShowClusterSpecimensView() { return SetRightPane(RightPaneKind::Overlay); }
    int ShowClusterCoordinatesView() { return SetRightPane(RightPaneKind::Coordinates); }
    int ShowClusterMeandeltaView() { return SetRightPane(RightPaneKind::PairwiseRms); }
    int ShowClusterAreadorsalView() { return SetRightPane(RightPaneKind::AreaDorsal); }
    int ShowClusterAreaventralView() { return SetRightPane(RightPaneKind::AreaVentral); }
    int ShowClusterAreatotalView() { return SetRightPane(RightPaneKind::AreaTotal); }

    CCarinovaDoc& GetDocument() const { return doc_; }
    CSpecimenTreeView* GetTreeView() const { return tree_; }
    CRightPaneView* GetRightPane() const { return right_; }
    QSplitter* GetSplitter() const { return splitter_; }
    // The tree's width: 180 pixels at first, then what the user made it.
    int TreeWidth() const;
    void SetTreeWidth(int width);

    // Offers the command to the right-hand view, the tree and the document, in that order.
    bool RouteCommand(int id);
    // The first of them that handles the command decides its state.
    bool RouteUpdate(int id, CCommandState& state) const;

    // F6 and Shift+F6: the focus goes to the other pane.
    void ActivateNextPane(bool previous);

protected:
    void resizeEvent(QResizeEvent* event) override;

signals:
    // The right-hand view's text for the coordinates pane of the status bar.
    void coordinatesText(const QString& text);

private:
    std::unique_ptr<CRightPaneView> CreateRightPane(RightPaneKind kind);
    void ReplaceRightPane(RightPaneKind kind);
    void DetachRightPane();

    CCarinovaDoc& doc_;
    QSplitter* splitter_ = nullptr;
    CSpecimenTreeView* tree_ = nullptr;
    CRightPaneView* right_ = nullptr;
    RightPaneKind kind_ = RightPaneKind::SingleView;
    bool initialSizesSet_ = false;
    int treeWidth_ = kTreeWidth;
    std::map<RightPaneKind, CRightPaneFactory> factories_;
};
