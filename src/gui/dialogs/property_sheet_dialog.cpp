#include "dialogs/property_sheet_dialog.h"

#include "dialogs/property_page.h"
#include "platform/user_interaction.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

CPropertySheetDialog::CPropertySheetDialog(const QString& caption, CUserInteraction& ui,
                                           QWidget* parent)
    : QDialog(parent), ui_(ui), tabs_(new QTabWidget(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                        QDialogButtonBox::Apply | QDialogButtonBox::Help,
                                    this)) {
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons_);
    ApplyButton()->setEnabled(false);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons_, &QDialogButtonBox::helpRequested, this, [this] { ShowHelpForCurrentPage(); });
    connect(tabs_, &QTabWidget::currentChanged, this,
            [this](int index) { OnCurrentChanged(index); });
}

QPushButton* CPropertySheetDialog::OkButton() const {
    return buttons_->button(QDialogButtonBox::Ok);
}

QPushButton* CPropertySheetDialog::CancelButton() const {
    return buttons_->button(QDialogButtonBox::Cancel);
}

QPushButton* CPropertySheetDialog::ApplyButton() const {
    return buttons_->button(QDialogButtonBox::Apply);
}

QPushButton* CPropertySheetDialog::HelpButton() const {
    return buttons_->button(QDialogButtonBox::Help);
}

void CPropertySheetDialog::AddPage(CPropertyPage* page) {
    pages_.push_back(page);
    const QSignalBlocker block(tabs_);
    tabs_->addTab(page, page->Title());
    tabs_->setCurrentIndex(0);
}

void CPropertySheetDialog::InitializePages() {
    for (CPropertyPage* page : pages_)
        page->Initialize();
}

void CPropertySheetDialog::ShowHelpForCurrentPage() {
    const int index = tabs_->currentIndex();
    if (index >= 0)
        ui_.ShowHelp(Page(index)->HelpTopic().toStdString());
}

// F1 reaches the sheet from any control that does not use it itself.
void CPropertySheetDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        ShowHelpForCurrentPage();
        return;
    }
    QDialog::keyPressEvent(event);
}

// A page is left only with valid values.
void CPropertySheetDialog::OnCurrentChanged(int index) {
    if (index == current_ || current_ < 0 || current_ >= PageCount())
        return;
    const int left = current_;
    current_ = index;
    if (!Page(left)->UpdateData(true)) {
        const QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(left);
        current_ = left;
        Page(left)->FocusFailedControl();
    }
}

// The page in front first, then the others in order; the first refusal brings its page to
// the front and keeps the sheet open.
void CPropertySheetDialog::accept() {
    std::vector<int> order{tabs_->currentIndex()};
    for (int i = 0; i < PageCount(); ++i) {
        if (i != order.front())
            order.push_back(i);
    }
    for (const int i : order) {
        if (!Page(i)->UpdateData(true)) {
            const QSignalBlocker block(tabs_);
            tabs_->setCurrentIndex(i);
            current_ = i;
            Page(i)->FocusFailedControl();
            return;
        }
    }
    OnOK();
    QDialog::accept();
}
