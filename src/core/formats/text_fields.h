#pragma once

#include <optional>
#include <string_view>
#include <vector>

// The pieces of a line of the column formats, and the numbers in them, read in the "C" locale.

// The fields of a line split at blanks (spaces and tabs), empty fields left out.
std::vector<std::string_view> SplitAtBlanks(std::string_view line);

// A whole field as a finite number (a leading '+' allowed); none for anything else, including
// "nan", "inf" and values beyond the float range.
std::optional<float> FieldNumber(std::string_view field);

// A whole field as an integer.
std::optional<long long> FieldInteger(std::string_view field);
