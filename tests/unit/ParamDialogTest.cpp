// Graphic mode's parameter dialog against the in-memory windowing layer: the
// fields and their texts, Check and Count into the output window, the colours
// of its controls and the close query that starts the quit handshake.
#include "gui/DialogBoxC.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/ErrHandleC.h"
#include "framework/TFileOpenDialog.h"
#include "framework/native/StandIns.h"
#include "tests/common/Files.h"
#include "tests/common/ListMemory.h"
#include "tests/unit/Boxes.h"
#include "tests/unit/TempFiles.h"
#include "textui/NewThreadC.h"

namespace {

using Texts = std::vector<std::string>;
const unsigned EnChange = 0x300;

std::string sample(const char* name) {
    return testfiles::readFile(std::string(TALLY_SAMPLES_DIR) + "/" + name);
}

class ParamDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::resetAll();
        ErrHandle.setTitle(ReleaseStr);
        TextAppC::StartLineShown = true;  // the output window is up
        Quitter.TextAppP = &TextApp;
        Dialog = std::make_unique<DialogBoxC>(nullptr, 257, &Invoke, &Quitter);
        Dialog->create();
    }
    void TearDown() override { TextAppC::StartLineShown = false; }

    // The dialog's field with this id, as its window tree holds it.
    static TEdit* fieldOf(const DialogBoxC& dialog, int id) {
        for (TWindow* w = dialog.firstChild(); w != nullptr; w = w->nextSibling())
            if (w->Attr.Id == id) return dynamic_cast<TEdit*>(w);
        return nullptr;
    }
    std::string field(int id, const DialogBoxC* dialog = nullptr) {
        return standin::editOf(fieldOf(dialog != nullptr ? *dialog : *Dialog, id)).Shown;
    }
    // The user types text into a field (the control tells the dialog).
    void type(int id, const std::string& text) {
        fieldOf(*Dialog, id)->setText(text.c_str());
        Dialog->command(id, EnChange);
    }
    // The user selects names (the first is the directory) in the file dialog.
    void select(const std::string& dir, const Texts& names) {
        std::string reply = dir + '\0';
        for (const auto& name : names) reply += name + '\0';
        reply += '\0';
        standin::setOpenDialogScript([reply](TOpenSaveDataS& data, unsigned long&) {
            std::memcpy(data.FileName, reply.data(), reply.size());
            return TOpenSaveDataS::Ok;
        });
        Dialog->command(DialogBoxC::SelectId, 0);
    }
    std::string output() { return TextApp.TextWinCP->Text; }

    char Program[16] = "tallywave.exe";
    char* Argv[2] = {Program, nullptr};
    InvokeParseC Invoke{Argv};
    QuitterS Quitter;
    TextAppC TextApp{ReleaseStr, &Quitter};
    std::unique_ptr<DialogBoxC> Dialog;
    testfiles::TempFilesC Files;
};

TEST_F(ParamDialogTest, OnlyPercentagesWithinBoundsAreAcceptable) {
    for (const char* bad : {"", ".", "0", "100", "1.2.3", "0.00001", "99.99991"})
        EXPECT_FALSE(DialogBoxC::checkParamText(bad)) << bad;
    for (const char* good : {"99.9999", "0.0001", "5", "5.", ".5"})
        EXPECT_TRUE(DialogBoxC::checkParamText(good)) << good;
    const TFilterValidator filter("0-9.");
    EXPECT_TRUE(filter.acceptsAll("0123456789."));
    for (char c : std::string("a-+ eE,/:"))
        EXPECT_FALSE(filter.accepts(static_cast<unsigned char>(c))) << c;
}

// The fields start empty, then show h and w with four decimals.
TEST_F(ParamDialogTest, FieldsShowTheInvocationValuesWithFourDecimals) {
    EXPECT_EQ(field(DialogBoxC::HeightId), "");
    Dialog->showParams();
    EXPECT_EQ(field(DialogBoxC::HeightId), "50.0000");
    EXPECT_EQ(field(DialogBoxC::WidthId), "10.0000");
    Invoke.Height = 0.0001;
    Invoke.Width = 99.9999;
    DialogBoxC other(nullptr, 257, &Invoke, &Quitter);
    other.create();
    other.showParams();
    EXPECT_EQ(field(DialogBoxC::HeightId, &other), "0.0001");
    EXPECT_EQ(field(DialogBoxC::WidthId, &other), "99.9999");
}

// Unacceptable texts give way to the defaults, shown and used, also when
// nothing is selected; then only the explanation comes, no pass.
TEST_F(ParamDialogTest, CheckSettlesTheFieldsEvenWithNothingSelected) {
    type(DialogBoxC::HeightId, "1.2.3");
    type(DialogBoxC::WidthId, "5.");
    Dialog->command(DialogBoxC::CheckId, 0);
    EXPECT_EQ(field(DialogBoxC::HeightId), "50.0");
    EXPECT_EQ(field(DialogBoxC::WidthId), "5.");
    EXPECT_EQ(Invoke.Height, 50.0);
    EXPECT_EQ(Invoke.Width, 5.0);
    const Texts boxes = testboxes::takeTexts();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("Nothing selected."), std::string::npos);
    EXPECT_EQ(output(), "");
}

// Bad names come first with an empty line after them; Check lists the files
// that passed, Count counts them and sums up, as often as it is pressed. The
// table of the run holds the rows of the last pass.
TEST_F(ParamDialogTest, CheckAndCountWriteTheirPassesIntoTheOutputWindow) {
    const std::string dir = Files.dir() + "/w";  // file names hold the backslash
    Files.write(sample("calm.txt"), "w\\calm.txt");
    Files.write(sample("lively.asc"), "w\\lively.asc");
    select(dir, {"calm.txt", "calm.doc", "lively.asc"});
    Dialog->command(DialogBoxC::CheckId, 0);
    const std::string badLine = "Invalid fname: [" + dir + "\\calm.doc ]\r\n\r\n";
    EXPECT_EQ(output(), badLine + "Files to be processed: [" + dir + "\\calm.txt " + dir +
                            "\\lively.asc ].\r\n");
    EXPECT_FALSE(Dialog->CountFlag);
    const std::string invalid = dir + "\\calm.doc,invalid name,,,,\r\n";
    EXPECT_EQ(std::string(TextApp.TextWinCP->Table.rows()),
              invalid + dir + "\\calm.txt,checked,,,,\r\n" + dir + "\\lively.asc,checked,,,,\r\n");

    TextApp.TextWinCP->setLine("");
    Dialog->command(DialogBoxC::CountId, 0);
    Dialog->command(DialogBoxC::CountId, 0);
    const std::string once = output().substr(2, (output().size() - 2) / 2);
    EXPECT_EQ(output(), "\r\n" + once + once) << output();
    EXPECT_EQ(once.rfind(badLine, 0), 0u) << once;
    EXPECT_NE(once.find(dir + "\\calm.txt : "), std::string::npos) << once;
    EXPECT_NE(once.find(dir + "\\lively.asc : "), std::string::npos) << once;
    EXPECT_NE(once.find("These 1 were found bad: [" + dir + "\\calm.doc ]."), std::string::npos);
    EXPECT_FALSE(Dialog->CountFlag);
    EXPECT_EQ(std::string(TextApp.TextWinCP->Table.rows()),
              invalid + dir + "\\calm.txt,counted,1,0,0,\r\n" + dir +
                  "\\lively.asc,counted,0.45351473922902497,5,11.024999999999999,\r\n");
}

// Without memory for the bad-name line both warnings come and the pass goes
// on. The lists' joined names and the report line have their memory from
// the first Check.
TEST_F(ParamDialogTest, ABadNameLineWithoutMemoryIsWarnedAboutAndThePassGoesOn) {
    const std::string dir = Files.dir() + "/w";
    Files.write(sample("calm.txt"), "w\\calm.txt");
    select(dir, {"calm.txt", "calm.doc"});
    Dialog->command(DialogBoxC::CheckId, 0);
    TextApp.TextWinCP->setLine("");
    {
        ListMemoryLimitC none(0);
        Dialog->command(DialogBoxC::CheckId, 0);
    }
    EXPECT_EQ(testboxes::takeTexts(),
              (Texts{testboxes::box("DialogBoxC::reportBadNames() sprintf failed.", -2),
                     testboxes::box("Tallywave: DialogBoxC::doCheck() call to reportBadNames() "
                                    "failed.\nInvalid file name(s) may not be presented in the "
                                    "text window.See the Help menu for valid input file name "
                                    "format.",
                                    -2)}));
    EXPECT_EQ(output(), "\r\nFiles to be processed: [" + dir + "\\calm.txt ].\r\n");
}

TEST_F(ParamDialogTest, EditsArePaintedWhiteAndEverythingElseGreyWithYellowText) {
    TDC edit(nullptr), label(nullptr);
    EXPECT_EQ(standin::brushColor(Dialog->colorControl(edit, CtlColorEdit)), 0xFFFFFFUL);
    EXPECT_FALSE(edit.Transparent);
    for (int kind : {CtlColorStatic, CtlColorDialog, CtlColorButton}) {
        EXPECT_EQ(standin::brushColor(Dialog->colorControl(label, kind)), 0x777777UL);
        EXPECT_EQ(label.TextColor, 0x00FFFFUL);
        EXPECT_TRUE(label.Transparent);
    }
}

// Enter and Escape do nothing. No keeps both front ends running; Yes asks
// the output window down and brings it forward; once a quit is under way,
// closing asks nothing and takes the dialog down.
TEST_F(ParamDialogTest, QuitAsksOnceAndStartsTheHandshakeOnYes) {
    Dialog->command(1, 0);
    Dialog->command(2, 0);
    testboxes::answerInTurn({seam::AnswerNo, seam::AnswerYes});
    Dialog->command(DialogBoxC::QuitId, 0);
    EXPECT_EQ(Quitter.QuitState, QuitterS::Running);
    EXPECT_TRUE(Dialog->created());
    Dialog->command(DialogBoxC::QuitId, 0);
    EXPECT_EQ(Quitter.QuitState, QuitterS::TakeDownAsked);
    EXPECT_EQ(Quitter.ReleaseMode, QuitterS::ThreadDestroys);
    EXPECT_EQ(standin::foregroundWindow(), TextApp.TextFrameCP);
    EXPECT_EQ(testboxes::takeTexts().size(), 2u);

    Dialog->command(DialogBoxC::CheckId, 0);  // too late: nothing runs, nothing is asked
    EXPECT_TRUE(Dialog->canClose());
    EXPECT_FALSE(Dialog->created());
    EXPECT_TRUE(testboxes::takeTexts().empty());
}

}  // namespace
