#pragma once
// The platform services that the portable layers (core/, engine/, startup/)
// and the front ends' portable logic reach. Each has a Win32 implementation
// in framework/win32 and a native stand-in in framework/native that the unit
// tests script; the portable layers never include <windows.h>.
#include <cstddef>
#include <ctime>

namespace seam {

// Message-box flags, with the values Win32 gives them.
enum BoxFlag : unsigned {
    BoxOk = 0x00000000,
    BoxYesNo = 0x00000004,
    BoxIconHand = 0x00000010,
    BoxIconExclamation = 0x00000030,
    BoxIconInformation = 0x00000040,
    BoxDefButton2 = 0x00000100,
    BoxTaskModal = 0x00002000,
    BoxTopmost = 0x00040000,
};

// The buttons that close a box, with the values Win32 gives them.
enum BoxAnswer : int { AnswerOk = 1, AnswerCancel = 2, AnswerYes = 6, AnswerNo = 7 };

// Shows a modal box without owner window and returns the button that closed
// it. Blocks the calling thread until the box is closed.
int showMessageBox(unsigned flags, const char* caption, const char* text);

// The largest error number for which the C runtime has a text of its own.
int largestErrnoWithText();

// Width and height of the primary screen in pixels.
unsigned screenWidth();
unsigned screenHeight();

// The name of the user running the program, at most size - 1 characters, into
// name; name is left empty when the system does not give it.
void userName(char* name, unsigned size);

// Whether one block of that many bytes can be obtained right now; the block
// is given back at once.
bool canObtainBlock(unsigned long bytes);

// The calendar time in seconds as std::time gives it, also stored at out
// unless it is null. The Win32 C runtime under Wine looks at the time zone
// on every std::time; this does not.
std::time_t currentTime(std::time_t* out);

// Receives one name found by findFiles; returns false to stop the search.
using FoundFileFn = bool (*)(void* context, const char* name);

// Looks for the files (not folders) whose names match pattern, a file name
// with the wildcards * and ? that may start with a folder; gives each name,
// without the folder, to found in the order the system lists them.
void findFiles(const char* pattern, FoundFileFn found, void* context);

// A thread of the engine's own: started on fn(arg), ended when fn returns
// and the starter joins it. startThread gives none when the system cannot
// start one (the engine then does the work on its own thread).
struct ThreadS;
using ThreadFn = void (*)(void* arg);
ThreadS* startThread(ThreadFn fn, void* arg);
// Waits until the thread's fn has returned, then lets the thread go.
void joinThread(ThreadS* thread);

// A file written whole, step by step. A step that fails puts the system's
// reason for it (ReasonSize characters at most, the terminator included)
// into reason.
enum { ReasonSize = 256 };
enum FileMade { FileCreated, FileExists, FileRefused };
// A new file at path, open for writing, in file; FileExists (no reason)
// when something of that name is there already.
FileMade createFile(const char* path, void*& file, char* reason);
bool writeFile(void* file, const char* bytes, std::size_t count, char* reason);
// Closes the file once what was written to it has reached the disk.
bool closeFile(void* file, char* reason);
// The file at from takes the name to, in place of the file there, if any.
bool replaceFile(const char* from, const char* to, char* reason);
void removeFile(const char* path);

// The multi-line edit control of the text output window, as the output
// window's buffer side drives it. Until the control's window exists none of
// these has any effect.
class EditControl {
  public:
    // Replaces the whole text (the platform's set-text) and shows its end.
    virtual void replaceText(const char* text) = 0;
    // Adds text (zero-terminated at length) after the last character. A user
    // who follows the end (the caret at the end, nothing selected, the last
    // line in view) is shown the end of the new text; otherwise the user's
    // selection and view stay as they were.
    virtual void appendText(const char* text, std::size_t length) = 0;
    // Whether the user changed the text since the program last wrote it.
    virtual bool modified() = 0;
    virtual void setReadOnly() = 0;
    virtual int lineCount() = 0;
    // Scrolls the view down by lines (up when negative), never past the text;
    // only for a user who follows the end, so a view the user moved stays.
    virtual void scrollLines(int lines) = 0;

  protected:
    ~EditControl() = default;
};

}  // namespace seam
