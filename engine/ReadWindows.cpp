#include "engine/ReadWindows.h"

#include <cpuid.h>
#include <cstring>

namespace readwindows {

// BMI2 (leaf 7, EBX), on any processor but AMD's and Hygon's before family
// 19h, whose pext is microcoded. A 32-bit build asks too, for its wide copy.
bool quickGatherHere() {
#if defined(__x86_64__) || defined(__i386__)
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

// AVX, POPCNT (leaf 1, ECX), AVX2, BMI1 and BMI2 (leaf 7, EBX), LZCNT (leaf
// 80000001h, ECX), and an operating system that saves the SSE and AVX
// registers (OSXSAVE, and both bits in XCR0).
bool quickWideHere() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid_max(0, nullptr) < 7) return false;
    __cpuid(1, eax, ebx, ecx, edx);
    const unsigned leaf1 = bit_AVX | bit_POPCNT | bit_OSXSAVE;
    if ((ecx & leaf1) != leaf1) return false;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    const unsigned leaf7 = bit_AVX2 | bit_BMI | bit_BMI2;
    if ((ebx & leaf7) != leaf7) return false;
    if (unsigned(__get_cpuid_max(0x80000000, nullptr)) < 0x80000001u) return false;
    __cpuid(0x80000001, eax, ebx, ecx, edx);
    if ((ecx & bit_LZCNT) == 0) return false;
    unsigned xcr0Low = 0, xcr0High = 0;
    __asm__("xgetbv" : "=a"(xcr0Low), "=d"(xcr0High) : "c"(0));
    return (xcr0Low & 6) == 6;
}

ExponentShapesS exponentShapes() {
    ExponentShapesS shapes;
    for (std::size_t length = 0; length <= ExponentShapesS::Longest; ++length) {
        for (const bool sign : {false, true}) {
            for (const bool cr : {false, true}) {
                ExponentShapeS& shape = shapes.Shapes[ExponentShapesS::index(length, sign, cr)];
                std::memset(shape.Bytes, '1', sizeof shape.Bytes);  // no byte, a digit made '0'
                std::memset(shape.Others, '1', sizeof shape.Others);
                if (length < 7 + unsigned(sign) + unsigned(cr)) continue;  // no decimal
                const std::size_t letter = length - unsigned(cr) - 4;
                std::memset(shape.Bytes, '0', length);
                shape.Bytes[unsigned(sign) + 1] = '.';
                shape.Bytes[letter] = 'e';
                shape.Bytes[letter + 1] = '-';
                if (sign) shape.Bytes[0] = '-';
                if (cr) shape.Bytes[length - 1] = '\r';
                shape.Bytes[length] = '\n';
                std::memcpy(shape.Others, shape.Bytes, sizeof shape.Others);
                shape.Others[letter] = 'E';
                shape.Others[letter + 1] = '+';
                if (sign) shape.Others[0] = '+';
            }
        }
    }
    return shapes;
}

#if defined(__SSE2__)
static constexpr SplatsS splats() {
    SplatsS splats{};
    for (std::size_t c = 0; c < SplatsS::Bytes; ++c)
        for (unsigned char& byte : splats.Rows[c]) byte = static_cast<unsigned char>(c);
    return splats;
}
const SplatsS Splats = splats();
#endif

}  // namespace readwindows
