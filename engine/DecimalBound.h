#pragma once
// Which side of a double a short decimal lies on, told from its digits
// without dividing: m / 10^d (m the digits as one number, d the decimals
// among them) against x, as the correctly rounded value of m / 10^d would
// compare. Most data of a wave are decided so.
//
// Why it is exact: t = x * 10^d is computed as a double, off from the true
// product T by less than 2^-23 while |t| < 2^30. If m <= floor(t) - 1, then
// m < T - (1 - 2^-23), so m / 10^d lies below x by more than
// (1 - 2^-23) / 10^d; if m >= floor(t) + 2, above it by as much. Since
// |x| < 2^30 / 10^d, a unit in the last place of x is below 2^-21 / 10^d,
// far less than that distance, so rounding m / 10^d to a double cannot reach
// x: the rounded value lies strictly on the same side. Between the two, and
// for more than MaxDecimals decimals, the value must be computed.
#include <cstdint>

#include "engine/FileReadC.h"

struct DecimalBoundS {
    enum { MaxDecimals = 9 };

    DecimalBoundS() { set(0.0); }
    explicit DecimalBoundS(double x) { set(x); }

    void set(double x) {
        const double range = 1073741824.0;  // 2^30
        for (int d = 0; d <= MaxDecimals; ++d) {
            const double t = x * FileReadC::ExactPowers[d];
            if (t > -range && t < range) {
                int32_t whole = static_cast<int32_t>(t);  // toward zero, then down
                if (whole > t) --whole;
                Below[d] = whole - 1;
                Above[d] = whole + 2;
            } else {  // never decided: no mantissa lies at or below INT32_MIN or at INT32_MAX
                Below[d] = INT32_MIN;
                Above[d] = INT32_MAX;
            }
        }
    }

    // -1 when the value lies below x, 1 when above, 0 when it must be
    // computed. mantissa is below 10^9.
    int order(uint32_t mantissa, int decimals) const {
        if (decimals > MaxDecimals) return 0;
        const int32_t m = static_cast<int32_t>(mantissa);
        return int(m >= Above[decimals]) - int(m <= Below[decimals]);
    }

    int32_t Below[MaxDecimals + 1];
    int32_t Above[MaxDecimals + 1];
};
