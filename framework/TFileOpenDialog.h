#pragma once
// The system's dialogs for opening files, with several files chosen at once,
// and for saving one. On OK the open dialog's name buffer holds either one
// full path, or the directory and then each name, every one ended by a NUL
// and the whole by a second NUL; the save dialog's holds the full path.
#include "framework/TWindow.h"

struct TOpenSaveDataS {
    // Flags, with the values Win32 gives them.
    enum Flags : unsigned long {
        OverwritePrompt = 0x00000002UL,
        HideReadOnly = 0x00000004UL,
        NoChangeDir = 0x00000008UL,
        AllowMultiSelect = 0x00000200UL,
        PathMustExist = 0x00000800UL,
        FileMustExist = 0x00001000UL,
        NoTestFileCreate = 0x00010000UL,
        LongNames = 0x00200000UL,
        Explorer = 0x00080000UL,
    };
    enum Answers { Ok = 1, Cancel = 2 };
    enum Errors : unsigned long { BufferTooSmall = 0x3003UL };

    unsigned long Flags = 0;
    // Pairs of description and patterns, each ended by a bar: "Text|*.txt|".
    const char* Filter = "";
    int FilterIndex = 0;
    const char* InitialDir = "";
    const char* DefExt = nullptr;
    char* FileName = nullptr;  // in: the starting list; out: the choice
    unsigned MaxPath = 0;      // characters FileName holds
    const char* Title = nullptr;
};

class TFileOpenDialog {
  public:
    TFileOpenDialog(TWindow* owner, TOpenSaveDataS& data) : Owner(owner), Data(data) {}
    // Runs the dialog modally: Ok or Cancel (also when it failed).
    int execute();
    // The dialog's extended error code of the last execute, 0 for none.
    unsigned long error() const { return Error; }

  protected:
    TFileOpenDialog(TWindow* owner, TOpenSaveDataS& data, bool saving)
        : Owner(owner), Data(data), Saving(saving) {}

  private:
    [[maybe_unused]] TWindow* Owner;  // read by the Win32 side only
    TOpenSaveDataS& Data;
    unsigned long Error = 0;
    bool Saving = false;
};

// The Save As dialog: the same data, one name chosen.
class TFileSaveDialog : public TFileOpenDialog {
  public:
    TFileSaveDialog(TWindow* owner, TOpenSaveDataS& data) : TFileOpenDialog(owner, data, true) {}
};
