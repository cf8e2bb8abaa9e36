#pragma once

#include "app/right_pane_view.h"
#include "drawing/specimen_view_settings.h"
#include "platform/gdi_types.h"
#include "views/print_job.h"

#include <QPrinter>

#include <memory>
#include <string>

class CCarinovaDoc;
class CSpecimenRecord;

// The default right-hand pane: the document's selected specimen record fitted into the window,
// with outline, approximation and decorations. It shows the mouse position in specimen
// coordinates, names the control point under the mouse in a tool tip, edits a clicked control
// point, prints the specimen on one page, exports its picture and runs the specimen and
// approximation commands. With no record selected it shows three hint lines.
class CSpecimenSingleView : public CRightPaneView {
    Q_OBJECT

public:
    explicit CSpecimenSingleView(CCarinovaDoc& doc, QWidget* parent = nullptr);
    // The factory of the main view's right-hand pane.
    static std::unique_ptr<CRightPaneView> Create(CCarinovaDoc& doc, QWidget* parent);

    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, int hint, CObject* object) override;
    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled) const override;

    // Client pixels to specimen coordinates, as the picture maps them now.
    CPoint ToLogical(const QPoint& client) const;
    // Device pixel of a point in specimen coordinates; for placing the mouse in tests and tools.
    QPoint ToClient(CPoint logical) const;
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
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    CSpecimenRecord* SelectedSpecimenRecord() const;
    CSize ClientSize() const { return {width(), height()}; }

    CCarinovaDoc& doc_;
    CSpecimenViewSettings m_settings;
    std::unique_ptr<QPrinter> printer_;
};
