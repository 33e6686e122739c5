#include "effect/DesignMath.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

std::uint64_t Bits(double v) {
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

double FromBits(std::uint64_t b) {
    double v;
    std::memcpy(&v, &b, sizeof v);
    return v;
}

// 2 to the k for a normal result, exactly.
double PowerOfTwo(int k) {
    return FromBits(std::uint64_t(k + 1023) << 52);
}

double ScaleByPowerOfTwo(double y, int k) {
    if (k > 1023) {
        return y * 2.0 * PowerOfTwo(k - 1);
    }
    if (k < -1021) {
        return y * PowerOfTwo(k + 1000) * PowerOfTwo(-1000);
    }
    return y * PowerOfTwo(k);
}

// Rational approximation of r (e^r + 1) / (e^r - 1) on |r| <= ln2 / 2 (Remez coefficients).
constexpr double kP1 = 1.66666666666666019037e-01;
constexpr double kP2 = -2.77777777770155933842e-03;
constexpr double kP3 = 6.61375632143793436117e-05;
constexpr double kP4 = -1.65339022054652515390e-06;
constexpr double kP5 = 4.13813679705723846039e-08;
// ln 2 split so that k x kLn2High is exact for every k in range.
constexpr double kLn2High = 6.93147180369123816490e-01;
constexpr double kLn2Low = 1.90821492927058770002e-10;
constexpr double kInvLn2 = 1.44269504088896338700e+00;

// Minimax polynomials for sin and cos on |x| <= pi / 4.
constexpr double kS1 = -1.66666666666666324348e-01;
constexpr double kS2 = 8.33333333332248946124e-03;
constexpr double kS3 = -1.98412698298579493134e-04;
constexpr double kS4 = 2.75573137070700676789e-06;
constexpr double kS5 = -2.50507602534068634195e-08;
constexpr double kS6 = 1.58969099521155010221e-10;
constexpr double kC1 = 4.16666666666666019037e-02;
constexpr double kC2 = -1.38888888888741095749e-03;
constexpr double kC3 = 2.48015872894767294178e-05;
constexpr double kC4 = -2.75573143513906633035e-07;
constexpr double kC5 = 2.08757232129817482790e-09;
constexpr double kC6 = -1.13596475577881948265e-11;
// pi / 2 in three pieces; the first two have trailing zero bits so n x piece is exact.
constexpr double kPio2Part1 = 1.57079632673412561417e+00;
constexpr double kPio2Part2 = 6.07710050630396597660e-11;
constexpr double kPio2Part2Tail = 2.02226624879595063154e-21;
constexpr double kInvPio2 = 6.36619772367581382433e-01;

// sin(x + y) for |x + y| <= pi / 4, y a small correction term.
double SinKernel(double x, double y) {
    const double z = x * x;
    const double v = z * x;
    const double r = kS2 + z * (kS3 + z * (kS4 + z * (kS5 + z * kS6)));
    return x - ((z * (0.5 * y - v * r) - y) - v * kS1);
}

// cos(x + y) for |x + y| <= pi / 4.
double CosKernel(double x, double y) {
    const double z = x * x;
    const double r = z * (kC1 + z * (kC2 + z * (kC3 + z * (kC4 + z * (kC5 + z * kC6)))));
    const std::uint32_t high = std::uint32_t(Bits(x) >> 32) & 0x7FFFFFFFu;
    if (high < 0x3FD33333u) {
        return 1.0 - (0.5 * z - (z * r - x * y));
    }
    // Split 1 - z/2 so that its leading part is exact and the rest keeps full precision.
    const double qx =
        high > 0x3FE90000u ? 0.28125 : FromBits(std::uint64_t(high - 0x00200000u) << 32);
    const double hz = 0.5 * z - qx;
    const double a = 1.0 - qx;
    return a - (hz - (z * r - x * y));
}

// Reduces x to y0 + y1 in [-pi/4, pi/4] and returns the quadrant.
int ReduceQuarterTurns(double x, double* y0, double* y1) {
    if (std::fabs(x) <= 0.7853981633974483) {
        *y0 = x;
        *y1 = 0.0;
        return 0;
    }
    const double fn = std::floor(x * kInvPio2 + 0.5);
    const double t = x - fn * kPio2Part1;
    double w = fn * kPio2Part2;
    const double r = t - w;
    w = fn * kPio2Part2Tail - ((t - r) - w);
    *y0 = r - w;
    *y1 = (r - *y0) - w;
    const double quadrant = fn - 4.0 * std::floor(fn * 0.25);
    return int(quadrant);
}

} // namespace

double DesignExp(double x) {
    if (x != x) {
        return x;
    }
    if (x > 709.782712893384) {
        return std::numeric_limits<double>::infinity();
    }
    if (x < -745.1332191019412) {
        return 0.0;
    }
    if (std::fabs(x) < 3.725290298461914e-09) {
        return 1.0 + x;
    }
    const int k = int(x * kInvLn2 + (x < 0.0 ? -0.5 : 0.5));
    const double hi = x - k * kLn2High;
    const double lo = k * kLn2Low;
    const double r = hi - lo;
    const double t = r * r;
    const double c = r - t * (kP1 + t * (kP2 + t * (kP3 + t * (kP4 + t * kP5))));
    const double y = 1.0 - ((lo - (r * c) / (2.0 - c)) - hi);
    return ScaleByPowerOfTwo(y, k);
}

double DesignSin(double x) {
    if (!std::isfinite(x)) {
        return x - x;
    }
    double y0, y1;
    switch (ReduceQuarterTurns(x, &y0, &y1)) {
    case 0:
        return SinKernel(y0, y1);
    case 1:
        return CosKernel(y0, y1);
    case 2:
        return -SinKernel(y0, y1);
    default:
        return -CosKernel(y0, y1);
    }
}

double DesignCos(double x) {
    if (!std::isfinite(x)) {
        return x - x;
    }
    double y0, y1;
    switch (ReduceQuarterTurns(x, &y0, &y1)) {
    case 0:
        return CosKernel(y0, y1);
    case 1:
        return -SinKernel(y0, y1);
    case 2:
        return -CosKernel(y0, y1);
    default:
        return SinKernel(y0, y1);
    }
}

double DesignSinh(double x) {
    const double ax = std::fabs(x);
    double result;
    if (ax < 1.0) {
        // Taylor series: e^x - e^-x would cancel most of its bits here.
        const double z = x * x;
        const double tail =
            1.0 / 6 +
            z * (1.0 / 120 +
                 z * (1.0 / 5040 +
                      z * (1.0 / 362880 +
                           z * (1.0 / 39916800 +
                                z * (1.0 / 6227020800.0 + z * (1.0 / 1307674368000.0 +
                                                               z * (1.0 / 355687428096000.0)))))));
        return x + x * z * tail;
    }
    if (ax > 22.0) {
        // e^-x is below the last bit; halving the exponent keeps e^x from overflowing early.
        const double h = DesignExp(0.5 * ax);
        result = (0.5 * h) * h;
    } else {
        const double e = DesignExp(ax);
        result = 0.5 * (e - 1.0 / e);
    }
    return x < 0.0 ? -result : result;
}

double DesignExp10(double x) {
    // x ln10 as an exact product plus ln10's own tail; the rounding error of the product
    // would otherwise be scaled up by the exponential.
    constexpr double kLn10 = 2.302585092994046;
    constexpr double kLn10Tail = -2.1707562233822494e-16;
    constexpr double kSplitter = 134217729.0; // 2^27 + 1
    const double product = x * kLn10;
    if (!(std::fabs(x) < 400.0)) {
        return DesignExp(product); // overflows or vanishes anyway; the split would overflow
    }
    const double xBig = kSplitter * x;
    const double xHigh = xBig - (xBig - x);
    const double xLow = x - xHigh;
    const double lnBig = kSplitter * kLn10;
    const double lnHigh = lnBig - (lnBig - kLn10);
    const double lnLow = kLn10 - lnHigh;
    const double error =
        ((xHigh * lnHigh - product) + xHigh * lnLow + xLow * lnHigh) + xLow * lnLow;
    const double e = DesignExp(product);
    return e + e * (error + x * kLn10Tail);
}
