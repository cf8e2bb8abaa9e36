#pragma once

// The largest magnitude a stored coordinate may have. Outlines are pixels or micrometres; this
// leaves room for any scale while the squares of such coordinates, summed over the most points
// a document can hold (a gigabyte of "0 0 "), stay far inside the float range, so that
// statistics, areas and deltas computed from stored points are finite.
constexpr float kMaxCoordinateMagnitude = 1.0e15f;
