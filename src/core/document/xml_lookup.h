#pragma once

#include <pugixml.hpp>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Values are looked up by name among all descendants of an element, not only its children,
// and count only when exactly one element has that name. One walk over the element's subtree
// answers all names of interest, so reading a record costs one pass however many values it
// holds. Every walk here is iterative: nesting depth cannot exhaust the stack.
class CXmlLookup {
public:
    // Indexes the descendants of `scope` named in `names`; subtrees of elements named
    // `excluded` are left out (the elements themselves count).
    CXmlLookup(pugi::xml_node scope, std::initializer_list<std::string_view> names,
               std::string_view excluded = {});

    // The one element with that name; an empty node when there is none or several, and for a
    // name that was not indexed.
    pugi::xml_node Unique(std::string_view name) const;
    // How many elements have the name, counted up to 2.
    int Count(std::string_view name) const;

private:
    struct Entry {
        std::string_view name;
        int count = 0;
        pugi::xml_node first;
    };
    const Entry* Find(std::string_view name) const;

    std::vector<Entry> entries_;
};

// All elements named `name` among the descendants of `scope`, in document order.
std::vector<pugi::xml_node> FindDescendants(pugi::xml_node scope, std::string_view name);

// The text content of an element: all its descendant text, in document order.
std::string TextContent(pugi::xml_node element);
// The same as a view: of the element's only text node when it has just that (no copy), else of
// `storage`, which then holds the joined text. Valid while both live.
std::string_view TextContentView(pugi::xml_node element, std::string& storage);

// Whether any element lies more than `maxDepth` levels below `scope`.
bool IsNestedDeeperThan(pugi::xml_node scope, int maxDepth);
