// Menus, command routing and the update of menu items and tool-bar buttons.
#include "app/main_frame.h"

#include "app/carinova_view.h"
#include "app/command_table.h"
#include "app/guarded_call.h"
#include "app/lock_key_indicators.h"
#include "dialogs/select_specimens_dialog.h"
#include "document/carinova_doc.h"
#include "document/command_ids.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace {

bool IsCheckable(int id) {
    switch (id) {
    case ID_CLUSTER_DISPLAY_SPECIMENS:
    case ID_CLUSTER_DISPLAY_COORDINATES:
    case ID_CLUSTER_DISPLAY_MORPHOSPACE:
    case ID_CLUSTER_MEAN_DELTA:
    case ID_CLUSTER_AREA_TOTAL:
    case ID_CLUSTER_AREA_DORSAL:
    case ID_CLUSTER_AREA_VENTRAL:
    case ID_CLUSTER_MEAN:
    case ID_VIEW_TOOLBAR:
    case ID_VIEW_STATUS_BAR:
    case ID_VIEW_REOPEN_LAST:
    case ID_VIEW_SOURCE_IMAGE:
        return true;
    default:
        return false;
    }
}

bool IsRecentFile(int id) {
    return id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + CRecentFileList::kDefaultSize;
}

} // namespace

void CMainFrame::CreateActions() {
    for (const CCommandInfo& info : CommandTable()) {
        auto* action = new QAction(QString::fromUtf8(info.text), this);
        action->setData(info.id);
        action->setStatusTip(StatusPrompt(info.prompt));
        const QString tip = ToolTipPrompt(info.prompt);
        action->setToolTip(tip.isEmpty() ? QString() : tip);
        if (*info.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(info.shortcut)));
        action->setCheckable(IsCheckable(info.id));
        const int id = info.id;
        connect(action, &QAction::triggered, this, [this, id] {
            OnCommand(id);
            UpdateCommandUI();
        });
        actions_[id] = action;
    }
    // F6 and Shift+F6 move between the panes; they have no menu item.
    const std::pair<int, QKeySequence> paneKeys[] = {
        {ID_NEXT_PANE, QKeySequence(Qt::Key_F6)},
        {ID_PREV_PANE, QKeySequence(Qt::SHIFT | Qt::Key_F6)}};
    for (const auto& [id, key] : paneKeys) {
        auto* action = new QAction(this);
        action->setData(id);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        const int commandId = id;
        connect(action, &QAction::triggered, this, [this, commandId] { OnCommand(commandId); });
        addAction(action);
        actions_[id] = action;
    }
}

QAction* CMainFrame::GetAction(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QMenu* CMainFrame::GetMenu(const QString& title) const {
    for (QMenu* menu : menus_)
        if (menu->title() == title)
            return menu;
    return nullptr;
}

QAction* CMainFrame::AddAction(QMenu* menu, int id) {
    QAction* action = GetAction(id);
    menu->addAction(action);
    return action;
}

QMenu* CMainFrame::AddSubMenu(QMenu* menu, const QString& title, std::initializer_list<int> ids) {
    QMenu* sub = menu->addMenu(title);
    sub->menuAction()->setData(*ids.begin()); // a pop-up follows the state of its first item
    for (int id : ids)
        AddAction(sub, id);
    menus_.push_back(sub);
    connect(sub, &QMenu::aboutToShow, this, [this, sub] { UpdateMenu(sub); });
    return sub;
}

void CMainFrame::CreateMenus() {
    auto addMenu = [this](const QString& title) {
        QMenu* menu = menuBar()->addMenu(title);
        menus_.push_back(menu);
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenu(menu); });
        return menu;
    };
    fileMenu_ = addMenu(QStringLiteral("&File"));
    for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS})
        AddAction(fileMenu_, id);
    fileMenu_->addSeparator();
    for (int id : {ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP})
        AddAction(fileMenu_, id);
    fileMenu_->addSeparator();
    placeholderAction_ = AddAction(fileMenu_, ID_FILE_MRU_FILE1);
    recentSeparator_ = fileMenu_->addSeparator();
    AddAction(fileMenu_, ID_APP_EXIT);
    RebuildRecentFileMenu();

    QMenu* specimen = addMenu(QStringLiteral("&Specimen"));
    for (int id : {ID_SPECIMEN_INSERT, ID_SPECIMEN_DELETE, ID_SPECIMEN_PROPERTIES})
        AddAction(specimen, id);
    specimen->addSeparator();
    AddSubMenu(specimen, QStringLiteral("Appro&ximation"),
               {ID_APPROXIMATION_CALCULATE, ID_APPROXIMATION_DELETE, ID_APPROXIMATION_PROPERTIES});
    specimen->addSeparator();
    AddAction(specimen, ID_SPECIMEN_EXPORT_IMAGE);
    AddAction(specimen, ID_SPECIMEN_EXPORT_TPS);

    QMenu* cluster = addMenu(QStringLiteral("&Cluster"));
    for (int id : {ID_CLUSTER_INSERT, ID_CLUSTER_DELETE, ID_CLUSTER_PROPERTIES, ID_CLUSTER_SELECT})
        AddAction(cluster, id);
    cluster->addSeparator();
    AddAction(cluster, ID_CLUSTER_MEAN);
    AddAction(cluster, ID_CLUSTER_MARK_REFERENCE);
    cluster->addSeparator();
    AddAction(cluster, ID_CLUSTER_DISPLAY_SPECIMENS);
    AddAction(cluster, ID_CLUSTER_DISPLAY_COORDINATES);
    AddAction(cluster, ID_CLUSTER_DISPLAY_MORPHOSPACE);
    AddSubMenu(cluster, QStringLiteral("Display Di&fferences"),
               {ID_CLUSTER_AREA_TOTAL, ID_CLUSTER_AREA_DORSAL, ID_CLUSTER_AREA_VENTRAL,
                ID_CLUSTER_MEAN_DELTA});
    cluster->addSeparator();
    AddAction(cluster, ID_CLUSTER_EXPORT);
    AddAction(cluster, ID_CLUSTER_EXPORT_IMAGE);

    QMenu* view = addMenu(QStringLiteral("&View"));
    AddAction(view, ID_VIEW_TOOLBAR);
    AddAction(view, ID_VIEW_STATUS_BAR);
    view->addSeparator();
    for (int id : {ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_VIEW_ZOOM_FIT})
        AddAction(view, id);
    AddAction(view, ID_VIEW_SOURCE_IMAGE);
    view->addSeparator();
    AddAction(view, ID_VIEW_REOPEN_LAST);

    QMenu* help = addMenu(QStringLiteral("&?"));
    AddAction(help, ID_HELP_CARINOVA);
    help->addSeparator();
    AddAction(help, ID_APP_ABOUT);
}

// The entries replace the "Last File" item; with none it stays, disabled.
void CMainFrame::RebuildRecentFileMenu() {
    for (QAction* action : recentActions_) {
        fileMenu_->removeAction(action);
        delete action;
    }
    recentActions_.clear();
    for (int i = 0; i < CRecentFileList::kDefaultSize; ++i)
        actions_.erase(ID_FILE_MRU_FILE1 + i);
    placeholderAction_->setVisible(recentFiles_.GetCount() == 0);
    if (recentFiles_.GetCount() == 0) {
        actions_[ID_FILE_MRU_FILE1] = placeholderAction_;
        return;
    }
    for (int i = 0; i < recentFiles_.GetCount(); ++i) {
        const int id = ID_FILE_MRU_FILE1 + i;
        auto* action = new QAction(recentFiles_.GetMenuText(i), this);
        action->setData(id);
        action->setStatusTip(QStringLiteral("Open this document."));
        connect(action, &QAction::triggered, this, [this, id] {
            OnCommand(id);
            UpdateCommandUI();
        });
        fileMenu_->insertAction(recentSeparator_, action);
        recentActions_.push_back(action);
        actions_[id] = action;
    }
}

bool CMainFrame::OnCommand(int id) {
    bool handled = false;
    RunGuarded(ui_, [&] { handled = view_->RouteCommand(id) || OnFrameCommand(id); });
    UpdateFrameTitle();
    return handled;
}

// A command no one answers for is disabled.
CCommandState CMainFrame::UpdateCommand(int id) const {
    CCommandState state;
    if (view_->RouteUpdate(id, state) || OnFrameUpdate(id, state))
        return state;
    return {};
}

void CMainFrame::UpdateMenu(QMenu* menu) {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || !action->data().isValid())
            continue;
        const CCommandState state = UpdateCommand(action->data().toInt());
        action->setEnabled(state.enabled);
        if (action->isCheckable())
            action->setChecked(state.checked);
    }
}

void CMainFrame::UpdateCommandUI() {
    for (QMenu* menu : menus_)
        UpdateMenu(menu);
    UpdateFrameTitle();
    lockKeys_->Update();
}

bool CMainFrame::OnFrameCommand(int id) {
    if (IsRecentFile(id)) {
        OnRecentFile(id - ID_FILE_MRU_FILE1);
        return true;
    }
    switch (id) {
    case ID_FILE_NEW:
        NewDocument();
        return true;
    case ID_FILE_OPEN:
        OnFileOpen();
        return true;
    case ID_FILE_SAVE:
        DoSave(false);
        return true;
    case ID_FILE_SAVE_AS:
        DoSave(true);
        return true;
    case ID_FILE_PRINT_SETUP:
        OnFilePrintSetup();
        return true;
    case ID_APP_EXIT:
        close();
        return true;
    case ID_APP_ABOUT:
        OnAppAbout();
        return true;
    case ID_CLUSTER_SELECT:
        OnClusterSelect();
        return true;
    case ID_VIEW_TOOLBAR:
        toolBar_->setVisible(!toolBar_->isVisible());
        return true;
    case ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(!statusBar()->isVisible());
        return true;
    case ID_VIEW_REOPEN_LAST:
        SetReopensLastDocument(!ReopensLastDocument());
        return true;
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
        view_->ActivateNextPane(id == ID_PREV_PANE);
        return true;
    default:
        return false;
    }
}

// The dialog works on the whole specimen list, so it does not open while one record of it is
// selected.
void CMainFrame::OnClusterSelect() {
    if (doc_.GetSelectedRecord())
        return;
    CSelectSpecimensDialog dialog(doc_, this);
    dialog.exec();
}

bool CMainFrame::OnFrameUpdate(int id, CCommandState& state) const {
    if (IsRecentFile(id)) {
        state.enabled = id - ID_FILE_MRU_FILE1 < recentFiles_.GetCount();
        return true;
    }
    switch (id) {
    case ID_FILE_NEW:
    case ID_FILE_OPEN:
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
    case ID_FILE_PRINT_SETUP:
    case ID_APP_EXIT:
    case ID_APP_ABOUT:
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
        state.enabled = true;
        return true;
    case ID_VIEW_TOOLBAR:
        state.enabled = true;
        state.checked = !toolBar_->isHidden();
        return true;
    case ID_VIEW_STATUS_BAR:
        state.enabled = true;
        state.checked = !statusBar()->isHidden();
        return true;
    case ID_VIEW_REOPEN_LAST:
        state.enabled = true;
        state.checked = ReopensLastDocument();
        return true;
    default:
        return false;
    }
}
