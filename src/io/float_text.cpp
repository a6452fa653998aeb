#include "io/float_text.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace orva::io {

namespace {

// Powers of ten that double holds exactly.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

char* formatWithPrintf(char* out, double value) {
    char buffer[32];
    const int n = std::snprintf(buffer, sizeof(buffer), "%.6g", value);
    std::memcpy(out, buffer, size_t(n));
    return out + n;
}

} // namespace

// The value is scaled by a power of ten into [99999.5, 999999.5) and rounded to the six digits
// printf would print. A float has 24 significant bits and the power is exact, so the scaled value
// carries one rounding (relative error 2^-53, under 1e-10 here); only when it lies within 1e-6 of
// a rounding tie could that error change the digits, and then printf itself decides. Values that
// would need an inexact power (below about 1e-17 or above 1e27), NaN and infinity go to printf too.
char* formatG6(char* out, float value) {
    const double v = value;
    if (!std::isfinite(v))
        return formatWithPrintf(out, v);
    if (v == 0.0) {
        if (std::signbit(v))
            *out++ = '-';
        *out++ = '0';
        return out;
    }
    const double a = std::fabs(v);
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    const int biased = int((bits >> 23) & 0xFF);
    if (biased == 0) // subnormal: far below 1e-17, printf's case anyway
        return formatWithPrintf(out, v);
    // a lies in [2^(biased - 127), 2^(biased - 126)): a first guess at log10(a) rounded down, at
    // most a step or two off, which the loop below corrects. (78913 / 2^18 is log10(2) to 6 digits;
    // the shift of a negative product rounds down.)
    int exponent = ((biased - 127) * 78913) >> 18;

    uint32_t digits = 0;
    for (int attempt = 0;; ++attempt) {
        const int k = 5 - exponent;
        if (attempt == 4 || k < -22 || k > 22)
            return formatWithPrintf(out, v);
        const double scaled = k >= 0 ? a * kPow10[k] : a / kPow10[-k];
        const double whole = std::floor(scaled);
        if (std::fabs(scaled - whole - 0.5) < 1e-6)
            return formatWithPrintf(out, v);
        if (scaled < 99999.5) {
            --exponent;
            continue;
        }
        if (scaled >= 999999.5) {
            ++exponent;
            continue;
        }
        digits = uint32_t(whole) + (scaled - whole > 0.5 ? 1u : 0u);
        break;
    }

    char d[6];
    for (int i = 5; i >= 0; --i) {
        d[i] = char('0' + digits % 10);
        digits /= 10;
    }
    int last = 5; // the last significant digit kept: trailing zeros go
    while (last > 0 && d[last] == '0')
        --last;

    if (v < 0)
        *out++ = '-';
    if (exponent < -4 || exponent >= 6) {
        *out++ = d[0];
        if (last > 0) {
            *out++ = '.';
            for (int i = 1; i <= last; ++i)
                *out++ = d[i];
        }
        *out++ = 'e';
        *out++ = exponent < 0 ? '-' : '+';
        const int e = exponent < 0 ? -exponent : exponent;
        if (e >= 10) {
            *out++ = char('0' + e / 10);
            *out++ = char('0' + e % 10);
        } else {
            *out++ = '0';
            *out++ = char('0' + e);
        }
    } else if (exponent >= 0) {
        for (int i = 0; i <= exponent; ++i)
            *out++ = d[i];
        if (last > exponent) {
            *out++ = '.';
            for (int i = exponent + 1; i <= last; ++i)
                *out++ = d[i];
        }
    } else {
        *out++ = '0';
        *out++ = '.';
        for (int i = -1; i > exponent; --i)
            *out++ = '0';
        for (int i = 0; i <= last; ++i)
            *out++ = d[i];
    }
    return out;
}

} // namespace orva::io
