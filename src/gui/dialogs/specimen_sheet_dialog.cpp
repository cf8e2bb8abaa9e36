#include "dialogs/specimen_sheet_dialog.h"

#include "dialogs/property_page_specimen_file.h"
#include "dialogs/property_page_specimen_graphics.h"
#include "dialogs/property_page_specimen_info.h"
#include "dialogs/property_page_specimen_statistic.h"

CSpecimenSheetDialog::CSpecimenSheetDialog(CPropertySheetSpecimen& sheet, CUserInteraction& ui,
                                           QWidget* parent)
    : CPropertySheetDialog(
          QString::fromStdString(sheet.caption.empty() ? "Specimen" : sheet.caption), ui, parent),
      target_(sheet), values_(sheet) {
    m_pageFile = new CPropertyPageSpecimenFile(values_, ui);
    m_pageStatistic = new CPropertyPageSpecimenStatistic(values_, ui);
    m_pageGraphics = new CPropertyPageSpecimenGraphics(values_, ui);
    m_pageInfo = new CPropertyPageSpecimenInfo(values_, ui);
    AddPage(m_pageFile);
    AddPage(m_pageStatistic);
    AddPage(m_pageGraphics);
    AddPage(m_pageInfo);
    InitializePages();
}
