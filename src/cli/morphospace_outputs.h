#pragma once

#include "cluster/morphospace_groups.h"

#include <filesystem>
#include <iosfwd>
#include <string>

class CCarinovaDoc;
class CProgress;
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

// Where the morphospace results go; an empty path leaves that result out.
struct CMorphospacePaths {
    std::filesystem::path variance; // pca_variance.tsv
    std::filesystem::path scores;   // pca_scores.tsv: the components that explain 99 %, at most 10
    std::filesystem::path png;      // morphospace.png
    std::filesystem::path svg;      // morphospace.svg
};

// The morphospace tables and pictures; nothing without an analysis. False with a message on err
// when a file cannot be written.
bool WriteMorphospaceOutputs(const CMorphospaceScene& scene, const std::string& title,
                             const CMorphospacePaths& paths, const CNumberLocale& locale,
                             CProgress& progress, std::ostream& err);
