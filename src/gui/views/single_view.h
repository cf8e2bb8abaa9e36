#pragma once

#include "drawing/specimen_view_settings.h"
#include "platform/gdi_types.h"
#include "views/picture_view.h"
#include "views/print_job.h"

#include <QImage>
#include <QPrinter>

#include <filesystem>

#include <memory>
#include <string>

class CCarinovaDoc;
class CSpecimenRecord;

// The default right-hand pane: the document's selected specimen record fitted into the window,
// with outline, approximation and decorations. It shows the mouse position in specimen
// coordinates, names the control point under the mouse in a tool tip, edits a clicked control
// point, prints the specimen on one page, exports its picture and runs the specimen and
// approximation commands. With no record selected it shows three hint lines. A left drag away
// from the control points moves a zoomed picture.
class CSpecimenSingleView : public CPictureView {
    Q_OBJECT

public:
    explicit CSpecimenSingleView(CCarinovaDoc& doc, QWidget* parent = nullptr);
    // The factory of the main view's right-hand pane.
    static std::unique_ptr<CRightPaneView> Create(CCarinovaDoc& doc, QWidget* parent);

    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, int hint, CObject* object) override;
    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled) const override;
    bool IsCommandChecked(int id) const override;

    // The image the selected specimen was traced from, found beside the document or its
    // outline file; empty when there is none. Shown under the outline while the toggle is on.
    std::filesystem::path SourceImagePath() const;
    bool ShowsSourceImage() const { return showSourceImage_; }

    // The tool-tip text for a client position: the control point there, or empty.
    std::string ToolTipTextAt(const QPoint& client) const;

    CSpecimenViewSettings& Settings() { return m_settings; }
    // What the view prints, for the print commands and for printing without dialogs.
    CPrintSource PrintSource() const;

    void OnSpecimenProperties();
    void OnExportImage();
    void OnApproxCalculate();

    bool m_bInitialized = false;
    bool m_bTrackingMouse = false;

protected:
    void PrepareFit(CDC& dc, CSize clientSize) const override;
    void DrawContent(CDC& dc) const override;
    bool HasPicture() const override { return SelectedSpecimenRecord() != nullptr; }

    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CSpecimenRecord* SelectedSpecimenRecord() const;

    CCarinovaDoc& doc_;
    CSpecimenViewSettings m_settings;
    const CSpecimenRecord* zoomedRecord_ = nullptr; // the record the zoom was set for
    std::unique_ptr<QPrinter> printer_;
    void DrawSourceImage(QPainter& painter) const;

    bool showSourceImage_ = false;
    // The last image looked up and read, so that repaints neither search nor decode again.
    mutable std::filesystem::path imagePath_;
    mutable QImage image_;

};
