#pragma once

#include <cstddef>
#include <string_view>

// What the parsed tree of a document text and the records read from it take in memory,
// counted from the text before it is parsed, so that a file of countless tiny elements is
// refused instead of filling the memory. Every count is an upper bound on what the parser
// (with the reader's options) and the reader make of the text.
struct CXmlFootprint {
    std::size_t nodes = 0; // elements and texts that are not an element's first content
    std::size_t attributes = 0;
    std::size_t records = 0; // SpecimenRecord elements, each read into a whole record

    static CXmlFootprint Of(std::string_view text);
    // The bytes these take; the point lists come on top, bounded by their text's length.
    std::size_t Bytes() const;
};
