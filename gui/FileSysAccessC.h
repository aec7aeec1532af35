#pragma once
// Graphic mode's input files: the system's file-open dialog (Select) and the
// selection it leaves, a directory and the names chosen in it, which every
// Check and Count turns into the GOOD and BAD lists with full paths.
#include <atomic>

#include "framework/TWindow.h"
#include "startup/InvokeParseC.h"

class FileSysAccessC {
  public:
    // A directory or a name is taken up to PartMax characters, one short of
    // the longest file name. The dialog's buffer and NamesStr each hold
    // NamesStrSize characters (1 MiB: more than 20,000 names of 40
    // characters), on the heap.
    enum Sizes {
        DirStrSize = 6144,
        NamesStrSize = 1 << 20,
        PartMax = HeaderLimitsS::FNameMax - 1,
        PathSize = 4096
    };

    FileSysAccessC(TWindow* owner, InvokeParseC* invoke);
    virtual ~FileSysAccessC();
    FileSysAccessC(const FileSysAccessC&) = delete;
    FileSysAccessC& operator=(const FileSysAccessC&) = delete;

    // Runs the file-open dialog; OK replaces the selection, Cancel keeps it.
    // Does nothing while a dialog is up already.
    void popFiles();
    // Empties GOOD and BAD and fills them from the selection; false (after
    // telling the user) when nothing is selected.
    bool storePopFiles();
    // Takes what the dialog returned in buffer (NamesStrSize characters): one
    // full path, or a directory and names, each ended by a NUL. A list the
    // dialog did not end with two NULs ends at the buffer's last two
    // characters, which become NULs.
    void takeSelection(char* buffer);
    // The selection kept: its directory, and its names as in NamesStr.
    const char* directory() const { return DirStr; }
    const char* names() const;

    // True while a file-open dialog is up.
    static std::atomic<bool> SelectBusy;

  protected:
    TWindow* OwnerP;        // the file-open dialog's owner
    InvokeParseC* InvokeP;  // the lists the selection fills, and h and w

  private:
    void runDialog(char* buffer);
    bool directoryAcceptable() const;
    void storeName(const char* name, bool dirOk);

    char DirStr[DirStrSize];   // without a trailing backslash for one file
    char* NamesStr = nullptr;  // names, each ended by a NUL, then an empty one;
                               // none before the first selection
};
