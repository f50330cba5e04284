#pragma once
// A natural cubic spline through n points with a uniform parameter: point j
// sits at t = j. Smooths node polylines and polygons. Needs n >= 2.

#include "view3d/geometry/VectorTypes.h"

#include <array>
#include <vector>

namespace orv {

class TCubicSpline {
public:
    // X, Y, Z (and W unless null) are arrays of N singles, N >= 2.
    TCubicSpline(const float *X, const float *Y, const float *Z, const float *W, int N);

    // Each coordinate at T, rounded to single; outside 0..N-1 the end
    // segments extrapolate. A coordinate without values gives 0.
    void EvalXYZ(float T, float &X, float &Y, float &Z) const;
    TAffineVec3f EvalAffine(float T) const;
    float EvalW(float T) const;
    int Count() const { return FCount; }

private:
    // Per segment: c3, c2, c1, c0 of the global cubic ((c3 t + c2) t + c1) t + c0.
    using TCoefficients = std::vector<std::array<float, 4>>;
    static TCoefficients Build(const float *V, int N);
    float Eval(const TCoefficients &C, float T) const;

    int FCount;
    TCoefficients FX, FY, FZ, FW;
};

} // namespace orv
