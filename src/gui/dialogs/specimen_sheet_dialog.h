#pragma once

#include "dialogs/property_sheet_dialog.h"
#include "document/specimen_sheet.h"

class CPropertyPageSpecimenFile;
class CPropertyPageSpecimenStatistic;
class CPropertyPageSpecimenGraphics;
class CPropertyPageSpecimenInfo;

// The specimen sheet over a copy of the caller's values; they go back only on OK.
class CSpecimenSheetDialog : public CPropertySheetDialog {
public:
    CSpecimenSheetDialog(CPropertySheetSpecimen& sheet, CUserInteraction& ui,
                         QWidget* parent = nullptr);

    CPropertyPageSpecimenFile* m_pageFile;
    CPropertyPageSpecimenStatistic* m_pageStatistic;
    CPropertyPageSpecimenGraphics* m_pageGraphics;
    CPropertyPageSpecimenInfo* m_pageInfo;

protected:
    void OnOK() override { target_ = values_; }

private:
    CPropertySheetSpecimen& target_;
    CPropertySheetSpecimen values_;
};
