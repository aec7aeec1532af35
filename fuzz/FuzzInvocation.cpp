// Fuzz target: the invocation line parser over an argument vector made from
// the input (split at NUL bytes, the first part the program path).
//
// A faulty switch ends the process with a fatal report, which a fuzzer
// cannot survive, so the rules that decide it are worked out here first
// from the arguments: inputs that must end fatally are left out (they are
// the death tests' ground), and any other input that still ends the process
// is a finding. For the rest the parser's results are checked: the mode the
// switch asks for, the program name, h and w within their bounds, and names
// that stay within their buffers, come from the arguments in order and pass
// the name checks when they are GOOD.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/ErrHandleC.h"
#include "framework/native/StandIns.h"
#include "fuzz/FuzzSupport.h"
#include "startup/InvokeParseC.h"

namespace {

using fuzzsupport::visible;
using Args = std::vector<std::string>;

bool separates(char c) {
    return static_cast<signed char>(c) <= ' ';
}

// What the switch rules say about a line: the mode, or that it is fatal.
struct ExpectedS {
    bool Fatal = false;
    int Mode = ModeGraphic;
    std::string ExeName;
};

ExpectedS expectedFor(const Args& args) {
    ExpectedS expected;
    // The arguments joined, each followed by a blank: all of them, however
    // long the line.
    std::string line;
    for (const std::string& arg : args) line += arg + " ";
    const std::size_t exeLength = args[0].size();
    if (exeLength >= FNameSize - 1) {
        expected.Fatal = true;  // a program path too long for its field
        return expected;
    }
    const std::string& path = args[0];
    const std::size_t slash = path.rfind('\\');
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    const std::size_t dot = name.rfind('.');
    expected.ExeName = dot == std::string::npos ? name : name.substr(0, dot);
    line.replace(0, exeLength + 1, exeLength + 1, ' ');
    // A switch is a '-' after a blank; one alone, "-s" or "-t", is allowed.
    int switches = 0;
    bool lost = false, known = false;
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (line[i] != '-' || line[i - 1] != ' ') continue;
        ++switches;
        const char next = i + 1 < line.size() ? line[i + 1] : '\0';
        if (separates(next)) lost = true;
        if ((next == 's' || next == 't') && i + 2 < line.size() && line[i + 2] == ' ') {
            known = true;
            expected.Mode = next == 't' ? ModeText : ModeSilent;
        }
    }
    expected.Fatal = switches >= 2 || lost || (switches == 1 && !known);
    if (switches == 0) expected.Mode = ModeGraphic;
    return expected;
}

std::vector<std::string> listOf(InvokeParseC& parsed, int list) {
    std::vector<std::string> names;
    const int total = parsed.getTotal(list);
    FUZZ_CHECK(total >= 0, "a list was deleted");
    for (int pos = 1; pos <= total; ++pos) {
        const char* name = parsed.getName(list, pos);
        FUZZ_CHECK(name != nullptr, "getName failed at " + std::to_string(pos));
        FUZZ_CHECK(std::memchr(name, '\0', FNameSize) != nullptr, "a name runs past its field");
        names.push_back(name);
    }
    return names;
}

// Each name is a run of non-separators found in the arguments after the
// program path, the names of one list in the order of the line.
void checkNames(InvokeParseC& parsed, int list, const std::string& rest) {
    const char* label = list == GoodBadListC::GOOD ? "GOOD" : "BAD";
    std::size_t from = 0;
    std::string expectedJoined;
    for (const std::string& name : listOf(parsed, list)) {
        FUZZ_CHECK(!name.empty() && name.size() <= FNameSize - 1,
                   std::string(label) + " name of length " + std::to_string(name.size()));
        for (char c : name)
            FUZZ_CHECK(!separates(c),
                       std::string(label) + " name holds a separator: [" + visible(name) + "]");
        if (list == GoodBadListC::GOOD) {
            FUZZ_CHECK(InvokeParseC::checkExtension(int(name.size()), name.c_str()) == 0,
                       "GOOD name without .txt or .asc: [" + visible(name) + "]");
            for (char c : name)
                FUZZ_CHECK(InvokeParseC::isBadChar(static_cast<unsigned char>(c)) == 0,
                           "GOOD name with a bad character: [" + visible(name) + "]");
        }
        const std::size_t at = rest.find(name, from);
        FUZZ_CHECK(at != std::string::npos, std::string(label) +
                                                " name not found in order in the arguments: [" +
                                                visible(name) + "]");
        from = at + name.size();
        expectedJoined += name + " ";
    }
    const char* joined = parsed.listNames(list);
    FUZZ_CHECK(joined != nullptr && expectedJoined == joined,
               std::string(label) + " names joined differ from the list");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    Args args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    const ExpectedS expected = expectedFor(args);
    if (expected.Fatal) return -1;

    // Each argument in a block of its own, so reading past one is caught.
    std::vector<std::unique_ptr<char[]>> blocks;
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        blocks.emplace_back(new char[arg.size() + 1]);
        std::memcpy(blocks.back().get(), arg.c_str(), arg.size() + 1);
        argv.push_back(blocks.back().get());
    }
    argv.push_back(nullptr);

    standin::resetAll();
    ErrHandle.setTitle(ReleaseStr);
    Status = 0;
    InvokeParseC parsed(argv.data());

    FUZZ_CHECK(Status == 0, "Status " + std::to_string(Status.load()));
    FUZZ_CHECK(parsed.Mode == expected.Mode, "mode " + std::to_string(parsed.Mode) + ", expected " +
                                                 std::to_string(expected.Mode));
    FUZZ_CHECK(std::memchr(parsed.ExeName, '\0', FNameSize) != nullptr &&
                   expected.ExeName == parsed.ExeName,
               "program name [" + visible(parsed.ExeName) + "], expected [" +
                   visible(expected.ExeName) + "]");
    if (parsed.ParamsValid)
        FUZZ_CHECK(parsed.Height >= parsed.ParamMin && parsed.Height <= parsed.ParamMax &&
                       parsed.Width >= parsed.ParamMin && parsed.Width <= parsed.ParamMax,
                   "h " + std::to_string(parsed.Height) + " or w " + std::to_string(parsed.Width) +
                       " out of bounds");
    if (parsed.Mode == ModeGraphic) {
        FUZZ_CHECK(
            parsed.getTotal(GoodBadListC::GOOD) == 0 && parsed.getTotal(GoodBadListC::BAD) == 0,
            "graphic mode took names");
        return 0;
    }
    std::string rest;
    for (std::size_t i = 1; i < args.size(); ++i) rest += args[i] + " ";
    checkNames(parsed, GoodBadListC::GOOD, rest);
    checkNames(parsed, GoodBadListC::BAD, rest);
    return 0;
}
