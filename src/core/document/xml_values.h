#pragma once

#include "model/fpoint.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The text form of the values in a document file. Numbers are written and read in the "C"
// number format whatever the user's locale, so a file reads the same everywhere.

// "True" or "False".
std::string FormatBoolValue(bool value);
// "%d", "%u" and "%f".
std::string FormatIntValue(int value);
std::string FormatUnsignedValue(std::uint32_t value);
std::string FormatFloatValue(float value);
// "%0.4f %0.4f".
std::string FormatPointValue(FPoint point);
// Each point as x, a space, y, a space; the coordinates with three decimals less their
// trailing zeros (2.5 3, 0 0, -1.25 10).
std::string FormatPointListValue(const std::vector<FPoint>& points);

// "true" or "false" in any case sets the flag; any other text leaves it as it was.
void ParseBoolValue(std::string_view text, bool& value);
// Leading blanks, a sign and the digits that follow; 0 when there are none. Out-of-range
// values saturate.
int ParseIntValue(std::string_view text);
// As ParseIntValue, but the full unsigned 32-bit range reads back as written (values are kept
// modulo 2^32, so a negative number written as unsigned returns to itself).
std::uint32_t ParseUnsignedValue(std::string_view text);
// The longest number at the start after leading blanks, as the C library reads it; 0 when
// there is none.
float ParseFloatValue(std::string_view text);
// Two numbers as "%f %f"; a coordinate that cannot be read keeps its value.
void ParsePointValue(std::string_view text, FPoint& point);
// Appends the points of a point list to `points` (which is not cleared). Each step reads two
// numbers from the start of the remaining text and then drops the text up to and including
// its second space; reading stops at the first pair that cannot be read.
void ParsePointListValue(std::string_view text, std::vector<FPoint>& points);
