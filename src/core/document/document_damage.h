#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

// A value in a document file that no document can hold: a number that is not finite, a
// coordinate beyond any outline, a count outside the range the dialogs allow. The readers of
// the file's subtrees raise it with the element's offset in the parsed text; opening the file
// then fails as a whole.
class CDocumentDamage : public std::runtime_error {
public:
    // `problem` reads after the element's name: "is not a finite number (nan)".
    CDocumentDamage(const std::string& element, std::ptrdiff_t offset, const std::string& problem)
        : std::runtime_error(element + " " + problem), offset_(offset) {}

    // -1 when the parser cannot tell.
    std::ptrdiff_t Offset() const { return offset_; }

private:
    std::ptrdiff_t offset_;
};
