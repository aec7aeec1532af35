#include "textui/SaveResultsC.h"

#include <cstdio>
#include <cstring>

#include "core/ErrHandleC.h"
#include "framework/PlatformSeams.h"
#include "framework/TFileOpenDialog.h"
#include "resources/WindowNames.h"

const char SaveResultsC::Filter[] = "Text (*.txt)|*.txt|Spreadsheet table, CSV (*.csv)|*.csv|";

namespace {

// A failed step of writing the file at path: the warning, and its status.
int notSaved(int status, const char* path, const char* step, const char* reason) {
    return ErrHandle.report(status,
                            "Tallywave SaveResultsC::save():\nThe results were not saved.\n"
                            "File=[%s].\n%s: %s",
                            path, step, reason);
}

}  // namespace

SaveResultsC::SaveResultsC(TextWinC& window, const QuitterS& quitter)
    : Window(window),
      Quitter(quitter),
      WorkDir{},
      Started{},
      Saving(false),
      TextCopy(CopyStartRoom),
      TableCopy(CopyStartRoom) {}

void SaveResultsC::setRun(const char* workDir, const std::tm& started) {
    std::snprintf(WorkDir, sizeof WorkDir, "%s", workDir);
    Started = started;
}

// Each field is bounded to its width, so the name always has its length.
void SaveResultsC::defaultName(char* name, std::size_t size, const std::tm& started) {
    std::snprintf(name, size, "tallywave-results-%04u%02u%02u-%02u%02u%02u",
                  (started.tm_year + 1900u) % 10000u, (started.tm_mon + 1u) % 100u,
                  started.tm_mday % 100u, started.tm_hour % 100u, started.tm_min % 100u,
                  started.tm_sec % 100u);
}

bool SaveResultsC::namesTable(const char* path) {
    const std::size_t length = std::strlen(path);
    if (length < 4) return false;
    const char* end = path + length - 4;
    return end[0] == '.' && (end[1] | 0x20) == 'c' && (end[2] | 0x20) == 's' &&
           (end[3] | 0x20) == 'v';
}

// The temporary file is named ~tallywave-N.tmp after the first N free in
// the folder; whatever fails after it was made, it is taken away again.
int SaveResultsC::writeWhole(const char* path, const char* bytes, std::size_t count) {
    char reason[seam::ReasonSize] = "";
    const char* slash = std::strrchr(path, '\\');
    if (const char* other = std::strrchr(path, '/'); other != nullptr && other > slash)
        slash = other;
    const int folderLength = slash != nullptr ? static_cast<int>(slash - path + 1) : 0;
    char temp[FNameSize + 32];
    void* file = nullptr;
    seam::FileMade made = seam::FileExists;
    for (int n = 1; n <= TempTries && made == seam::FileExists; ++n) {
        std::snprintf(temp, sizeof temp, "%.*s~tallywave-%d.tmp", folderLength, path, n);
        made = seam::createFile(temp, file, reason);
    }
    if (made == seam::FileExists)
        std::snprintf(reason, sizeof reason, "~tallywave-1.tmp to ~tallywave-%d.tmp all exist",
                      static_cast<int>(TempTries));
    if (made != seam::FileCreated)
        return notSaved(-2, path, "Can't make a temporary file in its folder", reason);
    if (!seam::writeFile(file, bytes, count, reason)) {
        char ignored[seam::ReasonSize];
        seam::closeFile(file, ignored);
        seam::removeFile(temp);
        return notSaved(-3, path, "Can't write the temporary file", reason);
    }
    if (!seam::closeFile(file, reason)) {
        seam::removeFile(temp);
        return notSaved(-4, path, "Can't finish the temporary file", reason);
    }
    if (!seam::replaceFile(temp, path, reason)) {
        seam::removeFile(temp);
        return notSaved(-5, path, "Can't give the temporary file its name", reason);
    }
    return 0;
}

// What is saved is copied while no pass writes the window, before the
// dialog: in graphic mode a pass may start while the dialog is up.
void SaveResultsC::save(TWindow* owner) {
    if (Saving || Quitter.QuitState.load() != QuitterS::Running) return;
    if (!Window.beginSave()) return;  // a pass writes the window
    const bool copied = TextCopy.replace("%s", Window.Text) &&
                        TableCopy.replace("%s%s", ResultTableC::Header, Window.Table.rows());
    const bool tableWhole = Window.Table.complete();
    Window.endSave();
    Saving = true;
    if (copied)
        saveCopies(owner, tableWhole);
    else
        ErrHandle.report(-6,
                         "Tallywave SaveResultsC::save():\nThe results were not saved.\n"
                         "Not enough memory to copy them.");
    TextCopy.release();
    TableCopy.release();
    Saving = false;
}

void SaveResultsC::saveCopies(TWindow* owner, bool tableWhole) {
    char name[FNameSize];
    defaultName(name, sizeof name, Started);
    TOpenSaveDataS data;
    data.Flags = TOpenSaveDataS::OverwritePrompt | TOpenSaveDataS::PathMustExist |
                 TOpenSaveDataS::HideReadOnly | TOpenSaveDataS::NoChangeDir |
                 TOpenSaveDataS::LongNames | TOpenSaveDataS::Explorer;
    data.Filter = Filter;
    data.FilterIndex = 1;
    data.InitialDir = WorkDir;
    data.DefExt = "txt";
    data.FileName = name;
    data.MaxPath = sizeof name;
    data.Title = names::SaveDialogCaption;
    TFileSaveDialog dialog(owner, data);
    if (dialog.execute() != TOpenSaveDataS::Ok) {
        if (dialog.error() != 0)
            ErrHandle.report(-7,
                             "Tallywave SaveResultsC::save():\nThe results were not saved.\n"
                             "The Save As dialog failed: error 0x%lX.",
                             dialog.error());
        return;
    }
    if (!namesTable(name)) {
        writeWhole(name, TextCopy.c_str(), TextCopy.length());
    } else if (tableWhole) {
        writeWhole(name, TableCopy.c_str(), TableCopy.length());
    } else {
        ErrHandle.report(-8,
                         "Tallywave SaveResultsC::save():\nThe results were not saved.\n"
                         "File=[%s].\nThe table lost rows: not enough memory to keep them.",
                         name);
    }
}
