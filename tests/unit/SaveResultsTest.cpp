// The output window's Save results command against the in-memory windowing
// layer, writing real files: the table's fields, what a silent run over the
// samples saves as a table and as text, the Save As dialog it asks for, and
// the failures of the writing, each of which leaves the file there as it was.
#include "textui/SaveResultsC.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/TFileOpenDialog.h"
#include "framework/native/StandIns.h"
#include "tests/common/Files.h"
#include "tests/common/ListMemory.h"
#include "tests/common/WindowClock.h"
#include "tests/unit/Boxes.h"
#include "tests/unit/TempFiles.h"
#include "textui/TallyTAppC.h"

namespace {

using Texts = std::vector<std::string>;
const std::string Samples = TALLY_SAMPLES_DIR;

TEST(ResultTable, FieldsAreQuotedAsTheStandardSaysAndFiguresKeepEveryDigit) {
    ResultTableC table;
    table.add({FileOutcomeS::InvalidName, "say \"hi\".doc", "", 0.0, 0, 0.0});
    table.add({FileOutcomeS::Counted, "a,b.txt", "", 0.1, 3, 30.000000000000004});
    table.add({FileOutcomeS::Refused, "c.txt", "File=c.txt failed, \"badly\".", 0.0, 0, 0.0});
    table.add({FileOutcomeS::Checked, "d.asc", "", 0.0, 0, 0.0});
    EXPECT_EQ(std::string(ResultTableC::Header) + table.rows(),
              "file,result,duration_s,spikes,rate_per_s,reason\r\n"
              "\"say \"\"hi\"\".doc\",invalid name,,,,\r\n"
              "\"a,b.txt\",counted,0.10000000000000001,3,30.000000000000004,\r\n"
              "c.txt,refused,,,,\"File=c.txt failed, \"\"badly\"\".\"\r\n"
              "d.asc,checked,,,,\r\n");
}

// The warning of a save that failed.
std::string notSaved(const std::string& path, const std::string& why, int status) {
    return testboxes::box("Tallywave SaveResultsC::save():\nThe results were not saved.\nFile=[" +
                              path + "].\n" + why,
                          status);
}

// A silent run over the samples and a name refused by its form; between the
// idle steps the user takes the turns given, then closes the window (Yes).
// The turns the pass gives go to DuringPass.
class SaveResultsTest : public ::testing::Test {
  protected:
    using Turn = std::function<void(TallyTAppC&)>;

    void SetUp() override {
        standin::resetAll();
        ErrHandle.setTitle(ReleaseStr);
        testboxes::answerInTurn({}, seam::AnswerYes);
    }
    void runSilent(std::vector<Turn> turns) {
        Words = {"tallywave.exe", "-s", "50", "10"};
        for (const char* name : {"calm.txt", "lively.asc", "crlf.txt", "stereo.txt", "clipped.txt"})
            Words.push_back(Samples + "/" + name);
        Words.push_back("bad.doc");
        for (auto& word : Words) Argv.push_back(&word[0]);
        Argv.push_back(nullptr);
        Startup = std::make_unique<StartupC>(Argv.data());
        App = std::make_unique<TallyTAppC>(Startup.get(), &Quitter, ReleaseStr);
        std::size_t turn = 0;
        standin::setUserScript([&](TApplication&) {
            // The user's turns wait for the pass's end, however slowly it
            // runs (a sanitized build on a loaded machine gives turns in it).
            if (App->PassRunning) {
                if (DuringPass) DuringPass(*App);
                return true;
            }
            if (turn == turns.size()) return false;
            turns[turn++](*App);
            return true;
        });
        EXPECT_EQ(App->Run(), 0);
    }
    // The user picks path in the Save As dialog (empty: Cancel, with the
    // dialog's error code); the dialog's data as it came is kept.
    void choose(const std::string& path, unsigned long error = 0) {
        standin::setSaveDialogScript(
            [this, path, error](TOpenSaveDataS& data, unsigned long& code) {
                ++Dialogs;
                Asked = data;
                OfferedName = data.FileName;
                code = error;
                if (path.empty()) return TOpenSaveDataS::Cancel;
                std::snprintf(data.FileName, data.MaxPath, "%s", path.c_str());
                return TOpenSaveDataS::Ok;
            });
    }
    static void save(TallyTAppC& app) { app.TextFrameCP->command(TextFrameC::SaveResultsId, 0); }
    Turn saveAs(const std::string& path) {
        return [this, path](TallyTAppC& app) {
            choose(path);
            save(app);
        };
    }
    std::set<std::string> filesThere() {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Files.dir()))
            names.insert(entry.path().filename().string());
        return names;
    }

    testfiles::TempFilesC Files;
    QuitterS Quitter;
    std::vector<std::string> Words;
    std::vector<char*> Argv;
    std::unique_ptr<StartupC> Startup;
    std::unique_ptr<TallyTAppC> App;
    Turn DuringPass;
    int Dialogs = 0;
    TOpenSaveDataS Asked;
    std::string OfferedName;
};

const std::string SampleRows =
    "bad.doc,invalid name,,,,\r\n" + Samples + "/calm.txt,counted,1,0,0,\r\n" + Samples +
    "/lively.asc,counted,0.45351473922902497,5,11.024999999999999,\r\n" + Samples +
    "/crlf.txt,counted,0.54421768707482998,2,3.6749999999999998,\r\n" + Samples +
    "/stereo.txt,refused,,,,File=" + Samples +
    "/stereo.txt line 3 failed header check:  Possible bad format or invalid param.\r\n" + Samples +
    "/clipped.txt,refused,,,,File=" + Samples +
    "/clipped.txt line 2000 bad datum or size:  Found 1995 good data; header said 6000.\r\n";

// The dialog opens in the run's folder with the run's start in its name;
// .csv (in any case) gives the table, another name the window's text.
TEST_F(SaveResultsTest, TheTableOrTheWholeTextAsTheNameSays) {
    std::string shown;
    runSilent({saveAs(Files.dir() + "/r.csv"), saveAs(Files.dir() + "/r.txt"),
               saveAs(Files.dir() + "/R2.CSV"),
               [&](TallyTAppC& app) { shown = app.TextWinCP->Text; }});
    EXPECT_EQ(Dialogs, 3);
    EXPECT_EQ(std::string(Asked.Title), "Save the Tallywave results");
    EXPECT_EQ(std::string(Asked.Filter),
              "Text (*.txt)|*.txt|Spreadsheet table, CSV (*.csv)|*.csv|");
    EXPECT_EQ(Asked.FilterIndex, 1);
    EXPECT_EQ(std::string(Asked.DefExt), "txt");
    EXPECT_EQ(std::string(Asked.InitialDir), Startup->CWD);
    EXPECT_NE(Asked.Flags & TOpenSaveDataS::OverwritePrompt, 0u);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &Startup->SysContext.Started);
    EXPECT_EQ(OfferedName, "tallywave-results-" + std::string(stamp));

    const std::string table = ResultTableC::Header + SampleRows;
    EXPECT_EQ(testfiles::readFile(Files.dir() + "/r.csv"), table);
    EXPECT_EQ(testfiles::readFile(Files.dir() + "/R2.CSV"), table);
    EXPECT_EQ(shown.rfind("Invalid fname: [bad.doc ]\r\n\r\n" + Samples + "/calm.txt : ", 0), 0u);
    EXPECT_EQ(testfiles::readFile(Files.dir() + "/r.txt"), shown);
    EXPECT_EQ(filesThere(), (std::set<std::string>{"r.csv", "r.txt", "R2.CSV"}));
    EXPECT_EQ(testboxes::takeTexts().size(), 1u);  // the quit question alone
}

// Each step of the writing that fails is told in a warning naming the file
// and the system's reason; the file there and the window's text stay as
// they were, no temporary file is left, and the next try saves.
TEST_F(SaveResultsTest, AFailureLeavesTheFileAsItWasAndTellsWhy) {
    const std::string target = Files.write("earlier\r\n", "r.csv");
    const std::string nowhere = Files.dir() + "/none/r.csv";
    std::string textBefore;
    std::vector<Turn> turns = {[&](TallyTAppC& app) { textBefore = app.TextWinCP->Text; }};
    for (auto step :
         {standin::CreateStep, standin::WriteStep, standin::CloseStep, standin::ReplaceStep})
        turns.push_back([this, step, target](TallyTAppC& app) {
            standin::failFileStep(step, "Reason " + std::to_string(step) + ".");
            saveAs(target)(app);
        });
    turns.push_back(saveAs(nowhere));
    turns.push_back([this, &textBefore](TallyTAppC& app) {
        choose("");  // Cancel
        save(app);
        choose("", 0x3002);  // the dialog fails
        save(app);
        EXPECT_EQ(testfiles::readFile(Files.dir() + "/r.csv"), "earlier\r\n");
        EXPECT_EQ(filesThere(), std::set<std::string>{"r.csv"});
        EXPECT_EQ(app.TextWinCP->Text, textBefore);
    });
    turns.push_back(saveAs(target));
    runSilent(turns);

    Texts boxes = testboxes::takeTexts();
    ASSERT_EQ(boxes.size(), 7u);
    boxes.pop_back();  // the quit question
    EXPECT_EQ(boxes,
              (Texts{notSaved(target, "Can't make a temporary file in its folder: Reason 0.", -2),
                     notSaved(target, "Can't write the temporary file: Reason 1.", -3),
                     notSaved(target, "Can't finish the temporary file: Reason 2.", -4),
                     notSaved(target, "Can't give the temporary file its name: Reason 3.", -5),
                     notSaved(nowhere,
                              "Can't make a temporary file in its folder: No such file or "
                              "directory",
                              -2),
                     testboxes::box("Tallywave SaveResultsC::save():\nThe results were not "
                                    "saved.\nThe Save As dialog failed: error 0x3002.",
                                    -7)}));
    EXPECT_EQ(testfiles::readFile(target), ResultTableC::Header + SampleRows);
    EXPECT_EQ(filesThere(), std::set<std::string>{"r.csv"});
}

// During the pass (the user's turns come from it) the command does nothing,
// as it does once a quit has been confirmed; a table that lost rows is not
// saved.
TEST_F(SaveResultsTest, NothingDuringAPassOrAfterAQuitNorATableThatLostRows) {
    windowclock::TurnAtEveryPollC turns;
    choose(Files.dir() + "/r.csv");
    int passTurns = 0;
    DuringPass = [&](TallyTAppC& app) {
        ++passTurns;
        save(app);
    };
    runSilent({});
    EXPECT_GT(passTurns, 0);
    EXPECT_EQ(Dialogs, 0);

    TextWinC window;
    QuitterS quitter;
    SaveResultsC saver(window, quitter);
    quitter.QuitState.store(QuitterS::TakeDownAsked);
    saver.save(nullptr);
    EXPECT_EQ(Dialogs, 0);

    quitter.QuitState.store(QuitterS::Running);
    {
        ListMemoryLimitC none(0);
        window.fileDone({FileOutcomeS::Checked, std::string(5000, 'n').c_str(), "", 0.0, 0, 0.0});
    }
    saver.save(nullptr);
    EXPECT_EQ(Dialogs, 1);
    EXPECT_TRUE(filesThere().empty());
    EXPECT_EQ(testboxes::takeTexts().back(),
              notSaved(Files.dir() + "/r.csv",
                       "The table lost rows: not enough memory to keep them.", -8));
}

}  // namespace
