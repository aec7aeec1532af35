#pragma once
// The tests' reference code as the fuzz targets call it. It is built apart,
// without the fuzzer's coverage instrumentation: coverage guides the fuzzer
// through the program's code, not through the oracle's, and the oracle's
// byte-at-a-time reading stays fast.
#include <cstdint>
#include <string>
#include <vector>

namespace testcheck {
struct PassOutcome;
}

namespace oracle {

// Every read of the file as fgets(Line, 48) on a text-mode stream gives it,
// in order, to the end.
std::vector<std::string> reads(const std::string& path);

// The conversions of the reference pass.
bool datum(const char* text, double& value);
bool headerNumber(const char* text, uint32_t& value);
bool headerWord(const char* text, std::string& word);

// The whole reference pass over the files.
testcheck::PassOutcome pass(double height, double width, int mode, bool countFlag,
                            const std::string& exeName, const std::vector<std::string>& files);

}  // namespace oracle
