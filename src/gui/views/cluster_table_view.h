#pragma once

#include "app/right_pane_view.h"

#include <QColor>

#include <memory>
#include <string>

class CCarinovaDoc;
class CClusterListControl;
class QMenu;

// What the five cluster tables share: the list that fills the view, its one-time build on the
// first initial update, the context menu with the copy and sort commands, and copying the
// whole sheet to the clipboard.
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
    // The context menu as it would pop up now, with its items enabled or not.
    virtual std::unique_ptr<QMenu> CreateContextMenu() const;

protected:
    // Deletes all rows and columns and fills the table from the document.
    virtual void FillTable() = 0;
    // Remembers what lies under a right click at that screen position.
    virtual void HitTestContextPosition(const QPoint& globalPos) { (void)globalPos; }

    // The context menu with the given items enabled.
    std::unique_ptr<QMenu> BuildTableMenu(bool sortColumn, bool copyColumn,
                                          bool copySpecimen) const;
    void CopyToClipboard(const QString& text) const;
    void ShowError(const std::string& text) const;
    QString Number(float value) const;

    CCarinovaDoc& doc_;
    bool m_bInitialized = false;
    CClusterListControl* m_wndList;

private:
    void OnContextMenu(const QPoint& globalPos);
};
