#pragma once

#include <string>

// printf-style formatting in the "C" numeric locale, whatever locale the process runs in (the
// GUI toolkit switches the process to the user's locale). Used for every text whose number
// format is fixed: file contents, drawn labels, tool tips.
std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));
