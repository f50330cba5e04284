#include "view3d/geometry/Spline.h"

#include "view3d/geometry/Geometry.h"

#include <cassert>
#include <cmath>

namespace orv {

TCubicSpline::TCubicSpline(const float *X, const float *Y, const float *Z, const float *W, int N)
    : FCount(N)
{
    assert(N >= 2);
    FX = Build(X, N);
    FY = Build(Y, N);
    FZ = Build(Z, N);
    if (W)
        FW = Build(W, N);
}

// The slopes D solve the tridiagonal system (2, 4, ..., 4, 2 on the
// diagonal, 1 beside it) of a natural spline, through its Cholesky factors.
TCubicSpline::TCoefficients TCubicSpline::Build(const float *V, int N)
{
    using ld = long double;
    std::vector<float> b(N), p(N), q(N), y(N), d(N);
    b[0] = float(3 * (ld(V[1]) - V[0]));
    b[N - 1] = float(3 * (ld(V[N - 1]) - V[N - 2]));
    for (int i = 1; i < N - 1; ++i)
        b[i] = float(3 * (ld(V[i + 1]) - V[i - 1]));
    p[0] = 1.4142135f;
    q[0] = 0.7071068f;
    for (int j = 1; j < N - 1; ++j) {
        p[j] = float(std::sqrt(4 - ld(q[j - 1]) * q[j - 1]));
        q[j] = float(1 / ld(p[j]));
    }
    p[N - 1] = float(std::sqrt(2 - ld(q[N - 2]) * q[N - 2]));
    y[0] = float(b[0] / ld(p[0]));
    for (int k = 1; k < N; ++k)
        y[k] = float((b[k] - ld(q[k - 1]) * y[k - 1]) / p[k]);
    d[N - 1] = float(y[N - 1] / ld(p[N - 1]));
    for (int i = N - 2; i >= 0; --i)
        d[i] = float((y[i] - ld(q[i]) * d[i + 1]) / p[i]);

    TCoefficients c(N - 1);
    for (int j = 0; j < N - 1; ++j) {
        const ld delta = ld(V[j + 1]) - V[j];
        const ld bj = d[j], cj = d[j + 1];
        const float dd = float(3 * delta - 2 * bj - cj);
        const float e = float(bj + cj - 2 * delta);
        const ld jj = j;
        c[j] = {e, float(dd - 3 * jj * e), float(bj + jj * (3 * jj * e - 2 * ld(dd))),
                float(V[j] + jj * (jj * (dd - jj * e) - bj))};
    }
    return c;
}

float TCubicSpline::Eval(const TCoefficients &C, float T) const
{
    if (C.empty())
        return 0;
    int k;
    if (T <= 0)
        k = 0;
    else if (T > FCount - 1)
        k = FCount - 1;
    else
        k = TruncateToInteger(T);
    if (k == FCount - 1)
        k = FCount - 2;
    const auto &s = C[k];
    const long double t = T;
    return float(((s[0] * t + s[1]) * t + s[2]) * t + s[3]);
}

void TCubicSpline::EvalXYZ(float T, float &X, float &Y, float &Z) const
{
    X = Eval(FX, T);
    Y = Eval(FY, T);
    Z = Eval(FZ, T);
}

TAffineVec3f TCubicSpline::EvalAffine(float T) const
{
    TAffineVec3f r;
    EvalXYZ(T, r.X, r.Y, r.Z);
    return r;
}

float TCubicSpline::EvalW(float T) const { return Eval(FW, T); }

} // namespace orv
