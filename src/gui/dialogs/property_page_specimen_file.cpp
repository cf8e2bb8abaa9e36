#include "dialogs/property_page_specimen_file.h"

#include "dialogs/data_exchange.h"
#include "dialogs/page_layout.h"
#include "document/specimen_sheet.h"

CPropertyPageSpecimenFile::CPropertyPageSpecimenFile(CPropertySheetSpecimen& values,
                                                     CUserInteraction& ui)
    : CPropertyPage("File", "::/html/cari0206.htm#display_specfile", ui), values_(values) {
    auto* grid = new QGridLayout(this);
    AddRow(grid, "Number of points:", m_editPoints = MakeEdit(this, true));
    AddRow(grid, "Filename:", m_editFileName = MakeEdit(this, true));
    AddRow(grid, "Filetyp:", m_editFileType = MakeEdit(this, true));
    AddRow(grid, "Image file:", m_editImageFile = MakeEdit(this, true));
    AddRow(grid, "Scaling factor:", m_editScale = MakeEdit(this, true));
    AddRow(grid, "Identifier:", m_editIdentifier = MakeEdit(this));
    AddRow(grid, "Comment:", m_editComment = MakeEdit(this));
    grid->setRowStretch(grid->rowCount(), 1);
}

// The read-only fields only go out: reading the scale back from its six-digit text would
// round the caller's value.
void CPropertyPageSpecimenFile::DoDataExchange(CDataExchange& dx) {
    if (!dx.m_bSaveAndValidate) {
        dx.Text(m_editPoints, values_.m_nPoints);
        dx.Text(m_editFileName, values_.m_strFileName);
        dx.Text(m_editFileType, values_.m_strFileType);
        dx.Text(m_editImageFile, values_.m_strImageFile);
        dx.Text(m_editScale, values_.m_fScale);
    }
    dx.Text(m_editIdentifier, values_.m_strIdentifier);
    dx.Text(m_editComment, values_.m_strComment);
}
