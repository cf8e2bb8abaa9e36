#pragma once

#include <memory>
#include <string>

class CApproxSpecimen;
class CClusterParameter;
class CSpecimen;

// A new approximation set up for the cluster: the cluster's fitting settings, no error texts,
// marks or labels, no control points or polygon, the ordinary member colour. Not yet fitted.
std::unique_ptr<CApproxSpecimen> MakeClusterApproximation(const CClusterParameter& parameter);

// Scales (and for mode 1 shifts) the control points of a cluster approximation so that members
// of different size become comparable: 0 none, 1 outer control points to x = -1000 and +1000,
// 2 outline area to about 1,000,000, 3 mean squared centroid distance to 1,000,000. The area
// and centroid size come from the specimen's outline. False, with the approximation unchanged
// and `error` naming the specimen and saying why, when the factor is undefined, the mode is
// unknown or the curves do not hold ControlPointsCnt + 1 control points each.
bool NormalizeClusterApproximation(CApproxSpecimen& approx, const CSpecimen& specimen, int mode,
                                   std::string& error);
