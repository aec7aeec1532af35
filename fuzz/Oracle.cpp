#include "fuzz/Oracle.h"

#include "tests/common/ReferencePass.h"

namespace oracle {

std::vector<std::string> reads(const std::string& path) {
    testcheck::ReferenceReader reader(path);
    std::vector<std::string> all;
    while (reader.readLine() == 0) all.push_back(reader.Line);
    return all;
}

bool datum(const char* text, double& value) {
    return testcheck::referenceDatum(text, value);
}

bool headerNumber(const char* text, uint32_t& value) {
    return testcheck::referenceHeaderNumber(text, value);
}

bool headerWord(const char* text, std::string& word) {
    return testcheck::referenceHeaderWord(text, word);
}

testcheck::PassOutcome pass(double height, double width, int mode, bool countFlag,
                            const std::string& exeName, const std::vector<std::string>& files) {
    return testcheck::ReferencePassC(height, width, mode, countFlag, exeName).run(files);
}

}  // namespace oracle
