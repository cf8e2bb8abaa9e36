#pragma once

#include "cluster/morphospace_groups.h"

#include <iosfwd>
#include <string>

class CCarinovaDoc;
class COutputFolder;
struct CMorphospaceScene;
struct CNumberLocale;

// What the morphospace outputs show: the grouping field and the two components (from 0).
struct CMorphospaceOptions {
    CGroupField groupBy = CGroupField::None;
    int xComponent = 0;
    int yComponent = 1;
};

// "I,J": two component numbers from 1, for --components. Empty when the text is one; otherwise
// why not.
std::string ParseComponents(const std::string& text, CMorphospaceOptions& options);

// The morphospace of the document's cluster with the chosen grouping and axes. Components the
// analysis does not have are brought into range, with a note on err; so is a morphospace that
// cannot be computed, or one that had to leave members out.
CMorphospaceScene MakeMorphospaceScene(const CCarinovaDoc& doc, const CMorphospaceOptions& options,
                                       std::ostream& err);

// pca_variance.tsv, pca_scores.tsv (the components that explain 99 %, at most 10),
// morphospace.png and morphospace.svg into the staging folder; nothing without an analysis.
// False with a message on err when a file cannot be written.
bool WriteMorphospaceOutputs(const CMorphospaceScene& scene, const std::string& title,
                             COutputFolder& folder, const CNumberLocale& locale, std::ostream& err);
