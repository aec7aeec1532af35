#pragma once
// What the reporting facility shows, as the tests expect to read it.
#include <memory>
#include <string>
#include <vector>

#include "core/RunModeC.h"
#include "framework/native/StandIns.h"

namespace testboxes {

// The text of a report box with that status, under the release title.
inline std::string box(const std::string& text, int status) {
    return std::string(ReleaseStr) + "\n\n\n" + text +
           "\n   -----> Status=" + std::to_string(status) + " *****\n";
}

// The texts of the boxes shown so far, which are then forgotten.
inline std::vector<std::string> takeTexts() {
    std::vector<std::string> texts;
    for (const auto& shown : standin::shownBoxes()) texts.push_back(shown.text);
    standin::clearShownBoxes();
    return texts;
}

// The boxes shown from now on get answers in turn, then after. (The
// stand-in calls a copy of the answerer: the turn is kept apart.)
inline void answerInTurn(std::vector<int> answers, int after = seam::AnswerYes) {
    auto next = std::make_shared<std::size_t>(0);
    standin::setBoxAnswerer([answers, after, next](const standin::ShownBox&) {
        return *next < answers.size() ? answers[(*next)++] : after;
    });
}

// A POSIX extended regular expression matching text literally, for what a
// death test's dying process wrote.
inline std::string literally(const std::string& text) {
    std::string pattern;
    for (char c : text) {
        if (std::string(".[]{}()\\*+?^$|").find(c) != std::string::npos) pattern += '\\';
        pattern += c;
    }
    return pattern;
}

}  // namespace testboxes
