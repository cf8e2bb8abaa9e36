#pragma once

#include "app/right_pane_view.h"

#include <QColor>
#include <QTimer>

#include <memory>
#include <string>

class CCarinovaDoc;
class CClusterListControl;
class CClusterTableModel;
class QLabel;
class QMenu;

// What the five cluster tables share: the list over the view's model, its build on the first
// initial update, the context menu with the copy and sort commands, copying the whole sheet,
// and the rule that one action gives at most one message: work and messages asked for while
// the document changes are done once the action is over (on the next turn of the event loop),
// however many hints the action sent. A table that shows "n.c." says so in a line above it; a
// message box appears only when a change brought the "n.c.", not each time the view is entered.
class CClusterTableView : public CRightPaneView {
    Q_OBJECT

public:
    CClusterTableView(CCarinovaDoc& doc, const QColor& background, bool fullRowSelect,
                      QWidget* parent = nullptr);

    // The first call builds the table; later calls do nothing.
    void OnInitialUpdate() override;
    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, bool& enabled) const override;

    CClusterListControl* GetListCtrl() const { return m_wndList; }
    CClusterTableModel* GetModel() const { return model_; }
    // The context menu as it would pop up now, with its items enabled or not.
    virtual std::unique_ptr<QMenu> CreateContextMenu() const;
    // The note above the table while it shows "n.c." (empty when hidden).
    QString NoteText() const;
    // Whether a rebuild or a message waits for the end of the current action.
    bool HasPendingWork() const { return settle_.isActive(); }

protected:
    // Fills the model from the document.
    virtual void FillTable() = 0;
    // The text of the note and of the message for a table that shows "n.c.".
    virtual const char* NotComputableText() const = 0;
    // Remembers what lies under a right click at that screen position.
    virtual void HitTestContextPosition(const QPoint& globalPos) { (void)globalPos; }

    void SetModel(CClusterTableModel* model);
    // Fills the table, sizes its columns and updates the note; after a change (not on
    // entering the view) a table with "n.c." also gets its message, once.
    void Build(bool afterChange);
    // The table is built again once the current action is over.
    void ScheduleRebuild();
    // The columns are sized once the current action is over.
    void ScheduleSizing();
    // Only the note is brought up to date once the current action is over (it always is).
    void ScheduleNote() { settle_.start(); }
    // Shows the message once the current action is over; of several asked for during one
    // action only the first appears.
    void ReportOnce(const std::string& text);

    // The context menu with the given items enabled.
    std::unique_ptr<QMenu> BuildTableMenu(bool sortColumn, bool copyColumn,
                                          bool copySpecimen) const;
    void CopyToClipboard(const QString& text) const;
    void ShowError(const std::string& text) const;

    CCarinovaDoc& doc_;
    bool m_bInitialized = false;
    CClusterListControl* m_wndList;

private:
    void OnContextMenu(const QPoint& globalPos);
    void UpdateNote();
    void Settle();

    CClusterTableModel* model_ = nullptr;
    QLabel* note_;
    QTimer settle_;
    bool rebuildPending_ = false;
    bool sizingPending_ = false;
    std::string pendingMessage_;
};
