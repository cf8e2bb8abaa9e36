#pragma once

#include <cstdint>
#include <string>

// Something the user should hear about the reading of a file: a part of it that was skipped
// or changed (a problem), or how the file was understood (information). Lines are counted
// from 1; a note about the file as a whole has line 0.
struct CReadingNote {
    std::int64_t firstLine = 0;
    std::int64_t lastLine = 0;
    std::string text;
    bool problem = false;
};
