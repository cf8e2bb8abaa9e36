#include "document/xml_values.h"

#include "platform/scan_format.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

// The blanks the scanner skips, so that the windows below end where it would stop.
bool IsBlank(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80) // the same in every locale
        return u == ' ' || (u >= '\t' && u <= '\r');
    return std::isspace(u) != 0;
}

// `value` with `decimals` (at most 6) decimals as std::to_chars writes it in fixed notation:
// the exact binary value rounded to nearest, ties to even. For a finite value below 10^9 the
// product with 10^decimals is exact in double (24 + 20 bits) and below 2^52, so adding and
// taking away 2^52 rounds it to the integer of the digits just so (double arithmetic, no
// wider intermediates on this target); the rest, and infinities and NaNs, go to to_chars.
void AppendFixed(std::string& out, float value, int decimals) {
    constexpr double kScale[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
    const double magnitude = std::fabs(static_cast<double>(value));
    if (!(magnitude < 1e9) || decimals < 0 || decimals > 6) {
        char buffer[400]; // enough for the largest float with its decimals
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                     std::chars_format::fixed, decimals);
        out.append(buffer, r.ptr);
        return;
    }
    constexpr double kTwo52 = 4503599627370496.0;
    const double shifted = magnitude * kScale[decimals] + kTwo52;
    auto digits = static_cast<std::uint64_t>(shifted - kTwo52);
    char buffer[32];
    char* end = buffer + sizeof buffer;
    char* p = end;
    for (int d = 0; d < decimals; ++d) {
        *--p = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    if (decimals > 0)
        *--p = '.';
    do {
        *--p = static_cast<char>('0' + digits % 10);
        digits /= 10;
    } while (digits != 0);
    if (std::signbit(value))
        *--p = '-';
    out.append(p, end);
}

// A coordinate with three decimals, less the zeros and the point they leave at the end.
void AppendShortCoordinate(std::string& out, float value) {
    const std::size_t start = out.size();
    AppendFixed(out, value, 3);
    const std::string_view text(out.data() + start, out.size() - start);
    if (text.find('.') != std::string_view::npos) {
        out.erase(out.find_last_not_of('0') + 1);
        if (out.back() == '.')
            out.pop_back();
    }
}

// Leading blanks, a sign and digits; the value saturates at the bounds of `long long`.
long long ParseLeadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (value > (LLONG_MAX - digit) / 10)
            return negative ? LLONG_MIN : LLONG_MAX;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

// Reads a point list in one pass although every step starts again at the front of the
// remaining text: the blank runs and the last pair read are remembered, so text that a step
// only partly consumes (long runs of blanks) is not scanned again and again.
class CPointListScanner {
public:
    explicit CPointListScanner(std::string_view text) : text_(text) {}

    void AppendTo(std::vector<FPoint>& points) {
        std::size_t start = 0;
        while (start < text_.size()) {
            FPoint point;
            std::size_t next = PlainPair(start, point);
            if (next == std::string_view::npos) {
                if (!ScanPair(start, point))
                    return;
                next = AfterSecondSpace(start);
            }
            start = next;
            points.push_back(point);
        }
    }

private:
    struct Run {
        std::size_t from = std::string_view::npos;
        std::size_t to = 0;
    };

    std::size_t SkipBlanks(std::size_t at) {
        for (int i = 0; i < 2; ++i)
            if (runs_[i].from <= at && at <= runs_[i].to) {
                lastRun_ = i;
                return runs_[i].to;
            }
        std::size_t to = at;
        while (to < text_.size() && IsBlank(text_[to]))
            ++to;
        lastRun_ = 1 - lastRun_;
        runs_[lastRun_] = {at, to};
        return to;
    }

    std::size_t SkipToken(std::size_t at) const {
        while (at < text_.size() && !IsBlank(text_[at]))
            ++at;
        return at;
    }

    // The pair as the writer lays it out, "x y " with single spaces: the step below gives the
    // same point and the same next start (after y's space), without the windows. npos for any
    // other layout, which the general step takes.
    std::size_t PlainPair(std::size_t start, FPoint& point) const {
        constexpr std::size_t kNone = std::string_view::npos;
        FPoint read;
        const std::size_t xEnd = ScanPlainDecimal(text_, start, read.x);
        if (xEnd == kNone || xEnd + 1 >= text_.size() || text_[xEnd] != ' ')
            return kNone;
        const std::size_t yEnd = ScanPlainDecimal(text_, xEnd + 1, read.y);
        if (yEnd == kNone || (yEnd < text_.size() && text_[yEnd] != ' '))
            return kNone;
        point = read;
        return yEnd < text_.size() ? yEnd + 1 : yEnd;
    }

    // "%f %f" at `start`. The numbers cannot reach past the second blank-separated token, so
    // the scanner only sees that window.
    bool ScanPair(std::size_t start, FPoint& point) {
        const std::size_t first = SkipBlanks(start);
        if (first != cachedAt_) {
            const std::size_t firstEnd = SkipToken(first);
            const std::size_t secondEnd = SkipToken(SkipBlanks(firstEnd));
            cachedOk_ =
                ScanFloatPair(text_.substr(first, secondEnd - first), cached_.x, cached_.y) == 2;
            cachedAt_ = first;
        }
        point = cached_;
        return cachedOk_;
    }

    // The text after the second space from `start`, or its end when there is no second one.
    std::size_t AfterSecondSpace(std::size_t start) const {
        const std::size_t a = text_.find(' ', start);
        if (a == std::string_view::npos)
            return text_.size();
        const std::size_t b = text_.find(' ', a + 1);
        return b == std::string_view::npos ? text_.size() : b + 1;
    }

    std::string_view text_;
    Run runs_[2];
    int lastRun_ = 0;
    std::size_t cachedAt_ = std::string_view::npos;
    bool cachedOk_ = false;
    FPoint cached_;
};

} // namespace

std::string FormatBoolValue(bool value) {
    return value ? "True" : "False";
}

std::string FormatIntValue(int value) {
    return std::to_string(value);
}

std::string FormatUnsignedValue(std::uint32_t value) {
    return std::to_string(value);
}

std::string FormatFloatValue(float value) {
    std::string out;
    AppendFixed(out, value, 6);
    return out;
}

std::string FormatPointValue(FPoint point) {
    std::string out;
    AppendFixed(out, point.x, 4);
    out += ' ';
    AppendFixed(out, point.y, 4);
    return out;
}

std::string FormatPointListValue(const std::vector<FPoint>& points) {
    std::string out;
    out.reserve(points.size() * 16);
    for (const FPoint& p : points) {
        AppendShortCoordinate(out, p.x);
        out += ' ';
        AppendShortCoordinate(out, p.y);
        out += ' ';
    }
    return out;
}

void ParseBoolValue(std::string_view text, bool& value) {
    const auto equals = [text](std::string_view word) {
        if (text.size() != word.size())
            return false;
        for (std::size_t i = 0; i < word.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(text[i])) != word[i])
                return false;
        return true;
    };
    if (equals("true"))
        value = true;
    else if (equals("false"))
        value = false;
}

int ParseIntValue(std::string_view text) {
    const long long v = ParseLeadingInteger(text);
    return static_cast<int>(v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : v));
}

std::uint32_t ParseUnsignedValue(std::string_view text) {
    return static_cast<std::uint32_t>(static_cast<unsigned long long>(ParseLeadingInteger(text)));
}

float ParseFloatValue(std::string_view text) {
    float value = 0.0f;
    return Scan(text, "%f", &value) == 1 ? value : 0.0f;
}

void ParsePointValue(std::string_view text, FPoint& point) {
    FPoint read = point;
    const int count = Scan(text, "%f %f", &read.x, &read.y);
    if (count >= 1)
        point.x = read.x;
    if (count >= 2)
        point.y = read.y;
}

void ParsePointListValue(std::string_view text, std::vector<FPoint>& points) {
    // Room for the pairs at one point per two blanks, bounded by a short pair per four
    // characters so that a text of blanks cannot claim more than it holds.
    const auto blanks = static_cast<std::size_t>(std::count(text.begin(), text.end(), ' '));
    points.reserve(points.size() + std::min(blanks / 2 + 1, text.size() / 4 + 1));
    CPointListScanner(text).AppendTo(points);
}
