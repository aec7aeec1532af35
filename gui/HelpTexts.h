#pragma once
// The texts of the six help topics, in menu order: overview, spike height,
// spike width, Check, Count, about. Lines end in CR LF.
enum { HelpTopicCount = 6 };
extern const char* const HelpTopicTexts[HelpTopicCount];
