#include "document/xml_lookup.h"

namespace {

// Visits the descendant nodes of `scope` in document order without recursion; `visit` returns
// whether to walk into the node's children.
template <typename Visit> void WalkNodes(pugi::xml_node scope, Visit visit) {
    pugi::xml_node node = scope.first_child();
    while (node) {
        const bool descend = visit(node);
        if (descend && node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != scope && !node.next_sibling())
            node = node.parent();
        if (node == scope)
            return;
        node = node.next_sibling();
    }
}

// As WalkNodes, for elements only.
template <typename Visit> void WalkElements(pugi::xml_node scope, Visit visit) {
    WalkNodes(scope, [&](pugi::xml_node node) {
        return node.type() == pugi::node_element && visit(node);
    });
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

CXmlLookup::CXmlLookup(pugi::xml_node scope, std::initializer_list<std::string_view> names,
                       std::string_view excluded) {
    entries_.reserve(names.size());
    for (std::string_view name : names)
        entries_.push_back({name, 0, {}});
    WalkElements(scope, [&](pugi::xml_node element) {
        const char* name = element.name();
        for (Entry& entry : entries_)
            if (NameIs(name, entry.name)) {
                if (entry.count++ == 0)
                    entry.first = element;
                else
                    entry.count = 2;
                break;
            }
        return excluded.empty() || !NameIs(name, excluded);
    });
}

const CXmlLookup::Entry* CXmlLookup::Find(std::string_view name) const {
    for (const Entry& entry : entries_)
        if (entry.name == name)
            return &entry;
    return nullptr;
}

pugi::xml_node CXmlLookup::Unique(std::string_view name) const {
    const Entry* entry = Find(name);
    return entry && entry->count == 1 ? entry->first : pugi::xml_node();
}

int CXmlLookup::Count(std::string_view name) const {
    const Entry* entry = Find(name);
    return entry ? entry->count : 0;
}

std::vector<pugi::xml_node> FindDescendants(pugi::xml_node scope, std::string_view name) {
    std::vector<pugi::xml_node> found;
    WalkElements(scope, [&](pugi::xml_node element) {
        if (NameIs(element.name(), name))
            found.push_back(element);
        return true;
    });
    return found;
}

std::string TextContent(pugi::xml_node element) {
    std::string storage;
    const std::string_view text = TextContentView(element, storage);
    return text.data() == storage.data() ? storage : std::string(text);
}

std::string_view TextContentView(pugi::xml_node element, std::string& storage) {
    storage.clear();
    const pugi::xml_node only = element.first_child();
    if (only && only == element.last_child() && IsText(only))
        return only.value();
    WalkNodes(element, [&](pugi::xml_node node) {
        if (IsText(node))
            storage += node.value();
        return node.type() == pugi::node_element;
    });
    return storage;
}

bool IsNestedDeeperThan(pugi::xml_node scope, int maxDepth) {
    int depth = 0;
    pugi::xml_node node = scope.first_child();
    while (node) {
        if (node.type() == pugi::node_element && depth + 1 > maxDepth)
            return true;
        if (node.first_child()) {
            node = node.first_child();
            ++depth;
            continue;
        }
        while (node != scope && !node.next_sibling()) {
            node = node.parent();
            --depth;
        }
        if (node == scope)
            return false;
        node = node.next_sibling();
    }
    return false;
}
