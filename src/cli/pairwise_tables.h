#pragma once

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <string>

class CCarinovaDoc;
class CProgress;
struct CNumberLocale;

// Where the four pairwise tables go (paths in the staging folder); an empty path leaves that
// table out.
struct CPairwiseTableFiles {
    std::filesystem::path rms;     // root mean square of the delta vectors
    std::filesystem::path dorsal;  // areas between the dorsal curves
    std::filesystem::path ventral; // ... the ventral curves
    std::filesystem::path total;   // ... both
};

// Writes the pairwise tables of the cluster as tab-separated text, "n.c." where an area cannot
// be computed: a header row, then one row per member. The rows are computed and written block
// by block (`blockRows` rows at a time, on all cores), so memory grows with the member count,
// not with its square. Each pair's areas are computed once, for its row; the mirrored entries
// wait in an unnamed temporary file beside the tables until their row comes. False with a
// message on err when a table cannot be written.
bool WritePairwiseTables(const CCarinovaDoc& doc, const CPairwiseTableFiles& files,
                         const CNumberLocale& locale, CProgress& progress, std::ostream& err,
                         std::size_t blockRows = 64);
