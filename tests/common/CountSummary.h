#pragma once
// What Count writes after the lines of the files: the summary headed with the
// program's name, then the closing line.
#include <cstddef>
#include <string>

namespace testcheck {

inline const char SummaryEnd[] =
    "Cut-and-paste to save these messages before closing this window.\r\n";

// badNames: each name followed by a blank; none shows as "(none)".
inline std::string countSummary(const std::string& exeName, std::size_t named, std::size_t counted,
                                const std::string& badNames) {
    return "\r\n" + exeName + ":  " + std::to_string(named) + " files named at invocation; " +
           std::to_string(counted) + " of them were counted.\r\nThese " +
           std::to_string(named - counted) + " were found bad: [" +
           (badNames.empty() ? "(none)" : badNames) + "].\r\n\r\n" + SummaryEnd;
}

}  // namespace testcheck
