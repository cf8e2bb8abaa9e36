#pragma once

#include <QDialog>

class CCarinovaDoc;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// "Add Specimens to Cluster": every loaded specimen with a check box that starts as its
// cluster membership. "Apply" inserts the newly checked ones in specimen-list order and removes
// the unchecked members; "Cancel" changes nothing.
class CSelectSpecimensDialog : public QDialog {
public:
    explicit CSelectSpecimensDialog(CCarinovaDoc& doc, QWidget* parent = nullptr);

    void accept() override;
    void SelectAll() { SetAllChecked(true); }
    void SelectNone() { SetAllChecked(false); }

    QTreeWidget* m_wndList;
    QPushButton* m_btnSelectAll;
    QPushButton* m_btnSelectNone;
    QPushButton* m_btnApply;
    QPushButton* m_btnCancel;

private:
    void FillList();
    void SetAllChecked(bool checked);
    void ApplyCheckStates();

    CCarinovaDoc& doc_;
};
