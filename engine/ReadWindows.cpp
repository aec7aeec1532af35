#include "engine/ReadWindows.h"

#if defined(__x86_64__)
#include <cpuid.h>
#include <cstring>
#endif

namespace readwindows {

// BMI2 (leaf 7, EBX), on any processor but AMD's and Hygon's before family
// 19h, whose pext is microcoded; never in a 32-bit build.
bool quickGatherHere() {
#if defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid_max(0, nullptr) < 7) return false;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    if ((ebx & bit_BMI2) == 0) return false;
    __cpuid(0, eax, ebx, ecx, edx);
    char vendor[12];
    std::memcpy(vendor, &ebx, 4);
    std::memcpy(vendor + 4, &edx, 4);
    std::memcpy(vendor + 8, &ecx, 4);
    const bool amdKind = std::memcmp(vendor, "AuthenticAMD", 12) == 0 ||
                         std::memcmp(vendor, "HygonGenuine", 12) == 0;
    __cpuid(1, eax, ebx, ecx, edx);
    const unsigned baseFamily = (eax >> 8) & 0xF;
    const unsigned family = baseFamily + (baseFamily == 0xF ? (eax >> 20) & 0xFF : 0);
    return !amdKind || family >= 0x19;
#else
    return false;
#endif
}

}  // namespace readwindows
