#pragma once
// The invocation line parser: turns the argument vector into the program
// name, the run mode, the spike parameters h and w and the GOOD and BAD lists
// of input file names. Everything happens in the constructor, on one flat
// line whose words are blanked out as they are consumed. File names with the
// wildcards * and ? stand for the files they match.
#include "engine/GoodBadListC.h"
#include "engine/GrowTextC.h"

class InvokeParseC : public GoodBadListC {
  public:
    // InStrSize is the working line's first room; the line grows to hold
    // every argument.
    enum Sizes { InStrSize = 10240, MsgInStrStartSize = 8, TokenMax = 64, TokenCut = 7 };

    explicit InvokeParseC(char** argv);
    ~InvokeParseC();
    InvokeParseC(const InvokeParseC&) = delete;
    InvokeParseC& operator=(const InvokeParseC&) = delete;

    // 0 when c may stand in an input file name, -1 when not.
    static int isBadChar(unsigned char c);
    // 0 when the name of length len ends in ".txt" or ".asc" after at least
    // one other character, -1 when not.
    static int checkExtension(int len, const char* name);

  private:
    int flattenInvLine(char** argv);
    int storeExeName();
    int storeRunMode();
    int storeParams();
    int storeFileNames();
    void storeName(const char* name, int len);
    int storeMatches(const char* pattern);
    int lineFailed(int index, const char* entry);
    double settleParam(double value, double fallback, const char* what);
    void parse(char** argv);
    void releaseLines();

    GrowTextC InStr;  // the working line; consumed words become blanks
    char* MsgInStr;   // the line as invoked, quoted in messages
    int ExePathLen;   // length of the program path, the line's first argument
};
