#pragma once
// The invocation line parser: turns the argument vector into the program
// name, the run mode, the spike parameters h and w and the GOOD and BAD lists
// of input file names. Everything happens in the constructor, on one flat
// line whose words are blanked out as they are consumed.
#include "engine/GoodBadListC.h"

class InvokeParseC : public GoodBadListC {
  public:
    enum Sizes { InStrSize = 10240, MsgInStrStartSize = 8, TokenMax = 64, TokenCut = 7 };
    enum NameLimits { NameLineMax = 10000, NameLineCutMax = 10011 };

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
    double settleParam(double value, double fallback, const char* what);
    void parse(char** argv);
    void releaseLines();

    char* InStr;     // the working line; consumed words become blanks
    char* MsgInStr;  // the line as invoked, quoted in messages
    int ExePathLen;  // length of the program path, the line's first argument
};
