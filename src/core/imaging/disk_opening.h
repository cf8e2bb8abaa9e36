#pragma once

#include "imaging/pixel_runs.h"

// The morphological opening by a disk of the given radius: what the disk cannot cover while it
// stays inside the pixels (spurs, bridges and specks thinner than it) is removed. Pixels
// beyond the image count as background. Worked on runs, in time proportional to the radius
// times the runs.
CPixelRuns OpenWithDisk(const CPixelRuns& pixels, int radius);
