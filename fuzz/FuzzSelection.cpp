// Fuzz target: graphic mode's file selection, the buffer the file-open dialog
// fills (one full path, or a directory and names, each ended by a NUL and the
// list by a second one) taken apart into the directory and the names, and
// those joined into the GOOD and BAD lists.
//
// Input: a control byte, a filler byte, then the start of the buffer. The
// rest of the buffer is NULs, or with control bit 0 the filler byte, so that
// buffers with no second NUL, or none at all, are as easy to reach as proper
// ones. Control bit 1 passes the buffer through the dialog (the stand-in
// fills the dialog's own buffer), else it goes to takeSelection in a block
// of exactly its size; bit 2 also makes the GOOD and BAD lists from it.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/ErrHandleC.h"
#include "framework/TFileOpenDialog.h"
#include "framework/native/StandIns.h"
#include "fuzz/FuzzSupport.h"
#include "gui/FileSysAccessC.h"

namespace {

using fuzzsupport::visible;
using Names = std::vector<std::string>;
const std::size_t Size = FileSysAccessC::NamesStrSize;

// The strings of the list: up to the first empty one.
Names listOf(const std::vector<char>& buffer) {
    Names strings;
    std::size_t at = 0;
    while (at < Size && buffer[at] != '\0') {
        const char* end = static_cast<const char*>(std::memchr(&buffer[at], '\0', Size - at));
        const std::size_t length = end == nullptr ? Size - at : std::size_t(end - &buffer[at]);
        strings.emplace_back(&buffer[at], length);
        at += length + 1;
    }
    return strings;
}

Names namesOf(const FileSysAccessC& selection) {
    const char* limit = selection.names() + Size;
    const char* end = nullptr;
    for (const char* c = selection.names(); c + 1 < limit; ++c)
        if (c[0] == '\0' && c[1] == '\0') {
            end = c;
            break;
        }
    FUZZ_CHECK(end != nullptr || selection.names()[0] == '\0',
               "NamesStr has no list end within its field");
    Names names;
    for (const char* name = selection.names(); *name != '\0'; name += std::strlen(name) + 1)
        names.push_back(name);
    return names;
}

std::string listed(const Names& names) {
    std::string all;
    for (std::size_t i = 0; i < names.size() && i < 10; ++i)
        all += "[" + visible(names[i], 60) + "]";
    return names.size() > 10 ? all + "..." : all;
}

// What the selection must hold for the buffer.
void checkSelection(const FileSysAccessC& selection, const std::vector<char>& buffer) {
    FUZZ_CHECK(std::memchr(selection.directory(), '\0', FileSysAccessC::DirStrSize) != nullptr,
               "DirStr runs past its field");
    const std::string dir = selection.directory();
    const Names names = namesOf(selection);
    const Names strings = listOf(buffer);
    if (strings.empty()) {
        FUZZ_CHECK(dir.empty(), "a buffer starting with a NUL gave a directory");
        return;
    }
    const std::string& first = strings.front();
    const std::size_t cut = FileSysAccessC::PartMax;
    if (strings.size() == 1) {
        // One path: directory and name part at its last backslash (looked
        // for in the directory's part of the path).
        const std::string kept = first.substr(0, cut);
        const std::size_t slash = kept.rfind('\\');
        const std::string expectedDir = slash == std::string::npos ? "" : kept.substr(0, slash);
        const Names expectedName{first.substr(slash == std::string::npos ? 0 : slash + 1)};
        FUZZ_CHECK(dir == expectedDir, "one path: directory [" + visible(dir) + "], expected [" +
                                           visible(expectedDir) + "]");
        FUZZ_CHECK(names == expectedName || (expectedName[0].empty() && names.empty()),
                   "one path: names " + listed(names) + ", expected " + listed(expectedName));
        return;
    }
    FUZZ_CHECK(dir == first.substr(0, cut), "directory [" + visible(dir) + "], expected [" +
                                                visible(first.substr(0, cut)) + "]");
    const Names expected(strings.begin() + 1, strings.end());
    FUZZ_CHECK(names == expected, "names " + listed(names) + ", expected " + listed(expected));
}

// The end of a path, where paths of one directory differ.
std::string ending(const std::string& path) {
    const std::size_t shown = 120;
    return path.size() <= shown ? visible(path) : "..." + visible(path.substr(path.size() - shown));
}

// Whether every character of text passes the name checks (a backslash too,
// when backslashes are allowed).
bool printable(const std::string& text, bool backslashes) {
    for (char c : text)
        if (!(backslashes && c == '\\') &&
            InvokeParseC::isBadChar(static_cast<unsigned char>(c)) != 0)
            return false;
    return true;
}

// GOOD and BAD hold the directory joined to each name, in the selection's
// order. A name is GOOD when its directory and itself pass the character
// checks, it ends in .txt or .asc, and the whole path fits a list entry; a
// BAD path is kept as far as an entry holds it.
void checkLists(FileSysAccessC& selection, InvokeParseC& invoke, bool stored) {
    const std::string dir = selection.directory();
    const Names names = namesOf(selection);
    const auto boxes = standin::shownBoxes();
    if (dir.empty()) {
        FUZZ_CHECK(!stored && boxes.size() == 1, "an empty directory was not refused with one box");
        return;
    }
    FUZZ_CHECK(stored && boxes.empty(), "a selection was refused or showed a box");
    const bool dirOk = printable(dir, true);
    int good = 0, bad = 0;
    const std::size_t cut = FileSysAccessC::PartMax;
    for (const std::string& name : names) {
        const std::string path =
            (dir.substr(0, cut) + "\\" + name.substr(0, cut)).substr(0, FNameSize - 1);
        const bool isGood = dirOk && printable(name, false) &&
                            InvokeParseC::checkExtension(int(name.size()), name.c_str()) == 0 &&
                            dir.size() + 1 + name.size() <= FNameSize - 1;
        const int list = isGood ? GoodBadListC::GOOD : GoodBadListC::BAD;
        const char* entry = invoke.getName(list, isGood ? ++good : ++bad);
        FUZZ_CHECK(entry != nullptr && path == entry,
                   "[" + ending(path) + "] is not next in " + (isGood ? "GOOD" : "BAD") +
                       ", which holds [" + ending(entry ? entry : "none") + "]");
    }
    FUZZ_CHECK(
        good == invoke.getTotal(GoodBadListC::GOOD) && bad == invoke.getTotal(GoodBadListC::BAD),
        "the lists hold more than the selection");
}

InvokeParseC& invocation() {
    static char program[] = "tallywave.exe";
    static char* argv[] = {program, nullptr};
    static InvokeParseC parsed(argv);
    return parsed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2) return -1;
    const uint8_t control = data[0];
    std::vector<char> buffer(Size, (control & 1) ? static_cast<char>(data[1]) : '\0');
    std::memcpy(buffer.data(), data + 2, std::min(size - 2, Size));

    standin::resetAll();
    ErrHandle.setTitle(ReleaseStr);
    InvokeParseC& invoke = invocation();
    auto selection = std::make_unique<FileSysAccessC>(nullptr, &invoke);
    // The list as the program takes it: the buffer's last two characters
    // count as NULs, so a list without its end stops there.
    std::vector<char> expectedFrom = buffer;
    expectedFrom[Size - 2] = expectedFrom[Size - 1] = '\0';
    if (control & 2) {
        bool asked = false;
        standin::setOpenDialogScript([&](TOpenSaveDataS& dialog, unsigned long& error) {
            FUZZ_CHECK(dialog.MaxPath == Size && dialog.FileName != nullptr, "dialog buffer size");
            std::memcpy(dialog.FileName, buffer.data(), Size);
            asked = true;
            error = 0;
            return int(TOpenSaveDataS::Ok);
        });
        selection->popFiles();
        FUZZ_CHECK(asked && standin::shownBoxes().empty(),
                   "the dialog was not asked or a box showed");
    } else {
        std::unique_ptr<char[]> block(new char[Size]);
        std::memcpy(block.get(), buffer.data(), Size);
        selection->takeSelection(block.get());
    }
    checkSelection(*selection, expectedFrom);
    if (control & 4) checkLists(*selection, invoke, selection->storePopFiles());
    return 0;
}
