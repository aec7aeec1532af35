#pragma once
// The spike thresholds as both builds must form them, in extended precision
// also on a thread whose x87 unit starts at 53 bits. Shared by the native and
// the Win32 tests.
#include <cstdint>
#include <sstream>
#include <string>

#include "engine/ExtendedPrecision.h"
#include "engine/ValidateC.h"

namespace testcheck {

inline void setPrecisionControl(uint16_t bits) {
    uint16_t word;
    __asm__ __volatile__("fnstcw %0" : "=m"(word));
    word = static_cast<uint16_t>((word & ~0x0300) | bits);
    __asm__ __volatile__("fldcw %0" : : "m"(word));
}

// H, W and G for p, T, h and w, started under the given precision control.
inline std::string thresholds(double p, uint32_t t, double h, double w, uint16_t precision) {
    FileStateS state{};
    state.MaxValue = p;
    state.RunAbove = t;
    setPrecisionControl(precision);
    ValidateC::setThresholds(state, h, w);
    const uint16_t after = ExtendedPrecisionC::precisionControl();
    setPrecisionControl(0x0300);
    std::ostringstream out;
    out.precision(17);
    out << "H " << state.HeightH << " W " << state.WidthW << " G " << state.GlitchG;
    if (after != precision) out << " (precision control not restored)";
    return out.str();
}

// Every mismatch, one per line; "" when all agree.
inline std::string thresholdMismatches() {
    struct CaseS {
        double P;
        uint32_t T;
        double H, W;
        const char* Expected;
    };
    const CaseS cases[] = {
        {0.9, 1000, 50.0, 10.0, "H 0.45000000000000001 W 100 G 10"},
        {0.0, 15, 50.0, 10.0, "H 0 W 2 G 1"},
        {0.0, 0, 50.0, 10.0, "H 0 W 2 G 1"},
        // 99.9999 lies just below its decimal value.
        {1.0, 26000000, 99.9999, 99.9999, "H 0.99999899999999997 W 25999973 G 2599997"},
        // Rounded to 53 bits on the way this product would end one unit lower.
        {0.172013, 1000, 54.0217, 10.0, "H 0.092924346821000009 W 100 G 10"},
    };
    std::string mismatches;
    for (const CaseS& c : cases) {
        for (uint16_t precision : {uint16_t{0x0300}, uint16_t{0x0200}}) {
            const std::string got = thresholds(c.P, c.T, c.H, c.W, precision);
            if (got != c.Expected) mismatches += got + ", expected " + c.Expected + "\n";
        }
    }
    if (ValidateC::runThreshold(50.0) != 0.5L) mismatches += "h 50 does not split at 0.5\n";
    return mismatches;
}

}  // namespace testcheck
