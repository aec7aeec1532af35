// The help windows show these texts in a fixed-pitch font, in a multi-line
// edit of 500 x 550 pixels without scroll bars: 62 columns of 8 pixels and 39
// lines of 14. Each text therefore keeps its lines within 62 characters and
// its length within 38 lines (HelpTextsTest holds them to that), and breaks
// its lines itself with CR LF, as the edit control expects. One literal per
// displayed line keeps the layout visible.
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
    "spike height, w the least distance between spikes as a\r\n"
    "share of T, the longest stretch on one side of h/100. Dips\r\n"
    "shorter than a tenth of that distance do not end a spike.\r\n"
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
    "A spike starts at a datum at or above H. Because H follows\r\n"
    "the file's own peak and no datum may exceed 1, Tallywave\r\n"
    "works best on data normalized to a maximum of 1.\r\n"
    "\r\n"
    "Audio editing tools can normalize data to 100 or 200\r\n"
    "percent. This may make the spikes more regular, but each\r\n"
    "kind of sample needs its own evaluation: try a few values\r\n"
    "of h on known samples before counting a whole series.\r\n";

const char SpikeWidth[] =
    "A spike is a burst of data that reach the height threshold\r\n"
    "H. The width w sets how far apart two spikes must be, not\r\n"
    "how long one lasts: a spike may be a single datum.\r\n"
    "\r\n"
    "The first pass finds T, the longest stretch of data that\r\n"
    "all lie above h / 100, or all at or below it, and sets the\r\n"
    "least distance between spikes, in data:\r\n"
    "\r\n"
    "    W = T * w / 100   (at least 2)\r\n"
    "\r\n"
    "A spike starts at a datum at or above H, but only W data\r\n"
    "or more after the last datum at or above H of the spike\r\n"
    "before. It ends, and is counted, at the G-th datum in a\r\n"
    "row below H, where G = W / 10 (at least 1): a dip below H\r\n"
    "shorter than G does not end it. A spike still open at the\r\n"
    "last datum is not counted.\r\n"
    "\r\n"
    "Spikes that lie very close together may be counted as\r\n"
    "fewer spikes: set w lower. A slow pulse may be counted as\r\n"
    "several spikes: set w higher.\r\n";

const char Check[] =
    "Check tests the selected files without counting spikes.\r\n"
    "\r\n"
    "First it tests the name and extension of every file and\r\n"
    "lists the invalid names in the output window. Then it\r\n"
    "checks each of the other files for:\r\n"
    "\r\n"
    "  - existence and read permission,\r\n"
    "  - the syntax of the five header lines,\r\n"
    "  - valid data, one signed double per line,\r\n"
    "  - agreement of header and data: fewer data than\r\n"
    "    SAMPLES are accepted, and the duration still comes\r\n"
    "    from the header; two or more too many are not.\r\n"
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
