#pragma once
// The engine writes a progress dot at the start of a line every few seconds
// of a long pass; texts compared with what a run must show leave them out.
#include <cstddef>
#include <string>

namespace testcheck {

// text without the dots at the start of its lines; their number in *dots.
inline std::string withoutDots(const std::string& text, std::size_t* dots = nullptr) {
    std::string kept;
    kept.reserve(text.size());
    std::size_t removed = 0;
    for (char c : text) {
        if (c == '.' && (kept.empty() || kept.back() == '\n')) {
            ++removed;
            continue;
        }
        kept += c;
    }
    if (dots != nullptr) *dots = removed;
    return kept;
}

}  // namespace testcheck
