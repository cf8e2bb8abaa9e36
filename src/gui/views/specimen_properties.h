#pragma once

#include "document/specimen_sheet.h"
#include "drawing/specimen_view_settings.h"

class CSpecimen;

// The specimen sheet "Specimen" for one specimen and the single view's drawing switches: the
// file data and statistics as texts, the drawing settings and the user's information.
CPropertySheetSpecimen MakeSpecimenSheet(const CSpecimen& specimen,
                                         const CSpecimenViewSettings& settings, bool hasApprox);

// Writes back what the sheet lets the user change; the file data stay as read. A changed
// transformation switch recomputes the statistics and halves.
void ApplySpecimenSheet(const CPropertySheetSpecimen& sheet, CSpecimen& specimen,
                        CSpecimenViewSettings& settings);
