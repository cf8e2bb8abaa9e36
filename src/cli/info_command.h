#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The "info" command: every specimen of the given outline files, one row each with its
// statistics, as an aligned table or (tsv) tab-separated for scripts. What became of each file
// is told on err; a file that cannot be read does not stop the others. Returns kExitOk when
// every specimen of every file was read, kExitPartial when something was skipped or changed,
// kExitFailure when a file gave nothing or could not be read to its end.
int RunInfo(const std::vector<std::string>& files, bool tsv, std::ostream& out, std::ostream& err);
