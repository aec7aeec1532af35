#pragma once
// The texts of the six help topics, in menu order: overview, spike height,
// spike width, Check, Count, about. Lines end in CR LF.
#include "resources/WindowNames.h"

enum { HelpTopicCount = names::HelpTopics };
extern const char* const HelpTopicTexts[HelpTopicCount];
