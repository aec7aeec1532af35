#pragma once
// Random decimals of every shape (sign, integer and fraction digits, exponents
// far beyond the double range) converted by the reader and by the C runtime's
// correctly rounded strtod. Shared by the native and the Win32 tests, so both
// builds are held to the same values.
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "engine/FileReadC.h"
#include "engine/Spelling.h"

namespace testcheck {

// The first text on which the two conversions differ, with both values; ""
// when they agree on all. Beyond the range both must give infinity, below it 0.
inline std::string firstDatumMismatch(int texts, unsigned seed) {
    std::mt19937 random(seed);
    auto digits = [&random](unsigned count) {
        std::string text;
        for (unsigned i = 0; i < count; ++i) text += static_cast<char>('0' + random() % 10);
        return text;
    };
    for (int i = 0; i < texts; ++i) {
        std::string text =
            (random() % 2 ? "-" : "") + digits(random() % 12) + "." + digits(1 + random() % 25);
        if (random() % 3 == 0) text += "e" + std::to_string(static_cast<int>(random() % 700) - 350);
        double value = 0.0;
        bool converted = spelling::datumValue(text.c_str(), value);
        double expected = std::strtod(text.c_str(), nullptr);
        bool same = std::fabs(expected) == HUGE_VAL || expected == 0.0
                        ? std::fabs(value) == std::fabs(expected)
                        : value == expected;
        if (!converted || !same)
            return text + " read as " + std::to_string(value) + ", strtod gives " +
                   std::to_string(expected);
    }
    return "";
}

}  // namespace testcheck
