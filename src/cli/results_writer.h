#pragma once

#include "morphospace_outputs.h"
#include "output_options.h"

#include <iosfwd>
#include <string>

class CBatchOutput;
class CCarinovaDoc;
class CProgress;

// Everything a batch run writes besides the document: the data export, the morphospace tables,
// the pairwise tables, the pictures (the morphospace among them) and the PDF report, as
// `outputs` chooses, with numbers of `decimals` decimals. The places are all claimed first, so
// a result that would replace an input is refused before anything is written. False with a
// message on err.
bool WriteResults(const CCarinovaDoc& doc, CBatchOutput& output, const COutputOptions& outputs,
                  const CMorphospaceOptions& morphospace, int decimals, CProgress& progress,
                  std::ostream& err);

// A short table of the cluster members with their fit errors and their comparison with the
// reference.
void PrintClusterSummary(const CCarinovaDoc& doc, std::ostream& out);
