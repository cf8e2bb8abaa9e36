#pragma once

#include <string>
#include <vector>

class CCarinovaDoc;
class COutputFolder;
struct CNumberLocale;

// The tables of an analysed cluster as tab-separated text: the pairwise tables (root mean
// square of the delta vectors, areas dorsal, ventral and total; "n.c." where an area cannot
// be computed) and a one-line-per-member summary.
enum class CPairwiseTable { MeanDeltaQuadrat, AreaDorsal, AreaVentral, AreaTotal };

std::string FormatPairwiseTable(const CCarinovaDoc& doc, CPairwiseTable table,
                                const CNumberLocale& locale);

// Writes the document, the data export and the pairwise tables into the staging folder;
// false with a message on err when a file cannot be written.
bool WriteAnalysisTables(CCarinovaDoc& doc, COutputFolder& folder, const CNumberLocale& locale,
                         std::ostream& err);
