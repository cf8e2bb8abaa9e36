#pragma once

#include <string>

class CMorphospace;
struct CNumberLocale;

// The morphospace as tab-separated text, numbers in the given format, line feeds as "\n".

// Components the scores table lists: those that explain 99 % of the variance, at most 10.
int ScoreTableComponents(const CMorphospace& space);

// One row per component: "PC1" ..., its variance, its share of the total variance and the
// cumulative share (both as fractions of 1).
std::string FormatMorphospaceVariance(const CMorphospace& space, const CNumberLocale& locale);

// One row per point (the members, then the projected mean specimen): the specimen's name, the
// fields it can be grouped by (Locality, Sex, Stage, Identifier, the Comment's first word) and
// its scores on the first `components` components.
std::string FormatMorphospaceScores(const CMorphospace& space, int components,
                                    const CNumberLocale& locale);
