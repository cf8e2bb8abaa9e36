#pragma once

#include <string>
#include <string_view>

// Text from outside the program (outline files, file names, documents written elsewhere) is
// stored as UTF-8. Digitising programs on Windows write their text fields in Windows-1252,
// so text that is not valid UTF-8 is taken to be that.

// Strict UTF-8: no overlong forms, no surrogates, nothing beyond U+10FFFF.
bool IsValidUtf8(std::string_view text);

// The text as UTF-8: unchanged when it is valid UTF-8, otherwise every byte read as a
// Windows-1252 character (the five bytes that code has no character for become the C1
// control characters of the same number).
std::string Utf8FromExternalText(std::string_view text);

// The UTF-8 text without control characters other than tab (C0, DEL and C1).
std::string WithoutControlCharacters(std::string_view utf8);

// The text as an XML 1.0 document may hold it: made UTF-8 as Utf8FromExternalText does, then
// without the characters XML 1.0 forbids (controls other than tab, line feed and carriage
// return, U+FFFE and U+FFFF), which no character reference may stand for either.
std::string XmlSafeText(std::string_view text);
