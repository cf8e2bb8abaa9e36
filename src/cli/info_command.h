#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The "info" command: every specimen of the given outline files, one row each with its
// statistics, as an aligned table or (tsv) tab-separated for scripts. A file that cannot be
// read is reported on err and the others are still listed. Returns 0 when every file gave at
// least one specimen, 1 otherwise.
int RunInfo(const std::vector<std::string>& files, bool tsv, std::ostream& out, std::ostream& err);
