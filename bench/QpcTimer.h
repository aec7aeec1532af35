#pragma once
// Seconds from the Win32 performance counter, for the benchmarks that run
// under Wine beside the program.
#include <windows.h>

class Timer {
  public:
    Timer() {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        Frequency = static_cast<double>(f.QuadPart);
    }
    double now() const {
        LARGE_INTEGER t;
        QueryPerformanceCounter(&t);
        return static_cast<double>(t.QuadPart) / Frequency;
    }
    double resolution() const { return 1.0 / Frequency; }

  private:
    double Frequency = 1;
};
