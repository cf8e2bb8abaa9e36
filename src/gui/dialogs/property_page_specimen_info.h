#pragma once

#include "dialogs/property_page.h"

struct CPropertySheetSpecimen;
class QComboBox;
class QLineEdit;

// "Info": the user's name for the specimen (at most 20 characters), locality, sex and stage.
class CPropertyPageSpecimenInfo : public CPropertyPage {
public:
    CPropertyPageSpecimenInfo(CPropertySheetSpecimen& values, CUserInteraction& ui);

    QLineEdit* m_editName;
    QLineEdit* m_editLocality;
    QComboBox* m_wndSex;
    QComboBox* m_wndStage;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    CPropertySheetSpecimen& values_;
};
