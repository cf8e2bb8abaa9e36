#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The elements of a subtree in document order, each with the end of its own subtree, so that
// look-ups in the scopes nested inside it need no further walk over the tree.
class CXmlSubtree {
public:
    struct Element {
        pugi::xml_node node;
        const char* name;
        std::uint32_t end; // one past the last element of its subtree
    };

    // Replaces the index with `scope` (at 0) and its descendant elements; storage is reused.
    void Index(pugi::xml_node scope);
    const std::vector<Element>& Elements() const { return elements_; }

private:
    std::vector<Element> elements_;
    std::vector<std::uint32_t> open_;
};

// Values are looked up by name among all descendants of an element, not only its children,
// and count only when exactly one element has that name. One pass over the element's subtree
// answers all names of interest, so reading a record costs one pass however many values it
// holds. Every walk here is iterative: nesting depth cannot exhaust the stack.
class CXmlLookup {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // Indexes the descendants of `scope` named in `names`; subtrees of elements named
    // `excluded` are left out (the elements themselves count).
    CXmlLookup(pugi::xml_node scope, std::initializer_list<std::string_view> names,
               std::string_view excluded = {});
    // The same for the element at `scope` of an indexed subtree.
    CXmlLookup(const CXmlSubtree& tree, std::size_t scope,
               std::initializer_list<std::string_view> names, std::string_view excluded = {});

    // The one element with that name; an empty node when there is none or several, and for a
    // name that was not indexed.
    pugi::xml_node Unique(std::string_view name) const;
    // Its position in the indexed subtree; kNone where Unique gives an empty node.
    std::size_t UniqueAt(std::string_view name) const;
    // How many elements have the name, counted up to 2.
    int Count(std::string_view name) const;
    // The element whose descendants were indexed.
    pugi::xml_node Scope() const { return scope_; }

private:
    struct Entry {
        std::string_view name;
        int count = 0;
        std::size_t first = kNone;
        pugi::xml_node node;
    };
    void Collect(const CXmlSubtree& tree, std::size_t scope, std::string_view excluded);
    std::size_t Match(const char* name, std::size_t& hint) const;
    const Entry* Find(std::string_view name) const;

    std::vector<Entry> entries_;
    pugi::xml_node scope_;
};

// Visits the elements below `scope` in document order. Returns false, having stopped there, at
// the first element more than `maxDepth` levels below `scope`.
bool VisitElementsWithin(pugi::xml_node scope, int maxDepth,
                         const std::function<void(pugi::xml_node)>& visit);

// The text content of an element: all its descendant text, in document order. Text a parser
// embedded as an element's value counts as that element's first text.
std::string TextContent(pugi::xml_node element);
// The same as a view: of the element's only text when it has just that (no copy), else of
// `storage`, which then holds the joined text. Valid while both live.
std::string_view TextContentView(pugi::xml_node element, std::string& storage);
