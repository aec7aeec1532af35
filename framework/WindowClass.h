#pragma once
// The window class the framework registers for every window it makes that
// names no class of its own (frames, clients, the help topics' frames):
// programs that find the windows from outside look for it.
inline constexpr char OurWindowClass[] = "TallywaveWindow";
