#pragma once

#include "platform/gdi_types.h"
#include "views/cached_picture.h"
#include "views/picture_view.h"
#include "views/print_job.h"

#include <QPrinter>

#include <memory>

class CCarinovaDoc;

// The cluster overlay in the right-hand pane: every cluster approximation on top of the others,
// reference and mean in their colours, the legend and the delta vectors, fitted into the window
// (or the hints for an empty cluster). It prints the picture followed by pages with the member
// list, and exports the picture as an image file. A left or middle drag moves a zoomed picture.
// The screen picture is drawn once and kept until the cluster, its settings, the window's size
// or the zoom change.
class CClusterSpecimensView : public CPictureView {
    Q_OBJECT

public:
    explicit CClusterSpecimensView(CCarinovaDoc& doc, QWidget* parent = nullptr);
    // The factory of the main view's right-hand pane.
    static std::unique_ptr<CRightPaneView> Create(CCarinovaDoc& doc, QWidget* parent);

    void OnUpdate(CView* sender, int hint, CObject* object) override;
    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled) const override;

    // What the view prints, for the print commands and for printing without dialogs.
    CPrintSource PrintSource() const;
    void OnExportImage();
    const CCachedPicture& Picture() const { return picture_; }

protected:
    void PrepareFit(CDC& dc, CSize clientSize) const override;
    void DrawContent(CDC& dc) const override;
    bool HasPicture() const override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    CCarinovaDoc& doc_;
    std::unique_ptr<QPrinter> printer_;
    CCachedPicture picture_;
    CViewZoom pictureZoom_; // the zoom and pan the kept picture was drawn with
};
