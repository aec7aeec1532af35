// The help windows show these texts in a fixed-pitch font, in a multi-line
// edit of 500 x 550 pixels without scroll bars: about 60 columns and 39 lines.
// Each text therefore keeps its lines within 60 characters and its length
// within 38 lines, and breaks its lines itself with CR LF, as the edit
// control expects. One literal per displayed line keeps the layout visible.
#include "gui/HelpTexts.h"

namespace {

const char Overview[] =
    "Tallywave scans ASCII text files of wave amplitudes for\r\n"
    "spikes and reports to a newly created text window.\r\n"
    "\r\n"
    "The data are signed doubles, one per line, between +1 and\r\n"
    "-1, in files whose names end in .txt or .asc. The header\r\n"
    "has exactly five lines, each keyword, colon, tab, value;\r\n"
    "the first datum is on line six. No blank, empty or other\r\n"
    "non-data line may follow the header.\r\n"
    "\r\n"
    "  +----------------------------------------\r\n"
    "  |SAMPLES:         (decimal integer > 999)\r\n"
    "  |BITSPERSAMPLE:   (decimal integer > 7)\r\n"
    "  |CHANNELS:        1\r\n"
    "  |SAMPLERATE:      (decimal integer > 5999)\r\n"
    "  |NORMALIZED:      TRUE\r\n"
    "  |(first signed-double datum)\r\n"
    "\r\n"
    "SAMPLES is the number of data, SAMPLERATE the number of\r\n"
    "data per second. BITSPERSAMPLE is checked but not used.\r\n"
    "CHANNELS must be 1 and NORMALIZED must be TRUE.\r\n"
    "\r\n"
    "Syntax:  Tallywave [-s|-t] h w filename1 [filename2 . . .]\r\n"
    "  -s    silent mode, for batch runs\r\n"
    "  -t    text mode\r\n"
    "  none  graphic mode; file names on the command line\r\n"
    "        are ignored\r\n"
    "h and w are percentages from 0.0001 to 99.9999: h sets the\r\n"
    "spike height, w the spike width relative to the longest\r\n"
    "inactive stretch T of the file. Glitches shorter than a\r\n"
    "tenth of w*T are ignored.\r\n"
    "\r\n"
    "Input path names may hold only printable characters, may\r\n"
    "not begin with a hyphen (-) and may not contain:\r\n"
    "  blank (space)  double quote \"  apostrophe '\r\n"
    "  asterisk *  question mark ?  backquote `\r\n"
    "  vertical bar |  less than <  greater than >\r\n";

const char SpikeHeight[] =
    "All data must lie within +1 and -1. A single value\r\n"
    "outside this range rejects the whole file.\r\n"
    "\r\n"
    "The height h sets the spike threshold H as a percentage\r\n"
    "of the greatest positive value p in the file:\r\n"
    "\r\n"
    "    H = p * h / 100\r\n"
    "\r\n"
    "Only data above H can belong to a spike. Because H follows\r\n"
    "the file's own peak and no datum may exceed 1, Tallywave\r\n"
    "works best on data normalized to a maximum of 1.\r\n"
    "\r\n"
    "Audio editing tools can normalize data to 100 or 200\r\n"
    "percent. This may make the spikes more regular, but each\r\n"
    "kind of sample needs its own evaluation: try a few values\r\n"
    "of h on known samples before counting a whole series.\r\n";

const char SpikeWidth[] =
    "A spike is a pulse of several cycles that rise above the\r\n"
    "height threshold H. The width w ignores the cycles and\r\n"
    "counts only duration: the number of data lines spent above\r\n"
    "and below H, as a percentage of the longest stretch\r\n"
    "without a pulse.\r\n"
    "\r\n"
    "For a file with a single spike, w acts as a duty cycle\r\n"
    "over the whole file: with w = 3, an excursion above H that\r\n"
    "lasts 3 percent of the file or more counts as a spike.\r\n"
    "The more spikes a file holds, the shorter its stretches\r\n"
    "without a pulse, and the shorter the duration w refers to.\r\n"
    "\r\n"
    "Inside a spike the data may dip below H for a moment. Such\r\n"
    "a downward glitch ends the spike only when it lasts a\r\n"
    "tenth of the width threshold or longer; shorter glitches\r\n"
    "are ignored.\r\n"
    "\r\n"
    "Spikes that lie very close together may be counted as\r\n"
    "fewer spikes: set w lower. A slow pulse may be counted as\r\n"
    "several spikes: set w higher.\r\n";

const char Check[] =
    "The Check button tests the selected files without\r\n"
    "counting any spikes.\r\n"
    "\r\n"
    "First it tests the name and extension of every file and\r\n"
    "lists the invalid names in the output window. Then it\r\n"
    "checks each of the other files for:\r\n"
    "\r\n"
    "  - existence and read permission,\r\n"
    "  - the syntax of the five header lines,\r\n"
    "  - valid data, one signed double per line,\r\n"
    "  - agreement of header and data (SAMPLES must match\r\n"
    "    the number of data found).\r\n"
    "\r\n"
    "It reports each problem found, lists the names of the\r\n"
    "files that remain valid, and stops.\r\n"
    "\r\n"
    "On large valid files Check takes about half the time of\r\n"
    "Count. To count the spikes, use the Count command.\r\n";

const char Count[] =
    "The Count button makes the checks of Check and then counts\r\n"
    "the spikes of each valid file, in two passes.\r\n"
    "\r\n"
    "The first pass finds the greatest positive value p and\r\n"
    "sets the height threshold H = p * h / 100. It also finds\r\n"
    "the longest duration T, in data lines, spent above or\r\n"
    "below the level h / 100, and sets the width threshold\r\n"
    "W = T * w / 100.\r\n"
    "\r\n"
    "The second pass uses H and W to tell spikes from noise and\r\n"
    "writes the result of each file to the output window.\r\n"
    "\r\n"
    "At the end a summary gives the number of files counted\r\n"
    "and the names of the files that were not counted.\r\n"
    "\r\n"
    "If peaks you can see are missed, lower h or w.\r\n"
    "If the counts are too high, raise h or w.\r\n";

const char About[] =
    "Tallywave Release v. 1.0 of 2003-05-22\r\n"
    "\r\n"
    "Tallywave counts the spikes in ASCII files of wave\r\n"
    "amplitudes and reports how many it found in each file.\r\n"
    "\r\n"
    "It runs on 32-bit Windows in silent, text and graphic\r\n"
    "mode, and keeps no settings between runs.\r\n";

}  // namespace

const char* const HelpTopicTexts[HelpTopicCount] = {Overview, SpikeHeight, SpikeWidth,
                                                    Check,    Count,       About};
