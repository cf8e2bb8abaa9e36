#pragma once

#include <memory>
#include <vector>

class CClusterParameter;
class CSpecimenRecord;

// The mean specimen of a cluster: a record whose specimen "<Mean Specimen>" has no outline and
// whose cluster approximation holds, point by point, the average of the members' (already
// size-normalised) cluster control points, drawn in the mean colour. Its scale counts as
// specified only when every member's does. The record has empty cluster data and no
// approximation; comparing it with the reference and adding it to the cluster is up to the
// caller.
std::unique_ptr<CSpecimenRecord>
MakeMeanSpecimenRecord(const std::vector<CSpecimenRecord*>& cluster,
                       const CClusterParameter& parameter);
