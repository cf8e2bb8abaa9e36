#include "views/cluster_table_view.h"

#include "document/carinova_doc.h"
#include "document/command_ids.h"
#include "platform/user_interaction.h"
#include "views/cluster_list_control.h"
#include "views/cluster_table_model.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

CClusterTableView::CClusterTableView(CCarinovaDoc& doc, const QColor& background,
                                     bool fullRowSelect, QWidget* parent)
    : CRightPaneView(parent), doc_(doc),
      m_wndList(new CClusterListControl(background, fullRowSelect, this)),
      note_(new QLabel(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    note_->setContentsMargins(4, 2, 4, 2);
    note_->hide();
    layout->addWidget(note_);
    layout->addWidget(m_wndList);
    setFocusProxy(m_wndList);
    connect(m_wndList, &CClusterListControl::contextMenuAt, this,
            &CClusterTableView::OnContextMenu);
    settle_.setSingleShot(true);
    settle_.setInterval(0);
    connect(&settle_, &QTimer::timeout, this, &CClusterTableView::Settle);
}

void CClusterTableView::SetModel(CClusterTableModel* model) {
    model_ = model;
    m_wndList->SetTableModel(model);
}

void CClusterTableView::OnInitialUpdate() {
    if (m_bInitialized)
        return;
    m_bInitialized = true;
    Build(false);
}

void CClusterTableView::Build(bool afterChange) {
    m_wndList->setUpdatesEnabled(false);
    FillTable();
    m_wndList->SizeColumns();
    m_wndList->setUpdatesEnabled(true);
    m_wndList->viewport()->update();
    UpdateNote();
    if (afterChange && model_->HasNotComputable())
        ReportOnce(NotComputableText());
}

void CClusterTableView::UpdateNote() {
    const bool show = model_ && model_->HasNotComputable();
    note_->setText(show ? QString::fromLatin1(NotComputableText()) : QString());
    note_->setVisible(show);
}

QString CClusterTableView::NoteText() const {
    return note_->isHidden() ? QString() : note_->text();
}

void CClusterTableView::ScheduleRebuild() {
    rebuildPending_ = true;
    settle_.start();
}

void CClusterTableView::ScheduleSizing() {
    sizingPending_ = true;
    settle_.start();
}

void CClusterTableView::ReportOnce(const std::string& text) {
    if (pendingMessage_.empty())
        pendingMessage_ = text;
    settle_.start();
}

void CClusterTableView::Settle() {
    if (rebuildPending_) {
        rebuildPending_ = sizingPending_ = false;
        Build(true);
    }
    if (sizingPending_) {
        sizingPending_ = false;
        m_wndList->SizeColumns();
    }
    UpdateNote();
    const std::string message = std::move(pendingMessage_);
    pendingMessage_.clear();
    if (!message.empty())
        ShowError(message);
}

bool CClusterTableView::OnCommand(int id) {
    if (id != ID_CLUSTER_COPY_SHEET)
        return false;
    CopyToClipboard(model_->SheetText());
    return true;
}

bool CClusterTableView::OnUpdateCommand(int id, bool& enabled) const {
    if (id != ID_CLUSTER_COPY_SHEET)
        return false;
    enabled = true;
    return true;
}

std::unique_ptr<QMenu> CClusterTableView::CreateContextMenu() const {
    return BuildTableMenu(false, false, false);
}

std::unique_ptr<QMenu> CClusterTableView::BuildTableMenu(bool sortColumn, bool copyColumn,
                                                         bool copySpecimen) const {
    auto menu = std::make_unique<QMenu>();
    const auto add = [&menu](const char* text, int id, bool enabled) {
        QAction* action = menu->addAction(QString::fromLatin1(text));
        action->setData(id);
        action->setEnabled(enabled);
    };
    add("Sort column", ID_CLUSTER_SORT_COLUMN, sortColumn);
    menu->addSeparator();
    add("Copy sheet", ID_CLUSTER_COPY_SHEET, true);
    add("Copy column", ID_CLUSTER_COPY_COLUMN, copyColumn);
    add("Copy specimen", ID_CLUSTER_COPY_SPECIMEN, copySpecimen);
    return menu;
}

void CClusterTableView::OnContextMenu(const QPoint& globalPos) {
    HitTestContextPosition(globalPos);
    std::unique_ptr<QMenu> menu = CreateContextMenu();
    if (QAction* chosen = menu->exec(globalPos))
        OnCommand(chosen->data().toInt());
}

void CClusterTableView::CopyToClipboard(const QString& text) const {
    QGuiApplication::clipboard()->setText(text);
}

void CClusterTableView::ShowError(const std::string& text) const {
    doc_.GetInteraction().MessageBox(text, "Error", MsgButtons::OK, MsgIcon::None);
}
