#pragma once
// Where two texts part, for the message of a failed comparison.
#include <cstddef>
#include <string>

namespace testcheck {

// The number of the first line on which actual and expected differ, and that
// line of each (CR LF or LF ended; "(end of text)" past the end).
inline std::string firstDifference(const std::string& actual, const std::string& expected) {
    std::size_t at = 0, line = 1, from = 0;
    for (; at < actual.size() && at < expected.size() && actual[at] == expected[at]; ++at) {
        if (actual[at] != '\n') continue;
        ++line;
        from = at + 1;
    }
    if (at == actual.size() && at == expected.size()) return "the texts are the same";
    auto lineOf = [from](const std::string& text) {
        if (from >= text.size()) return std::string("(end of text)");
        std::string whole = text.substr(from, text.find('\n', from) - from);
        if (!whole.empty() && whole.back() == '\r') whole.pop_back();
        return whole;
    };
    return "the texts (" + std::to_string(actual.size()) + " and " +
           std::to_string(expected.size()) + " characters) differ on line " + std::to_string(line) +
           ":\n  actual:   [" + lineOf(actual) + "]\n  expected: [" + lineOf(expected) + "]";
}

}  // namespace testcheck
