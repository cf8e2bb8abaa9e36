#pragma once

#include <string>
#include <vector>

class CSpecimenRecord;
struct CNumberLocale;

// The tab-separated text of the cluster data export: file data of each member, with a
// reference its comparison values, and the control points (and delta vectors) of each
// member's cluster approximation. Numbers in the user's format; line feeds as "\n".
std::string FormatClusterDataExport(const std::vector<CSpecimenRecord*>& records, bool hasReference,
                                    int controlPointsCnt, const CNumberLocale& locale);

// A tab or line break inside a text would shift or split a tab-separated table; it is written
// as a space.
std::string TableCell(const std::string& text);
