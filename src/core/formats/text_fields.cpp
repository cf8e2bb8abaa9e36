#include "formats/text_fields.h"

#include <charconv>
#include <cmath>

std::vector<std::string_view> SplitAtBlanks(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

namespace {

// from_chars takes no plus sign; one is allowed before the digits.
std::string_view WithoutPlus(std::string_view field) {
    if (field.starts_with('+') && !field.substr(1).starts_with('-'))
        field.remove_prefix(1);
    return field;
}

} // namespace

std::optional<float> FieldNumber(std::string_view field) {
    field = WithoutPlus(field);
    float value = 0.0f;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long long> FieldInteger(std::string_view field) {
    field = WithoutPlus(field);
    long long value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size())
        return std::nullopt;
    return value;
}
