#include "dialogs/property_page_specimen_info.h"

#include "dialogs/data_exchange.h"
#include "dialogs/page_layout.h"
#include "document/specimen_sheet.h"

#include <QComboBox>
#include <QRegularExpressionValidator>

namespace {

constexpr int kMaxNameChars = 20;

// An editable drop-down with its presets in sorted order; typed texts are not added.
QComboBox* MakeCombo(QWidget* parent, QStringList presets) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    presets.sort(Qt::CaseInsensitive);
    combo->addItems(presets);
    return combo;
}

} // namespace

CPropertyPageSpecimenInfo::CPropertyPageSpecimenInfo(CPropertySheetSpecimen& values,
                                                     CUserInteraction& ui)
    : CPropertyPage("Info", "::/html/cari0206.htm#display_specinfo", ui), values_(values) {
    auto* grid = new QGridLayout(this);
    AddRow(grid, "Name or label:", m_editName = MakeEdit(this));
    AddRow(grid, "Locality:", m_editLocality = MakeEdit(this));
    AddRow(grid, "Sex:", m_wndSex = MakeCombo(this, {"Male", "Female"}));
    AddRow(grid, "Stage:", m_wndStage = MakeCombo(this, {"Adult", "Juvenil"}));
    grid->setRowStretch(grid->rowCount(), 1);
    // Typing stops at the limit, but a longer name from the file is shown whole (a maximum
    // length would cut it silently) and then refused on OK.
    m_editName->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^.{0,%1}$").arg(kMaxNameChars)), m_editName));
}

void CPropertyPageSpecimenInfo::DoDataExchange(CDataExchange& dx) {
    dx.Text(m_editName, values_.m_strName);
    dx.MaxChars(values_.m_strName, kMaxNameChars);
    dx.Text(m_editLocality, values_.m_strLocality);
    dx.ComboText(m_wndSex, values_.m_strSex);
    dx.ComboText(m_wndStage, values_.m_strStage);
}
