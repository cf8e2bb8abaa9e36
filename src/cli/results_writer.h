#pragma once

#include "morphospace_outputs.h"

#include <iosfwd>
#include <string>

class CCarinovaDoc;

// Everything a batch run leaves behind, written into outDir as one unit: the document itself
// (under documentName), the data export, the pairwise tables, the pictures, the morphospace and
// the PDF report. On failure a message goes to err and outDir holds nothing of this run.
bool WriteResults(CCarinovaDoc& doc, const std::string& outDir, const std::string& documentName,
                  int decimals, const CMorphospaceOptions& morphospace, std::ostream& err);

// A short table of the cluster members with their fit errors and their comparison with the
// reference.
void PrintClusterSummary(const CCarinovaDoc& doc, std::ostream& out);
