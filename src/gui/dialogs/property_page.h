#pragma once

#include <QString>
#include <QWidget>

class CDataExchange;
class CUserInteraction;

// One page of a property sheet. The page exchanges its controls with fields of the sheet's
// working copy; the sheet decides when the copy goes back to the caller.
class CPropertyPage : public QWidget {
public:
    CPropertyPage(QString title, QString helpTopic, CUserInteraction& ui);

    const QString& Title() const { return title_; }
    // The topic in the help file, e.g. "::/html/cari0207.htm#approximation_params".
    const QString& HelpTopic() const { return helpTopic_; }

    // Fields to controls, then the page's own initialisation.
    void Initialize();
    // Controls to fields (with validation) or back; false when a value was refused.
    bool UpdateData(bool saveAndValidate);
    // Puts the focus back on the control that refused its value last.
    void FocusFailedControl();

protected:
    virtual void DoDataExchange(CDataExchange& dx) = 0;
    virtual void OnInitDialog() {}

    CUserInteraction& Interaction() const { return ui_; }

private:
    QString title_;
    QString helpTopic_;
    CUserInteraction& ui_;
    QWidget* failedControl_ = nullptr;
};
