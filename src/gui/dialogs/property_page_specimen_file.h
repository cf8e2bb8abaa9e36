#pragma once

#include "dialogs/property_page.h"

struct CPropertySheetSpecimen;
class QLineEdit;

// "File": where the specimen came from (shown only), its identifier and comment.
class CPropertyPageSpecimenFile : public CPropertyPage {
public:
    CPropertyPageSpecimenFile(CPropertySheetSpecimen& values, CUserInteraction& ui);

    QLineEdit* m_editPoints;
    QLineEdit* m_editFileName;
    QLineEdit* m_editFileType;
    QLineEdit* m_editImageFile;
    QLineEdit* m_editScale;
    QLineEdit* m_editIdentifier;
    QLineEdit* m_editComment;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    CPropertySheetSpecimen& values_;
};
