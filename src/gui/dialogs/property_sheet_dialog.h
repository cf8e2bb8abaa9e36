#pragma once

#include <QDialog>

#include <vector>

class CPropertyPage;
class CUserInteraction;
class QDialogButtonBox;
class QPushButton;
class QTabWidget;

// A modal property sheet: pages on tabs, OK, Cancel, Apply and Help. Leaving a page and OK
// validate; a refused value keeps its page in front. Apply stays inactive, as no page marks
// itself modified. F1 and Help open the help topic of the page in front.
class CPropertySheetDialog : public QDialog {
public:
    CPropertySheetDialog(const QString& caption, CUserInteraction& ui, QWidget* parent);

    QTabWidget* Tabs() const { return tabs_; }
    CPropertyPage* Page(int index) const { return pages_.at(static_cast<std::size_t>(index)); }
    int PageCount() const { return static_cast<int>(pages_.size()); }
    QPushButton* OkButton() const;
    QPushButton* CancelButton() const;
    QPushButton* ApplyButton() const;
    QPushButton* HelpButton() const;

    void ShowHelpForCurrentPage();
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

    // The sheet owns its pages through the tab widget; the first added is shown first.
    void AddPage(CPropertyPage* page);
    // Fills every page from the working copy; called once by the concrete sheet.
    void InitializePages();
    // The working copy goes to the caller.
    virtual void OnOK() = 0;

private:
    void OnCurrentChanged(int index);

    CUserInteraction& ui_;
    QTabWidget* tabs_;
    QDialogButtonBox* buttons_;
    std::vector<CPropertyPage*> pages_;
    int current_ = 0;
};
