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
    const auto left = static_cast<std::size_t>(end - name);
    if (left <= kRecordName.size() || std::memcmp(name, kRecordName.data(), kRecordName.size()))
        return false;
    const char next = name[kRecordName.size()];
    return next == '>' || next == '/' || IsBlank(next);
}

const char* Find(const char* from, const char* end, char c) {
    const void* found = std::memchr(from, c, static_cast<std::size_t>(end - from));
    return found ? static_cast<const char*>(found) : end;
}

// The '>' that ends the start tag at `from`, past quoted attribute values as the parser reads
// them; each '=' may begin an attribute.
const char* EndOfStartTag(const char* from, const char* end, std::size_t& attributes) {
    // Without '=' a tag has no attribute, so no quoted value that could hold a '>'.
    const char* close = Find(from, end, '>');
    if (!std::memchr(from, '=', static_cast<std::size_t>(close - from)))
        return close;
    for (const char* c = from; c < end; ++c) {
        if (*c == '>')
            return c;
        if (*c == '=')
            ++attributes;
        else if ((*c == '"' || *c == '\'') && (c = Find(c + 1, end, *c)) == end)
            return end;
    }
    return end;
}

// Text that follows anything but a start tag becomes a node of its own unless it is blank;
// right after a start tag it is that element's first content and is kept inside it.
bool IsNodeText(const char* from, const char* to) {
    return std::any_of(from, to, [](char c) { return !IsBlank(c); });
}

} // namespace

CXmlFootprint CXmlFootprint::Of(std::string_view text) {
    CXmlFootprint f;
    const char* p = text.data();
    const char* const end = p + text.size();
    bool afterStartTag = false;
    while (p < end) {
        const char* open = Find(p, end, '<');
        if (!afterStartTag && IsNodeText(p, open))
            ++f.nodes;
        if (end - open < 2)
            break;
        const char kind = open[1];
        const char* close = nullptr;
        if (kind == '/' || kind == '!' || kind == '?') {
            // End tags make no node; comments, CDATA sections, declarations are counted as
            // one each. Whatever they hold that looks like markup is counted too: never less.
            close = Find(open + 2, end, '>');
            f.nodes += kind == '/' ? 0 : 1;
            afterStartTag = false;
        } else {
            ++f.nodes;
            if (IsRecordTag(open + 1, end))
                ++f.records;
            close = EndOfStartTag(open + 1, end, f.attributes);
            afterStartTag = close < end && close[-1] != '/';
        }
        if (close >= end)
            break;
        p = close + 1;
    }
    return f;
}

std::size_t CXmlFootprint::Bytes() const {
    return nodes * kNodeBytes + attributes * kAttributeBytes + records * kRecordBytes;
}
