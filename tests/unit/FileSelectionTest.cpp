// Graphic mode's file selection: what the file-open dialog is asked for, the
// two forms of the buffer it returns, and how a selection becomes the GOOD
// and BAD lists with full paths.
#include "gui/FileSysAccessC.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/ErrHandleC.h"
#include "framework/TFileOpenDialog.h"
#include "framework/native/StandIns.h"
#include "tests/common/ListMemory.h"
#include "tests/unit/Boxes.h"

namespace {

using Names = std::vector<std::string>;

class FileSelectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::resetAll();
        ErrHandle.setTitle(ReleaseStr);
    }
    // The user chooses in the dialog: the buffer gets reply (NULs included).
    void choose(const std::string& reply, unsigned long error = 0) {
        standin::setOpenDialogScript([=](TOpenSaveDataS& data, unsigned long& code) {
            Seen = data;
            SeenFilter = data.Filter;
            std::memcpy(data.FileName, reply.data(), reply.size());
            code = error;
            return error == 0 ? TOpenSaveDataS::Ok : TOpenSaveDataS::Cancel;
        });
        Selection.popFiles();
    }
    Names names() const {
        Names all;
        for (const char* n = Selection.names(); *n != '\0'; n += std::strlen(n) + 1)
            all.push_back(n);
        return all;
    }
    Names list(int which) {
        Names all;
        for (int pos = 1; pos <= Invoke.getTotal(which); ++pos)
            all.push_back(Invoke.getName(which, pos));
        return all;
    }

    char Program[16] = "tallywave.exe";
    char* Argv[2] = {Program, nullptr};
    InvokeParseC Invoke{Argv};
    FileSysAccessC Selection{nullptr, &Invoke};
    TOpenSaveDataS Seen;
    std::string SeenFilter;
};

TEST_F(FileSelectionTest, DialogIsAskedForSeveralExistingInputFiles) {
    choose(std::string("C:\\w\\a.txt\0\0", 12));
    EXPECT_EQ(Seen.Flags, 0x00211A04UL);
    EXPECT_EQ(SeenFilter, "Input Files (*.txt, *.asc)|*.txt;*.asc| All Files (*.*)|*.*|");
    EXPECT_EQ(Seen.FilterIndex, 0);
    EXPECT_STREQ(Seen.Title, "Select the Input File(s) to Count");
    EXPECT_STREQ(Seen.DefExt, "*");
    EXPECT_EQ(Seen.MaxPath, 1048576u);
    EXPECT_FALSE(FileSysAccessC::SelectBusy);
}

// One file: the path splits into directory and name. Several: directory,
// then the names in the dialog's order. A root directory keeps its backslash,
// so the joined paths hold two in a row.
TEST_F(FileSelectionTest, BothBufferFormsBecomeDirectoryAndNames) {
    choose(std::string("C:\\waves\\in\\a.txt\0\0", 19));
    EXPECT_STREQ(Selection.directory(), "C:\\waves\\in");
    EXPECT_EQ(names(), Names{"a.txt"});

    choose(std::string("C:\\waves\0b.asc\0a.txt\0c.txt\0\0", 28));
    EXPECT_STREQ(Selection.directory(), "C:\\waves");
    EXPECT_EQ(names(), (Names{"b.asc", "a.txt", "c.txt"}));
    ASSERT_TRUE(Selection.storePopFiles());
    EXPECT_EQ(list(GoodBadListC::GOOD),
              (Names{"C:\\waves\\b.asc", "C:\\waves\\a.txt", "C:\\waves\\c.txt"}));

    choose(std::string("D:\\\0x.txt\0y.txt\0\0", 17));
    ASSERT_TRUE(Selection.storePopFiles());
    EXPECT_EQ(list(GoodBadListC::GOOD), (Names{"D:\\\\x.txt", "D:\\\\y.txt"}));
    choose(std::string("D:\\x.txt\0\0", 10));
    EXPECT_STREQ(Selection.directory(), "D:");
}

TEST_F(FileSelectionTest, NamesFailingTheChecksGoToBad) {
    choose(std::string("C:\\w\0good.txt\0LOUD.TXT\0.txt\0a b.asc\0x.doc\0\0", 44));
    ASSERT_TRUE(Selection.storePopFiles());
    EXPECT_EQ(list(GoodBadListC::GOOD), Names{"C:\\w\\good.txt"});
    EXPECT_EQ(list(GoodBadListC::BAD),
              (Names{"C:\\w\\LOUD.TXT", "C:\\w\\.txt", "C:\\w\\a b.asc", "C:\\w\\x.doc"}));

    // A blank in the directory rejects every name.
    choose(std::string("C:\\my waves\0a.txt\0b.txt\0\0", 26));
    ASSERT_TRUE(Selection.storePopFiles());
    EXPECT_EQ(Invoke.getTotal(GoodBadListC::GOOD), 0);
    EXPECT_EQ(list(GoodBadListC::BAD), (Names{"C:\\my waves\\a.txt", "C:\\my waves\\b.txt"}));
}

// A full path of up to 2048 characters is kept whole; a longer one, which a
// list entry would cut into another file's name, goes to BAD.
TEST_F(FileSelectionTest, PathsTooLongForAListEntryGoToBad) {
    const std::string dir = "C:\\" + std::string(2000, 'd');
    const std::string fits(2048 - dir.size() - 1 - 4, 'n');
    const std::string over = fits + "n";
    choose(dir + '\0' + fits + ".txt" + '\0' + over + ".txt" + '\0' + '\0');
    ASSERT_TRUE(Selection.storePopFiles());
    const Names good = list(GoodBadListC::GOOD);
    ASSERT_EQ(good.size(), 1u);
    EXPECT_EQ(good[0], dir + "\\" + fits + ".txt");
    EXPECT_EQ(good[0].size(), 2048u);
    const Names bad = list(GoodBadListC::BAD);
    ASSERT_EQ(bad.size(), 1u);
    EXPECT_EQ(bad[0], (dir + "\\" + over + ".txt").substr(0, 2048));
    EXPECT_TRUE(standin::shownBoxes().empty());
}

// Cancel, a dialog failure and too many names keep the selection; the last
// two say so. Without any selection a Check lists nothing and explains.
TEST_F(FileSelectionTest, FailedChoicesKeepTheSelectionAndNothingSelectedExplains) {
    ASSERT_FALSE(Selection.storePopFiles());
    EXPECT_EQ(testboxes::takeTexts(),
              std::vector<std::string>{testboxes::box(
                  "Nothing selected.  Please select at least one file.\nAt least one file must "
                  "end in .txt or .asc, and some file\nand directory name characters can not be "
                  "processed.\nUse the [Help] menu for further information.\n",
                  0)});
    choose(std::string("C:\\w\\a.txt\0\0", 12));
    Selection.popFiles();  // no script: the user cancels
    choose("", 0x3003);
    choose("", 0x3002);
    EXPECT_STREQ(Selection.directory(), "C:\\w");
    EXPECT_EQ(names(), Names{"a.txt"});
    EXPECT_EQ(testboxes::takeTexts(),
              (std::vector<std::string>{
                  testboxes::box("File selection failed.  Limit, including path,\nis 1048576 "
                                 "characters.   Please try again.",
                                 -4),
                  testboxes::box("Unknown selection error.   Please try again.", -5)}));
}

// A buffer that the dialog did not end with two NULs ends at its last two
// characters: nothing is written past it (taken here in a block of exactly
// its size, so AddressSanitizer sees any such write) and the names end
// within NamesStr, the last one cut there.
TEST_F(FileSelectionTest, ABufferWithoutItsListEndEndsAtItsLastTwoCharacters) {
    const std::size_t size = FileSysAccessC::NamesStrSize;
    auto take = [&](const std::string& bytes) {
        std::unique_ptr<char[]> buffer(new char[size]);
        std::memcpy(buffer.get(), bytes.data(), size);
        Selection.takeSelection(buffer.get());
    };
    // A NUL first (no directory), then names running to the end.
    const std::string start("\0a.txt\0", 7);
    take(start + std::string(size - start.size(), 'x'));
    EXPECT_STREQ(Selection.directory(), "");
    EXPECT_EQ(names(), (Names{"a.txt", std::string(size - 9, 'x')}));
    EXPECT_FALSE(Selection.storePopFiles());
    EXPECT_EQ(testboxes::takeTexts().size(), 1u);  // nothing selected

    // One path with neither a NUL nor a backslash: all of it is the name.
    take(std::string(size, 'p'));
    EXPECT_STREQ(Selection.directory(), "");
    EXPECT_EQ(names(), Names{std::string(size - 2, 'p')});

    // Through the dialog's own buffer: a directory and a name, and one path,
    // each filling it to the end.
    const std::string dir("C:\\w\0", 5);
    choose(dir + std::string(size - dir.size(), 'n'));
    EXPECT_STREQ(Selection.directory(), "C:\\w");
    EXPECT_EQ(names(), Names{std::string(size - 7, 'n')});
    ASSERT_TRUE(Selection.storePopFiles());
    // A list keeps FNameSize - 1 characters of the joined path.
    EXPECT_EQ(list(GoodBadListC::BAD), Names{"C:\\w\\" + std::string(FNameSize - 6, 'n')});
    EXPECT_EQ(Invoke.getTotal(GoodBadListC::GOOD), 0);
    choose("C:\\w\\" + std::string(size - 5, 'q'));
    EXPECT_STREQ(Selection.directory(), "C:\\w");
    EXPECT_EQ(names(), Names{std::string(size - 7, 'q')});
}

// 20,000 names of 40 characters (and more) fit the selection, and every one
// becomes a path in GOOD, in order. Without memory for the dialog's buffer or
// the kept names, the user is told and the selection stays as it was.
TEST_F(FileSelectionTest, TwentyThousandNamesOf40CharactersAreKeptInOrder) {
    const std::string dir = "C:\\recordings\\2003";
    std::string reply = dir + '\0';
    Names chosen;
    while (reply.size() + 41 + 1 <= FileSysAccessC::NamesStrSize) {
        char name[48];
        std::snprintf(name, sizeof name, "%036zu.txt", chosen.size());
        chosen.push_back(name);
        reply += chosen.back() + '\0';
    }
    ASSERT_GE(chosen.size(), 20000u);
    choose(reply + '\0');
    EXPECT_EQ(names(), chosen);
    ASSERT_TRUE(Selection.storePopFiles());
    const Names good = list(GoodBadListC::GOOD);
    ASSERT_EQ(good.size(), chosen.size());
    EXPECT_EQ(good.back(), dir + "\\" + chosen.back());
    EXPECT_TRUE(standin::shownBoxes().empty());

    ListMemoryLimitC noBuffer(FileSysAccessC::NamesStrSize - 1);
    FileSysAccessC fresh(nullptr, &Invoke);
    fresh.popFiles();  // no buffer: the dialog does not come
    std::unique_ptr<char[]> buffer(new char[FileSysAccessC::NamesStrSize]());
    Selection.popFiles();
    fresh.takeSelection(buffer.get());
    EXPECT_EQ(names(), chosen);
    EXPECT_EQ(std::string(fresh.names(), 2), std::string(2, '\0'));
    EXPECT_EQ(testboxes::takeTexts(),
              (std::vector<std::string>{
                  testboxes::box("FileSysAccessC::popFiles() Can't allocate FileName[1048576] char "
                                 "array.\nPlease try again.",
                                 -6),
                  testboxes::box("FileSysAccessC::popFiles() Can't allocate FileName[1048576] char "
                                 "array.\nPlease try again.",
                                 -6),
                  testboxes::box("FileSysAccessC::takeSelection() Can't allocate "
                                 "NamesStr[1048576] char array.\nPlease try again.",
                                 -6)}));
    EXPECT_FALSE(FileSysAccessC::SelectBusy);
}

TEST_F(FileSelectionTest, SelectWhileTheDialogIsUpDoesNothing) {
    int opened = 0;
    standin::setOpenDialogScript([&](TOpenSaveDataS&, unsigned long&) {
        ++opened;
        Selection.popFiles();  // a second press of Select
        return TOpenSaveDataS::Cancel;
    });
    Selection.popFiles();
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(FileSysAccessC::SelectBusy);
}

}  // namespace
