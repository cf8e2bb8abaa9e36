#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A small sscanf for the line patterns of the outline readers: "%d", "%f" and "%s"
// conversions, white space in the pattern matching any run of white space (also none), other
// characters matching themselves. Numbers are read in the "C" locale whatever the user's
// locale. As with sscanf, the text ends at its first NUL; the result is the number of
// conversions assigned, or -1 when the text ran out before the first conversion.
using ScanTarget = std::variant<int*, float*, std::string*>;

int ScanFormat(std::string_view text, std::string_view format,
               const std::vector<ScanTarget>& targets);
int ScanFormat(std::string_view text, std::string_view format, std::span<const ScanTarget> targets);

// The targets live on the stack: readers scan every line.
template <typename... Args>
int Scan(std::string_view text, std::string_view format, Args*... args) {
    const std::array<ScanTarget, sizeof...(Args)> targets{ScanTarget(args)...};
    return ScanFormat(text, format, std::span<const ScanTarget>(targets));
}

// Scan(text, "%f %f", &x, &y) with its result and values, read directly when the text starts
// with two plain decimals (sign, digits and a point, no exponent, each followed by a blank or
// the end) as outline point lines do; any other text goes to ScanFormat.
int ScanFloatPair(std::string_view text, float& x, float& y);

// A plain decimal at `at` as "%f" reads it (sign, digits and a point, at most seven
// significant digits and ten decimals, no exponent) that ends at a blank or the end of `text`:
// the position after it, or npos when the text there takes another form.
std::size_t ScanPlainDecimal(std::string_view text, std::size_t at, float& value);
