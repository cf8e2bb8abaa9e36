#pragma once

#include "app/right_pane_view.h"
#include "platform/gdi_types.h"
#include "views/view_zoom.h"

#include <optional>

class CDC;

// A right-hand view that shows one picture fitted into its window, with zoom and pan on top:
// the wheel zooms about the mouse, + and - about the centre, 0 and Home fit the picture again,
// the arrows and a drag with the middle button (or the left one where the view has no use for
// it) move it. The View menu's zoom commands come here too. Zoom and pan are the view's own
// state; printing ignores them, the image export shows what the window shows.
class CPictureView : public CRightPaneView {
    Q_OBJECT

public:
    explicit CPictureView(QWidget* parent = nullptr);

    // The picture's mapping for this window, zoom and pan included.
    void PrepareMapping(CDC& dc) const;
    // The mapping, then the picture: what the window shows.
    void DrawPicture(CDC& dc) const;

    // Client pixels to picture coordinates, as the window maps them now, and back.
    CPoint ToLogical(const QPoint& client) const;
    QPoint ToClient(CPoint logical) const;

    CViewZoom& Zoom() { return zoom_; }
    const CViewZoom& Zoom() const { return zoom_; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled) const override;

protected:
    // The picture's own fit into a client of that size, and its drawing in that mapping.
    virtual void PrepareFit(CDC& dc, CSize clientSize) const = 0;
    virtual void DrawContent(CDC& dc) const = 0;
    // False while the view shows its hint screen, which neither zooms nor pans.
    virtual bool HasPicture() const = 0;

    CSize ClientSize() const { return {width(), height()}; }

    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    // Starts moving the picture with the mouse from that client point.
    void BeginPan(const QPoint& client);

private:
    CViewZoom zoom_;
    std::optional<QPoint> panFrom_;
};
