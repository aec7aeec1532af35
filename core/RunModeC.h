#pragma once
// The root layer of the start-up object (run mode, wave-file limits, the
// record of the file being processed, run-context texts), the quit record
// shared by the threads of graphic mode, and the release banner.
#include <atomic>
#include <cstdint>

// Release banner: the message title and the name of every application.
extern const char ReleaseStr[];

enum RunMode : int32_t { ModeSilent = 0, ModeText = 1, ModeGraphic = 2 };

// Limits that a wave file's header and data must meet.
struct HeaderLimitsS {
    // The longest file name, in characters, and the size of one line read:
    // 47 characters and the terminator. They hold for every file, and every
    // buffer that holds a name or a read is sized from them.
    static constexpr uint16_t FNameMax = 2048;
    static constexpr uint16_t LineReadSize = 48;
    // The header's lines before the first datum: datum k is file line k +
    // HeaderLines.
    static constexpr uint32_t HeaderLines = 5;

    uint32_t SamplesMin;      // SAMPLES must be above this
    uint32_t SamplesMax;      // ... and at most this
    uint16_t BitsMin;         // BITSPERSAMPLE (16 bits) must be above this
    uint16_t ChannelsNeeded;  // CHANNELS (16 bits) must equal this
    uint32_t RateMin;         // SAMPLERATE must be above this
    char NormalizedWord[8];   // the only NORMALIZED word accepted
    double DatumMin;          // data lie in [DatumMin, DatumMax]
    double DatumMax;
};

enum { FNameSize = HeaderLimitsS::FNameMax + 1, NormalizedSize = 14 };

// The file being processed: its header values and the engine's working values.
struct FileStateS {
    char CurFName[FNameSize];
    uint32_t Samples;
    uint16_t BitsPerSample;
    uint16_t Channels;
    uint32_t SampleRate;
    char Normalized[NormalizedSize];
    double Value;     // datum last read
    double MaxValue;  // greatest datum p
    uint32_t RunAbove;
    uint32_t RunBelow;
    double HeightH;    // spike height threshold H
    uint32_t WidthW;   // spike width threshold W, data lines
    uint32_t GlitchG;  // glitch length G, data lines
};

extern const HeaderLimitsS DefaultHeaderLimits;
extern const FileStateS StartFileState;

class RunModeC {
  public:
    enum TextSizes { CWDSize = 1024, DateSize = 12, TimeSize = 6, UserSize = 64 };

    RunModeC();

    HeaderLimitsS HeaderLimits;
    FileStateS FileState;
    int32_t Mode;
    char CWD[CWDSize];
    char Date[DateSize];
    char Time[TimeSize];
    char User[UserSize];
};

class TextAppC;

// How the entry, the two front ends of graphic mode, the output-window thread
// and the engine agree on ending a run. Each field is written at one point by
// one side and polled by the other, so each is atomic.
struct QuitterS {
    enum QuitStates { Running = 0, TakenDown = 1, TakeDownAsked = 2 };
    enum ReleaseModes { EntryDestroys = 0, ThreadDestroys = 2 };

    std::atomic<TextAppC*> TextAppP{nullptr};
    std::atomic<int32_t> QuitState{Running};
    std::atomic<int32_t> ReleaseMode{EntryDestroys};
};
