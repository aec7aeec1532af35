// The bundled samples give the expected window text (the Win32 build is held
// to the same text), and the straightforward reference pass agrees with it.
#include <gtest/gtest.h>

#include "tests/common/SampleRun.h"

namespace {

const std::string Dir = TALLY_SAMPLES_DIR;

TEST(Samples, SilentRunGivesTheExpectedText) {
    EXPECT_EQ(testcheck::runSamples(Dir, '/'),
              testcheck::expectedSampleText(Dir + "/expected-results.txt"));
}

}  // namespace
