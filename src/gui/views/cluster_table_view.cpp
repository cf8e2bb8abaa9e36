#include "views/cluster_table_view.h"

#include "document/carinova_doc.h"
#include "document/command_ids.h"
#include "platform/user_interaction.h"
#include "views/cluster_list_control.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QVBoxLayout>

CClusterTableView::CClusterTableView(CCarinovaDoc& doc, const QColor& background,
                                     bool fullRowSelect, QWidget* parent)
    : CRightPaneView(parent), doc_(doc),
      m_wndList(new CClusterListControl(background, fullRowSelect, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_wndList);
    setFocusProxy(m_wndList);
    connect(m_wndList, &CClusterListControl::contextMenuAt, this,
            &CClusterTableView::OnContextMenu);
}

void CClusterTableView::OnInitialUpdate() {
    if (m_bInitialized)
        return;
    m_bInitialized = true;
    m_wndList->setUpdatesEnabled(false);
    FillTable();
    m_wndList->setUpdatesEnabled(true);
    m_wndList->viewport()->update();
}

bool CClusterTableView::OnCommand(int id) {
    if (id != ID_CLUSTER_COPY_SHEET)
        return false;
    CopyToClipboard(m_wndList->SheetText());
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

QString CClusterTableView::Number(float value) const {
    return QString::fromStdString(doc_.FormatLocalizedNumber(value));
}
