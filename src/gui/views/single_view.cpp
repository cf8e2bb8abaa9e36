#include "views/single_view.h"

#include "document/carinova_doc.h"
#include "document/command_ids.h"
#include "drawing/source_image.h"
#include "drawing/specimen_picture.h"
#include "model/approx_specimen.h"
#include "model/specimen.h"
#include "platform/recording_dc.h"
#include "qpainter_dc.h"
#include "valve_image_reader.h"
#include "views/specimen_properties.h"
#include "views/window_bitmap_export.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QTransform>

namespace {
const char* const kNoSelection = "There is no selected specimen.";
constexpr int kToolTipShowMs = 32767;
} // namespace

std::unique_ptr<CRightPaneView> CSpecimenSingleView::Create(CCarinovaDoc& doc, QWidget* parent) {
    return std::make_unique<CSpecimenSingleView>(doc, parent);
}

CSpecimenSingleView::CSpecimenSingleView(CCarinovaDoc& doc, QWidget* parent)
    : CPictureView(parent), doc_(doc) {
    setMouseTracking(true);
}

void CSpecimenSingleView::OnInitialUpdate() {
    if (m_bInitialized)
        return;
    m_bInitialized = true;
    update();
}

// Hints 1 to 6 concern the selected record or its approximation, a rename the name drawn under
// the picture; the cluster's do not. Another specimen is shown fitted again.
void CSpecimenSingleView::OnUpdate(CView*, int hint, CObject*) {
    if (hint == hintSelectionChanged && doc_.GetSelectedRecord() != zoomedRecord_) {
        zoomedRecord_ = doc_.GetSelectedRecord();
        Zoom().Fit();
    }
    if ((hint >= hintRecordAdded && hint <= hintApproxChanged) || hint == hintSpecimenRenamed ||
        hint == hintContentsReplaced)
        update();
}

CSpecimenRecord* CSpecimenSingleView::SelectedSpecimenRecord() const {
    CSpecimenRecord* record = doc_.GetSelectedRecord();
    return record && record->HasSpecimen() ? record : nullptr;
}

void CSpecimenSingleView::PrepareFit(CDC& dc, CSize clientSize) const {
    PrepareSpecimenMapping(dc, doc_.GetSelectedRecord(), clientSize);
}

void CSpecimenSingleView::DrawContent(CDC& dc) const {
    DrawSpecimenView(dc, doc_.GetSelectedRecord(), m_settings);
}

std::string CSpecimenSingleView::ToolTipTextAt(const QPoint& client) const {
    const CSpecimenRecord* record = SelectedSpecimenRecord();
    if (!record || !record->HasApproximation() || !rect().contains(client))
        return {};
    const CPoint p = ToLogical(client);
    const CApproxSpecimen& approximation = *record->GetApproximation();
    return approximation.HitTest(p.x, p.y) ? approximation.ToolTipText(p.x, p.y) : std::string();
}

void CSpecimenSingleView::mouseMoveEvent(QMouseEvent* event) {
    CPictureView::mouseMoveEvent(event);
    m_bTrackingMouse = true;
    if (!SelectedSpecimenRecord())
        return;
    const QPoint pos = event->position().toPoint();
    const CPoint p = ToLogical(pos);
    emit coordinatesText(QStringLiteral("%1, %2").arg(p.x).arg(p.y));
    const std::string tip = ToolTipTextAt(pos);
    if (tip.empty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), QString::fromStdString(tip), this,
                           QRect(), kToolTipShowMs);
}

void CSpecimenSingleView::leaveEvent(QEvent* event) {
    CPictureView::leaveEvent(event);
    emit coordinatesText(QString());
    m_bTrackingMouse = false;
}

// A click on a control point edits it; elsewhere the left button moves the picture. The edit
// tells the other views; this one repaints at once so the moved point shows.
void CSpecimenSingleView::mousePressEvent(QMouseEvent* event) {
    CPictureView::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    CSpecimenRecord* record = doc_.GetSelectedRecord();
    const CPoint p = ToLogical(event->position().toPoint());
    if (!record || !record->HasApproximation() || !record->GetApproximation()->HitTest(p.x, p.y)) {
        BeginPan(event->position().toPoint());
        return;
    }
    if (!record->GetApproximation()->EditControlPoint(p.x, p.y, doc_.GetInteraction()))
        return;
    doc_.SetModifiedFlag();
    doc_.UpdateAllViews(this, hintSelectionChanged, record);
    update();
}

void CSpecimenSingleView::OnSpecimenProperties() {
    CSpecimenRecord* record = doc_.GetSelectedRecord();
    if (!record) {
        doc_.GetInteraction().Message(kNoSelection);
        return;
    }
    CSpecimen* specimen = record->GetSpecimen();
    if (!specimen)
        return;
    CPropertySheetSpecimen sheet =
        MakeSpecimenSheet(*specimen, m_settings, record->HasApproximation());
    if (!doc_.GetInteraction().DoModal(sheet))
        return;
    ApplySpecimenSheet(sheet, *specimen, m_settings);
    doc_.SetModifiedFlag();
    doc_.UpdateAllViews(this, hintSelectionChanged, specimen);
    update();
}

void CSpecimenSingleView::OnExportImage() {
    const CSpecimenRecord* record = SelectedSpecimenRecord();
    if (!record)
        return;
    CWindowBitmapExport exporter(*this, doc_.GetInteraction(),
                                 [this](CDC& dc) { DrawPicture(dc); });
    exporter.Export(record->GetSpecimen()->ShortPathName + ".bmp");
}

void CSpecimenSingleView::OnApproxCalculate() {
    if (CSpecimenRecord* record = doc_.GetSelectedRecord())
        doc_.ApproximateSpecimen(record);
    else
        doc_.GetInteraction().Message(kNoSelection);
}

CPrintSource CSpecimenSingleView::PrintSource() const {
    return {[](const CDC&) { return kSpecimenPrintPageCount; },
            [this](CDC& dc, const CPrintPageInfo& page) {
                PrintSpecimenPage(dc, doc_.GetSelectedRecord(), m_settings, ClientSize(), page);
            }};
}

bool CSpecimenSingleView::OnCommand(int id) {
    switch (id) {
    case ID_VIEW_SOURCE_IMAGE:
        showSourceImage_ = !showSourceImage_;
        update();
        return true;
    case ID_SPECIMEN_PROPERTIES:
        OnSpecimenProperties();
        return true;
    case ID_SPECIMEN_EXPORT_IMAGE:
        OnExportImage();
        return true;
    case ID_APPROXIMATION_CALCULATE:
        OnApproxCalculate();
        return true;
    case ID_APPROXIMATION_PROPERTIES:
        doc_.EditApproximationProperties(doc_.GetSelectedRecord());
        return true;
    case ID_APPROXIMATION_DELETE:
        doc_.DeleteApproximation(doc_.GetSelectedRecord());
        return true;
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW:
        if (SelectedSpecimenRecord())
            RunPrintCommand(id, *this, printer_, PrintSource());
        return true;
    default:
        return CPictureView::OnCommand(id);
    }
}

bool CSpecimenSingleView::OnUpdateCommand(int id, bool& enabled) const {
    const CSpecimenRecord* record = doc_.GetSelectedRecord();
    switch (id) {
    case ID_SPECIMEN_PROPERTIES:
    case ID_SPECIMEN_EXPORT_IMAGE:
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW:
        enabled = SelectedSpecimenRecord() != nullptr;
        return true;
    case ID_APPROXIMATION_CALCULATE:
        enabled = record != nullptr;
        return true;
    case ID_VIEW_SOURCE_IMAGE:
        enabled = !SourceImagePath().empty();
        return true;
    case ID_APPROXIMATION_PROPERTIES:
    case ID_APPROXIMATION_DELETE:
        enabled = record && record->HasApproximation();
        return true;
    default:
        return CPictureView::OnUpdateCommand(id, enabled);
    }
}

bool CSpecimenSingleView::IsCommandChecked(int id) const {
    return id == ID_VIEW_SOURCE_IMAGE && showSourceImage_;
}

std::filesystem::path CSpecimenSingleView::SourceImagePath() const {
    const CSpecimenRecord* record = SelectedSpecimenRecord();
    return record ? FindSourceImage(*record->GetSpecimen(), doc_.GetPathName())
                  : std::filesystem::path();
}

void CSpecimenSingleView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (showSourceImage_)
        DrawSourceImage(painter);
    CQPainterDC dc(painter);
    DrawPicture(dc);
}

// The image goes where the outline's points came from: its pixels mapped into the specimen's
// coordinates, and those as the window maps them, without rounding to whole logical units.
void CSpecimenSingleView::DrawSourceImage(QPainter& painter) const {
    const std::filesystem::path path = SourceImagePath();
    if (path.empty())
        return;
    if (path != imagePath_) {
        imagePath_ = path;
        CValveImage image;
        std::string error;
        image_ = ReadValveImage(path, image, error) ? GreyPicture(image.grey) : QImage();
    }
    if (image_.isNull())
        return;
    CRecordingDC dc;
    dc.SetDeviceCaps(LOGPIXELSX, logicalDpiX());
    dc.SetDeviceCaps(LOGPIXELSY, logicalDpiY());
    PrepareMapping(dc);
    // The mapping modes scale each axis on its own.
    const double ox = dc.LPtoDPx(0.0), oy = dc.LPtoDPy(0.0);
    const QTransform logicalToDevice(dc.LPtoDPx(1.0) - ox, 0.0, 0.0, dc.LPtoDPy(1.0) - oy, ox, oy);
    const CAffineMap m = ImageToSpecimenMap(*SelectedSpecimenRecord()->GetSpecimen(), image_.height());
    painter.save();
    painter.setTransform(QTransform(m.m11, m.m12, m.m21, m.m22, m.dx, m.dy) * logicalToDevice);
    painter.setOpacity(0.6);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QPointF(0, 0), image_);
    painter.restore();
}
