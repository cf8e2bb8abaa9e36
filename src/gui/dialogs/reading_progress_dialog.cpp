#include "dialogs/reading_progress_dialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

CReadingProgressDialog::CReadingProgressDialog(QWidget* parent)
    : QDialog(parent), m_wndGroup(new QGroupBox("Reading filei:", this)),
      m_wndName(new QLabel(m_wndGroup)), m_wndProgress(new QProgressBar(m_wndGroup)),
      m_btnCancel(new QPushButton("Abbrechen", this)) {
    setWindowTitle("Carinova");
    setModal(false);
    m_wndProgress->setTextVisible(false);
    m_wndProgress->setRange(0, 100);
    m_wndProgress->setValue(0);
    m_wndName->setMinimumWidth(240);
    auto* group = new QVBoxLayout(m_wndGroup);
    group->addWidget(m_wndName);
    group->addWidget(m_wndProgress);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_wndGroup);
    layout->addWidget(m_btnCancel, 0, Qt::AlignHCenter);
    connect(m_btnCancel, &QPushButton::clicked, this, [this] { reject(); });
}

// Each change is painted at once: the reading runs on this thread and gives the event loop
// a chance only in CheckCancel.
void CReadingProgressDialog::SetRange(int lower, int upper) {
    m_wndProgress->setRange(lower, upper);
    m_wndProgress->repaint();
}

void CReadingProgressDialog::SetPos(int pos) {
    m_wndProgress->setValue(pos);
    m_wndProgress->repaint();
}

void CReadingProgressDialog::SetText(const std::string& text) {
    m_wndName->setText(QString::fromStdString(text));
    m_wndName->repaint();
}

bool CReadingProgressDialog::CheckCancel() {
    QCoreApplication::processEvents();
    return cancelled_;
}

void CReadingProgressDialog::closeEvent(QCloseEvent* event) {
    cancelled_ = true;
    event->ignore();
}
