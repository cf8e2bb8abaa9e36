#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <memory>

class CApproxSpecimen;
class CBSpline;
class CClusterParameter;
class CSpecimen;
class CXmlSubtree;
struct CClusterData;

// The subtrees of the document file for the model's objects. Each writer appends one element
// named after the object's role to `parent`; each reader fills an object from such an element.

void WriteSpecimen(pugi::xml_node parent, const CSpecimen& specimen);
// `name` is "ApproxSpecimen" or "ApproxCluster".
void WriteApproximation(pugi::xml_node parent, const char* name, const CApproxSpecimen& approx);
void WriteClusterData(pugi::xml_node parent, const CClusterData& data);
// The sixteen values; returns the `ClusterParameterValues` element, which the caller completes
// with the mean record.
pugi::xml_node WriteClusterParameter(pugi::xml_node parent, const CClusterParameter& parameter);
// A new last child of `parent`; throws CXmlDomError when memory runs out.
pugi::xml_node AppendElement(pugi::xml_node parent, const char* name);
// An element holding "True" or "False".
void WriteBool(pugi::xml_node parent, const char* name, bool value);

// Each reader takes its element as a position in an indexed subtree that holds it.

// A new specimen from its element; its halves are rebuilt from the stored statistics.
std::unique_ptr<CSpecimen> ReadSpecimen(const CXmlSubtree& tree, std::size_t element);
// Without exactly one ApproxLower and one ApproxUpper, reading stops after the display flags.
void ReadApproximation(const CXmlSubtree& tree, std::size_t element, CApproxSpecimen& approx);
void ReadClusterData(const CXmlSubtree& tree, std::size_t element, CClusterData& data);
// From the `ClusterParameterValues` element; the mean record's subtree does not count.
void ReadClusterParameterValues(const CXmlSubtree& tree, std::size_t element,
                                CClusterParameter& parameter);
