#pragma once

#include <array>
#include <cmath>

namespace orbalune {

// The natural logarithm, correctly rounded, from additions, multiplications and divisions alone.
//
// Every recorded game hangs on the exact bits of ln(n + 1.72), and the platforms' maths
// libraries round it differently (32-bit x86's computes in 80-bit registers): this one gives
// the same double on every build, as each of its operations rounds once by IEEE 754 wherever it
// runs. It is the nearest double to the true value, which is what the game has always taken
// from 64-bit x86's GNU library for ln(n + 1.72) up to n = 91078 (from there that library is
// sometimes half a unit off). It works in double-double arithmetic (a value as the unevaluated
// sum of two doubles, about 106 bits), far more than rounding needs.
namespace natural_log_detail {

struct DoubleDouble {
    double hi = 0;
    double lo = 0;
};

// a + b exactly, as a rounded sum and its error.
constexpr DoubleDouble twoSum(double a, double b) {
    const double sum = a + b;
    const double bPart = sum - a;
    return {sum, (a - (sum - bPart)) + (b - bPart)};
}

// The same for |a| >= |b|.
constexpr DoubleDouble quickTwoSum(double a, double b) {
    const double sum = a + b;
    return {sum, b - (sum - a)};
}

// a × b exactly, by Dekker's splitting of each factor into halves of 26 bits.
constexpr DoubleDouble twoProduct(double a, double b) {
    constexpr double kSplitter = 134217729.0;  // 2^27 + 1
    const auto split = [](double x) {
        const double scaled = kSplitter * x;
        const double high = scaled - (scaled - x);
        return DoubleDouble{high, x - high};
    };
    const double product = a * b;
    const DoubleDouble as = split(a);
    const DoubleDouble bs = split(b);
    const double error =
        ((as.hi * bs.hi - product) + as.hi * bs.lo + as.lo * bs.hi) + as.lo * bs.lo;
    return {product, error};
}

constexpr DoubleDouble add(DoubleDouble a, DoubleDouble b) {
    DoubleDouble s = twoSum(a.hi, b.hi);
    const DoubleDouble t = twoSum(a.lo, b.lo);
    s = quickTwoSum(s.hi, s.lo + t.hi);
    return quickTwoSum(s.hi, s.lo + t.lo);
}

constexpr DoubleDouble multiply(DoubleDouble a, DoubleDouble b) {
    const DoubleDouble p = twoProduct(a.hi, b.hi);
    return quickTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

constexpr DoubleDouble divide(DoubleDouble a, DoubleDouble b) {
    const double q1 = a.hi / b.hi;
    DoubleDouble r = add(a, multiply(b, {-q1, 0}));
    const double q2 = r.hi / b.hi;
    r = add(r, multiply(b, {-q2, 0}));
    const double q3 = r.hi / b.hi;
    return add(quickTwoSum(q1, q2), {q3, 0});
}

inline constexpr DoubleDouble kLn2{0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};
inline constexpr double kSqrtHalf = 0x1.6a09e667f3bcdp-1;
// Terms of the series past this add less than 2^-110 for the arguments below.
inline constexpr int kSeriesTerms = 24;

// 1 / (2j + 1) for each term j, worked out once, when the program is compiled.
constexpr std::array<DoubleDouble, kSeriesTerms + 1> seriesCoefficients() {
    std::array<DoubleDouble, kSeriesTerms + 1> coefficients{};
    for (int term = 0; term <= kSeriesTerms; ++term) {
        coefficients[term] = divide({1, 0}, {2.0 * term + 1, 0});
    }
    return coefficients;
}
inline constexpr std::array<DoubleDouble, kSeriesTerms + 1> kCoefficients = seriesCoefficients();

}  // namespace natural_log_detail

// ln(x) for a positive, finite, normal x.
inline double naturalLog(double x) {
    using namespace natural_log_detail;
    // x = m × 2^k with m in [sqrt(1/2), sqrt(2)): frexp and ldexp are exact everywhere.
    int exponent = 0;
    double mantissa = std::frexp(x, &exponent);
    if (mantissa < kSqrtHalf) {
        mantissa *= 2;
        --exponent;
    }
    // ln(m) = 2 atanh(s) = 2 (s + s^3/3 + s^5/5 + ...), s = (m - 1) / (m + 1), |s| < 0.172.
    const DoubleDouble s = divide({mantissa - 1.0, 0}, twoSum(mantissa, 1.0));
    const DoubleDouble s2 = multiply(s, s);
    DoubleDouble series = kCoefficients[kSeriesTerms];
    for (int term = kSeriesTerms - 1; term >= 0; --term) {
        series = add(multiply(series, s2), kCoefficients[term]);
    }
    const DoubleDouble lnMantissa = multiply(multiply(s, series), {2, 0});
    return add(multiply(kLn2, {static_cast<double>(exponent), 0}), lnMantissa).hi;
}

}  // namespace orbalune
