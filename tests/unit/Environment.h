#pragma once
// Sizes and seeds of the randomised tests: the test command uses the
// fallbacks, a longer run by hand sets the variables (tools/differential).
#include <cstdlib>

namespace testenv {

// A whole number from the environment, or fallback when it is not set.
inline unsigned long number(const char* name, unsigned long fallback) {
    const char* text = std::getenv(name);
    return text == nullptr || *text == 0 ? fallback : std::strtoul(text, nullptr, 10);
}

}  // namespace testenv
