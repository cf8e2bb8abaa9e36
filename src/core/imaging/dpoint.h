#pragma once

// A point of a traced outline in double precision, in image pixel coordinates.
struct DPoint {
    double x = 0.0;
    double y = 0.0;
    friend bool operator==(const DPoint&, const DPoint&) = default;
};
