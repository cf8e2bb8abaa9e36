#include "dialogs/property_page.h"

#include "dialogs/data_exchange.h"

CPropertyPage::CPropertyPage(QString title, QString helpTopic, CUserInteraction& ui)
    : title_(std::move(title)), helpTopic_(std::move(helpTopic)), ui_(ui) {}

void CPropertyPage::Initialize() {
    UpdateData(false);
    OnInitDialog();
}

bool CPropertyPage::UpdateData(bool saveAndValidate) {
    CDataExchange dx(saveAndValidate, ui_);
    DoDataExchange(dx);
    failedControl_ = dx.FailedControl();
    return !dx.Failed();
}

void CPropertyPage::FocusFailedControl() {
    if (failedControl_)
        failedControl_->setFocus(Qt::OtherFocusReason);
}
