#include "views/morphospace_view.h"

#include "document/carinova_doc.h"
#include "document/command_ids.h"
#include "document/morphospace_tables.h"
#include "drawing/morphospace_picture.h"
#include "drawing/morphospace_print.h"
#include "platform/cdc.h"
#include "platform/user_interaction.h"
#include "render_targets.h"
#include "views/morphospace_canvas.h"

#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>

namespace {

std::string LowerExtension(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

} // namespace

std::unique_ptr<CRightPaneView> CClusterMorphospaceView::Create(CCarinovaDoc& doc,
                                                                QWidget* parent) {
    return std::make_unique<CClusterMorphospaceView>(doc, parent);
}

CClusterMorphospaceView::CClusterMorphospaceView(CCarinovaDoc& doc, QWidget* parent)
    : CRightPaneView(parent), doc_(doc) {
    UseWhitePaper();
    setFocusPolicy(Qt::StrongFocus);
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 4, 6, 4);
    grouping_ = new QComboBox(bar);
    grouping_->setObjectName(QStringLiteral("GroupBy"));
    for (CGroupField field : kGroupFields)
        grouping_->addItem(QString::fromUtf8(GroupFieldLabel(field)), static_cast<int>(field));
    xAxis_ = new QComboBox(bar);
    xAxis_->setObjectName(QStringLiteral("XComponent"));
    yAxis_ = new QComboBox(bar);
    yAxis_->setObjectName(QStringLiteral("YComponent"));
    copy_ = new QToolButton(bar);
    copy_->setText(QStringLiteral("Copy scores"));
    copy_->setToolTip(QStringLiteral("Copy the scores table to the clipboard"));
    row->addWidget(new QLabel(QStringLiteral("Group by:"), bar));
    row->addWidget(grouping_);
    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("Horizontal:"), bar));
    row->addWidget(xAxis_);
    row->addWidget(new QLabel(QStringLiteral("Vertical:"), bar));
    row->addWidget(yAxis_);
    row->addStretch(1);
    row->addWidget(copy_);

    canvas_ =
        new CMorphospaceCanvas([this]() -> const CMorphospaceScene& { return Scene(); }, this);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(bar);
    column->addWidget(canvas_, 1);

    connect(grouping_, &QComboBox::activated, this, [this](int index) {
        SetGrouping(static_cast<CGroupField>(grouping_->itemData(index).toInt()));
    });
    connect(xAxis_, &QComboBox::activated, this,
            [this](int index) { SetAxes(index, scene_.yComponent); });
    connect(yAxis_, &QComboBox::activated, this,
            [this](int index) { SetAxes(scene_.xComponent, index); });
    connect(copy_, &QToolButton::clicked, this, [this] { CopyScores(); });
    connect(canvas_, &CMorphospaceCanvas::pointClicked, this,
            [this](int point) { SelectPoint(point); });
}

void CClusterMorphospaceView::OnInitialUpdate() {
    Recompute();
}

// Membership, reference, recalculation and the mean change the analysis; the pointers it holds
// are not followed again before it is recomputed (hint 13's record is already gone). A new
// cluster selection only moves the mark, a new name only the hover text.
void CClusterMorphospaceView::OnUpdate(CView*, int hint, CObject*) {
    switch (hint) {
    case hintClusterInserted:
    case hintClusterRemoved:
    case hintReferenceChanged:
    case hintClusterRecalculated:
    case hintMeanCalculated:
    case hintMeanRemoved:
    case hintContentsReplaced:
        stale_ = true;
        canvas_->update();
        break;
    case hintClusterSelectionChanged:
        if (!stale_)
            scene_.Select(doc_.GetClusterSelection());
        canvas_->update();
        break;
    default:
        break;
    }
}

const CMorphospaceScene& CClusterMorphospaceView::Scene() {
    if (stale_)
        Recompute();
    return scene_;
}

void CClusterMorphospaceView::Recompute() {
    stale_ = false;
    CWaitCursor wait(doc_.GetInteraction());
    scene_.Compute(doc_);
    FillAxisBoxes();
    copy_->setEnabled(scene_.space.has_value());
}

void CClusterMorphospaceView::FillAxisBoxes() {
    for (QComboBox* box : {xAxis_, yAxis_}) {
        const QSignalBlocker blocker(box);
        box->clear();
        if (scene_.space)
            for (int k = 0; k < scene_.space->ComponentCount(); ++k)
                box->addItem(QString::fromStdString(ComponentTitle(*scene_.space, k)));
        box->setEnabled(box->count() > 0);
    }
    xAxis_->setCurrentIndex(scene_.space ? scene_.xComponent : -1);
    yAxis_->setCurrentIndex(scene_.space ? scene_.yComponent : -1);
}

void CClusterMorphospaceView::SetGrouping(CGroupField field) {
    Scene();
    scene_.GroupBy(field);
    grouping_->setCurrentIndex(grouping_->findData(static_cast<int>(field)));
    canvas_->update();
}

void CClusterMorphospaceView::SetAxes(int xComponent, int yComponent) {
    Scene();
    scene_.SetAxes(xComponent, yComponent);
    FillAxisBoxes();
    canvas_->update();
}

// The tree follows the document's cluster selection (hint 10).
void CClusterMorphospaceView::SelectPoint(int point) {
    const CMorphospaceScene& scene = Scene();
    if (!scene.space || point < 0 || point >= scene.space->PointCount())
        return;
    const CSpecimenRecord* record = scene.space->Record(point);
    const auto& cluster = doc_.GetClusterList();
    const auto it = std::find(cluster.begin(), cluster.end(), record);
    if (it != cluster.end())
        doc_.SetClusterSelection(*it);
}

CPrintSource CClusterMorphospaceView::PrintSource() {
    return {
        [](const CDC&) { return 1; },
        [this](CDC& dc, const CPrintPageInfo& page) { PrintMorphospacePage(dc, Scene(), page); }};
}

bool CClusterMorphospaceView::ExportImage(const std::filesystem::path& file, std::string& error) {
    const CMorphospaceScene& scene = Scene();
    const int w = canvas_->width();
    const int h = canvas_->height();
    const DrawFunction draw = [&scene, w, h](CDC& dc) {
        DrawMorphospacePicture(dc, scene, {0, 0, w, h});
    };
    const std::string extension = LowerExtension(file);
    if (extension == ".svg")
        return RenderSvgFile(file, w, h, draw, doc_.GetTitle(), error);
    if (extension == ".pdf") {
        // One page the size of the window on a 96 dpi screen, drawn at print resolution.
        CPdfLayout layout;
        layout.pageWidthMm = w * 25.4 / kScreenDotsPerInch;
        layout.pageHeightMm = h * 25.4 / kScreenDotsPerInch;
        layout.title = doc_.GetTitle();
        return RenderPdfFile(
            file, 1,
            [&scene](CDC& dc, int) {
                DrawMorphospacePicture(
                    dc, scene, {0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES)});
            },
            layout, error);
    }
    const ImageFormat format = extension == ".bmp" ? ImageFormat::Bmp : ImageFormat::Png;
    return RenderImageFile(file, format, w, h, draw, error);
}

void CClusterMorphospaceView::OnExportImage() {
    CUserInteraction& ui = doc_.GetInteraction();
    CFileDialogRequest request;
    request.open = false;
    request.title = "Export image";
    request.filter = "PNG Image (*.png)|*.png|SVG Image (*.svg)|*.svg|PDF Document (*.pdf)|*.pdf||";
    request.defaultExt = "png";
    request.fileName = doc_.GetTitle() + ".png";
    request.initialDir = QDir::currentPath().toStdString();
    request.overwritePrompt = true;
    request.pathMustExist = true;
    const CFileDialogResult result = ui.FileDialog(request);
    if (result.outcome == CFileDialogResult::Failed) {
        ui.Message("Could not save the image.", MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (result.outcome != CFileDialogResult::Accepted || result.paths.empty())
        return;
    std::string error;
    if (!ExportImage(result.paths.front(), error))
        ui.Message(error, MsgButtons::OK, MsgIcon::Exclamation);
}

void CClusterMorphospaceView::CopyScores() {
    const CMorphospaceScene& scene = Scene();
    if (!scene.space)
        return;
    QGuiApplication::clipboard()->setText(QString::fromStdString(FormatMorphospaceScores(
        *scene.space, ScoreTableComponents(*scene.space), doc_.GetNumberLocale())));
}

void CClusterMorphospaceView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("Copy scores"));
    copy->setEnabled(Scene().space.has_value());
    QAction* exportImage = menu.addAction(QStringLiteral("Export to Image File..."));
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == copy)
        CopyScores();
    else if (chosen == exportImage)
        OnExportImage();
}

bool CClusterMorphospaceView::OnCommand(int id) {
    if (id == ID_CLUSTER_EXPORT_IMAGE) {
        OnExportImage();
        return true;
    }
    return RunPrintCommand(id, *this, printer_, PrintSource());
}

bool CClusterMorphospaceView::OnUpdateCommand(int id, bool& enabled) const {
    switch (id) {
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW:
    case ID_CLUSTER_EXPORT_IMAGE:
        enabled = true;
        return true;
    default:
        return false;
    }
}
