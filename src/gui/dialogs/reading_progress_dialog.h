#pragma once

#include "platform/user_interaction.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

// The modeless progress window of the specimen reading. "Abbrechen" (and Escape or closing
// the window) only raises the cancel flag; the reading loop asks for it between files.
class CReadingProgressDialog : public QDialog, public CReadingProgress {
public:
    explicit CReadingProgressDialog(QWidget* parent = nullptr);

    void SetRange(int lower, int upper) override;
    void SetPos(int pos) override;
    void SetText(const std::string& text) override;
    bool CheckCancel() override;

    bool IsCancelled() const { return cancelled_; }
    void reject() override { cancelled_ = true; }

    QGroupBox* m_wndGroup;
    QLabel* m_wndName;
    QProgressBar* m_wndProgress;
    QPushButton* m_btnCancel;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool cancelled_ = false;
};
