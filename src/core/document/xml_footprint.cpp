#include "document/xml_footprint.h"

#include "cluster/cluster_data.h"
#include "cluster/specimen_record.h"
#include "model/approx_specimen.h"
#include "model/specimen.h"

#include <algorithm>
#include <cstring>

namespace {

// pugixml keeps eight pointer-sized fields per node and five per attribute.
constexpr std::size_t kNodeBytes = 8 * sizeof(void*);
constexpr std::size_t kAttributeBytes = 5 * sizeof(void*);
// A record is read whole, with both approximations and its cluster data, before it is kept.
constexpr std::size_t kRecordBytes = sizeof(CSpecimenRecord) + sizeof(CSpecimen) +
                                     2 * sizeof(CApproxSpecimen) + sizeof(CClusterData) +
                                     8 * sizeof(void*);

constexpr std::string_view kRecordName = "SpecimenRecord";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Whether the tag at `name` (just after its '<') is a SpecimenRecord start tag.
bool IsRecordTag(const char* name, const char* end) {
    const std::size_t left = static_cast<std::size_t>(end - name);
    if (left <= kRecordName.size() || std::memcmp(name, kRecordName.data(), kRecordName.size()))
        return false;
    const char next = name[kRecordName.size()];
    return next == '>' || next == '/' || IsBlank(next);
}

// Whether the text between two tags becomes a node of its own. Text right after a start tag is
// that element's first content and is kept inside it; blank text between elements is dropped.
// A '>' inside the text means the previous tag held a quoted '>' and ended here instead.
bool IsNodeText(const char* from, const char* to, bool afterStartTag) {
    const auto length = static_cast<std::size_t>(to - from);
    if (afterStartTag && !std::memchr(from, '>', length))
        return false;
    return std::any_of(from, to, [](char c) { return !IsBlank(c); });
}

} // namespace

CXmlFootprint CXmlFootprint::Of(std::string_view text) {
    CXmlFootprint f;
    f.attributes = static_cast<std::size_t>(std::count(text.begin(), text.end(), '='));
    const char* p = text.data();
    const char* const end = p + text.size();
    bool afterStartTag = false;
    while (p < end) {
        const auto* open = static_cast<const char*>(std::memchr(p, '<', static_cast<std::size_t>(end - p)));
        if (IsNodeText(p, open ? open : end, afterStartTag))
            ++f.nodes;
        if (!open || open + 1 == end)
            break;
        // Everything but an end tag may be a node: elements, and (counted generously) comments,
        // CDATA sections and processing instructions.
        const char kind = open[1];
        if (kind != '/') {
            ++f.nodes;
            if (IsRecordTag(open + 1, end))
                ++f.records;
        }
        const auto* close =
            static_cast<const char*>(std::memchr(open + 1, '>', static_cast<std::size_t>(end - open - 1)));
        if (!close)
            break;
        afterStartTag = kind != '/' && kind != '!' && kind != '?' && close[-1] != '/';
        p = close + 1;
    }
    return f;
}

std::size_t CXmlFootprint::Bytes() const {
    return nodes * kNodeBytes + attributes * kAttributeBytes + records * kRecordBytes;
}
