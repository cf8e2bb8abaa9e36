#pragma once

#include "app/right_pane_view.h"
#include "cluster/morphospace_groups.h"
#include "drawing/morphospace_scene.h"
#include "views/print_job.h"

#include <QPrinter>

#include <filesystem>
#include <memory>
#include <string>

class CCarinovaDoc;
class CMorphospaceCanvas;
class QComboBox;
class QToolButton;

// The morphospace of the cluster in the right-hand pane: a tool bar to choose the grouping
// field and the two components, and the scatter of the members' scores below it. Hovering a
// point shows its name and scores, clicking it makes it the cluster selection (which the tree
// follows). The analysis is recomputed lazily after the cluster changed. Prints one page with
// the picture and the variance chart, exports PNG, SVG or PDF and copies the scores table.
class CClusterMorphospaceView : public CRightPaneView {
    Q_OBJECT

public:
    explicit CClusterMorphospaceView(CCarinovaDoc& doc, QWidget* parent = nullptr);
    static std::unique_ptr<CRightPaneView> Create(CCarinovaDoc& doc, QWidget* parent);

    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, int hint, CObject* object) override;
    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled) const override;

    // The scene of the current cluster, recomputed first when the cluster changed.
    const CMorphospaceScene& Scene();
    void SetGrouping(CGroupField field);
    // Components from 0.
    void SetAxes(int xComponent, int yComponent);

    CPrintSource PrintSource();
    // Export with a save dialog; the file's extension chooses PNG, SVG, PDF (or BMP).
    void OnExportImage();
    // The picture at the canvas's size into a file of the format its extension names.
    bool ExportImage(const std::filesystem::path& file, std::string& error);
    // The scores table (as the batch tool writes it, in the user's number format).
    void CopyScores();

    CMorphospaceCanvas* Canvas() const { return canvas_; }
    QComboBox* GroupingBox() const { return grouping_; }
    QComboBox* XAxisBox() const { return xAxis_; }
    QComboBox* YAxisBox() const { return yAxis_; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Recompute();
    void FillAxisBoxes();
    void SelectPoint(int point);

    CCarinovaDoc& doc_;
    CMorphospaceScene scene_;
    bool stale_ = true;
    CMorphospaceCanvas* canvas_ = nullptr;
    QComboBox* grouping_ = nullptr;
    QComboBox* xAxis_ = nullptr;
    QComboBox* yAxis_ = nullptr;
    QToolButton* copy_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
};
