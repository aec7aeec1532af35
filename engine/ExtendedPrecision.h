#pragma once
// The spike thresholds and the duration are formed in 80-bit extended
// precision (64-bit mantissa, round to nearest). The x87 unit rounds to its
// precision control, and a thread may start with it at 53 bits (threads
// started by the Win32 C runtime do): this guard sets 64 bits for its scope
// and restores the previous setting after. The "memory" clobbers keep the
// guarded arithmetic between the two.
#include <cstdint>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "long double must be the x87 extended format");

class ExtendedPrecisionC {
  public:
    ExtendedPrecisionC() {
        __asm__ __volatile__("fnstcw %0" : "=m"(Saved) : : "memory");
        const uint16_t extended = static_cast<uint16_t>(Saved | PrecisionBits);
        __asm__ __volatile__("fldcw %0" : : "m"(extended) : "memory");
    }
    ~ExtendedPrecisionC() { __asm__ __volatile__("fldcw %0" : : "m"(Saved) : "memory"); }
    ExtendedPrecisionC(const ExtendedPrecisionC&) = delete;
    ExtendedPrecisionC& operator=(const ExtendedPrecisionC&) = delete;

    // The precision control now in effect: 0x300 is 64 bits, 0x200 53 bits.
    static uint16_t precisionControl() {
        uint16_t word;
        __asm__ __volatile__("fnstcw %0" : "=m"(word) : : "memory");
        return static_cast<uint16_t>(word & PrecisionBits);
    }

  private:
    static const uint16_t PrecisionBits = 0x0300;
    uint16_t Saved;
};
