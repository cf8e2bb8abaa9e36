#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The "convert" command: every specimen of the outline files written as a TPS file of its own
// into outDir, named after the specimen (see exit_status.h for what it returns).
int RunConvert(const std::vector<std::string>& files, const std::string& outDir, std::ostream& out,
               std::ostream& err);
