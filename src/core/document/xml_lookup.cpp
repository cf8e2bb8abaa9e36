#include "document/xml_lookup.h"

namespace {

// Visits the descendant nodes of `scope` in document order without recursion; `visit` returns
// whether to walk into the node's children, `leave` is told of each node whose children were
// walked, after them.
template <typename Visit, typename Leave>
void WalkNodes(pugi::xml_node scope, Visit visit, Leave leave) {
    pugi::xml_node node = scope.first_child();
    while (node) {
        if (visit(node)) {
            if (const pugi::xml_node child = node.first_child()) {
                node = child;
                continue;
            }
            leave(node);
        }
        pugi::xml_node next = node.next_sibling();
        while (!next) {
            node = node.parent();
            if (node == scope)
                return;
            leave(node);
            next = node.next_sibling();
        }
        node = next;
    }
}

template <typename Visit> void WalkNodes(pugi::xml_node scope, Visit visit) {
    WalkNodes(scope, visit, [](pugi::xml_node) {});
}

// Whether an element's name is `wanted`, without measuring the name first: most names differ
// from the wanted ones in their first character.
bool NameIs(const char* name, std::string_view wanted) {
    for (const char c : wanted)
        if (*name++ != c)
            return false;
    return *name == '\0';
}

bool IsText(pugi::xml_node node) {
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

} // namespace

void CXmlSubtree::Index(pugi::xml_node scope) {
    elements_.clear();
    open_.clear();
    elements_.push_back({scope, scope.name(), 0});
    WalkNodes(
        scope,
        [&](pugi::xml_node node) {
            if (node.type() != pugi::node_element)
                return false;
            open_.push_back(static_cast<std::uint32_t>(elements_.size()));
            elements_.push_back({node, node.name(), 0});
            return true;
        },
        [&](pugi::xml_node) {
            elements_[open_.back()].end = static_cast<std::uint32_t>(elements_.size());
            open_.pop_back();
        });
    elements_.front().end = static_cast<std::uint32_t>(elements_.size());
}

CXmlLookup::CXmlLookup(pugi::xml_node scope, std::initializer_list<std::string_view> names,
                       std::string_view excluded) {
    CXmlSubtree tree;
    tree.Index(scope);
    *this = CXmlLookup(tree, 0, names, excluded);
}

CXmlLookup::CXmlLookup(const CXmlSubtree& tree, std::size_t scope,
                       std::initializer_list<std::string_view> names, std::string_view excluded)
    : scope_(tree.Elements()[scope].node) {
    entries_.reserve(names.size());
    for (std::string_view name : names)
        entries_.push_back({name, 0, kNone, {}});
    Collect(tree, scope, excluded);
}

// The names are mostly met in the order asked for, so the search starts after the last match.
std::size_t CXmlLookup::Match(const char* name, std::size_t& hint) const {
    const std::size_t n = entries_.size();
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t i = hint + k < n ? hint + k : hint + k - n;
        if (NameIs(name, entries_[i].name)) {
            hint = i + 1 < n ? i + 1 : 0;
            return i;
        }
    }
    return kNone;
}

void CXmlLookup::Collect(const CXmlSubtree& tree, std::size_t scope, std::string_view excluded) {
    const std::vector<CXmlSubtree::Element>& elements = tree.Elements();
    std::size_t hint = 0;
    std::size_t at = scope + 1;
    while (at < elements[scope].end) {
        const CXmlSubtree::Element& element = elements[at];
        const std::size_t i = Match(element.name, hint);
        if (i != kNone) {
            Entry& entry = entries_[i];
            if (entry.count++ == 0) {
                entry.first = at;
                entry.node = element.node;
            } else {
                entry.count = 2;
            }
        }
        at = !excluded.empty() && NameIs(element.name, excluded) ? element.end : at + 1;
    }
}

const CXmlLookup::Entry* CXmlLookup::Find(std::string_view name) const {
    for (const Entry& entry : entries_)
        if (entry.name == name)
            return &entry;
    return nullptr;
}

pugi::xml_node CXmlLookup::Unique(std::string_view name) const {
    const Entry* entry = Find(name);
    return entry && entry->count == 1 ? entry->node : pugi::xml_node();
}

std::size_t CXmlLookup::UniqueAt(std::string_view name) const {
    const Entry* entry = Find(name);
    return entry && entry->count == 1 ? entry->first : kNone;
}

int CXmlLookup::Count(std::string_view name) const {
    const Entry* entry = Find(name);
    return entry ? entry->count : 0;
}

bool VisitElementsWithin(pugi::xml_node scope, int maxDepth,
                         const std::function<void(pugi::xml_node)>& visit) {
    int depth = 0;
    bool tooDeep = false;
    WalkNodes(
        scope,
        [&](pugi::xml_node node) {
            if (tooDeep || node.type() != pugi::node_element)
                return false;
            if (depth + 1 > maxDepth) {
                tooDeep = true;
                return false;
            }
            visit(node);
            ++depth;
            return true;
        },
        [&](pugi::xml_node) { --depth; });
    return !tooDeep;
}

std::string TextContent(pugi::xml_node element) {
    std::string storage;
    const std::string_view text = TextContentView(element, storage);
    return text.data() == storage.data() ? storage : std::string(text);
}

std::string_view TextContentView(pugi::xml_node element, std::string& storage) {
    storage.clear();
    const char* own = element.value();
    const pugi::xml_node first = element.first_child();
    if (!first)
        return own;
    if (*own == '\0' && first == element.last_child() && IsText(first))
        return first.value();
    storage += own;
    WalkNodes(element, [&](pugi::xml_node node) {
        const bool isElement = node.type() == pugi::node_element;
        if (isElement || IsText(node))
            storage += node.value();
        return isElement;
    });
    return storage;
}
