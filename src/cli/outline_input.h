#pragma once

#include "formats/specimen_file.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

// Reads every specimen of an input named on the command line ("-" is standard input; an
// image is traced with the default settings) and
// tells on `err` what became of it: a summary line, and each note on a line of its own when
// something was skipped or changed that the summary only counts.
CSpecimenFile ReadOutlineInput(const std::string& input, std::ostream& err);

// The exit status that reading an input gives: kExitOk when every specimen was read,
// kExitPartial when something was skipped or changed, kExitFailure when it gave nothing or
// could not be read to its end.
int ExitStatusOf(const CSpecimenFile& file);

// The worse of two exit statuses (failure before partial before success).
int WorseExitStatus(int a, int b);

// Appends the specimens of every input to `specimens`; the worst exit status of the inputs.
int ReadOutlineInputs(const std::vector<std::string>& inputs,
                      std::vector<std::unique_ptr<CSpecimen>>& specimens, std::ostream& err);
