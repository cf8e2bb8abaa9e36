#pragma once

// The range of the fit settings the user can choose. Settings read from a file are held to it
// too, so that a damaged document cannot ask for a fit that never ends.
constexpr int kMinControlPoints = 3;
constexpr int kMaxControlPoints = 30;
constexpr int kMaxFitIterations = 6000;
