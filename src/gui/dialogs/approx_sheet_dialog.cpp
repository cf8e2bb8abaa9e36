#include "dialogs/approx_sheet_dialog.h"

#include "dialogs/property_page_approx_graphics.h"
#include "dialogs/property_page_approx_params.h"
#include "dialogs/property_page_approx_points.h"
#include "dialogs/property_page_approx_statistics.h"

CApproxSheetDialog::CApproxSheetDialog(CPropertySheetApprox& sheet, CUserInteraction& ui,
                                       QWidget* parent)
    : CPropertySheetDialog(
          QString::fromStdString(sheet.caption.empty() ? "Approximation" : sheet.caption), ui,
          parent),
      target_(sheet), values_(sheet) {
    m_pageParams = new CPropertyPageApproxParams(values_, ui);
    m_pageStatistics = new CPropertyPageApproxStatistics(values_, ui);
    m_pageGraphics = new CPropertyPageApproxGraphics(values_, ui);
    m_pagePoints = new CPropertyPageApproxPoints(values_, ui);
    AddPage(m_pageParams);
    AddPage(m_pageStatistics);
    AddPage(m_pageGraphics);
    AddPage(m_pagePoints);
    InitializePages();
}
