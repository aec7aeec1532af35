#include "textui/TallyTAppC.h"

#include <cstdarg>
#include <new>

#include "resources/ResourceIds.h"

namespace {

const char Rule[] = "---------------------------------------------------------------\r\n";

const char AboutFiles[] =
    " Tallywave scans ASCII wave-amplitude files (.txt or .asc) for\r\n"
    " peaks and reports the spike rate of each file.  A file holds\r\n"
    " signed doubles between -1 and +1, one per line, after the\r\n"
    " header below; \"*\" marks the header values that are used.\r\n"
    " Fewer data than SAMPLES are accepted: the duration is still\r\n"
    " SAMPLES / SAMPLERATE.\r\n"
    "\r\n";

const char HeaderBox[] =
    "   +---------------------------------------------\r\n"
    "   |SAMPLES:(tab)       (decimal integer > 999)  *\r\n"
    "   |BITSPERSAMPLE:(tab) (decimal integer > 7)\r\n"
    "   |CHANNELS:(tab)      1\r\n"
    "   |SAMPLERATE:(tab)    (decimal integer > 5999) *\r\n"
    "   |NORMALIZED:(tab)    TRUE\r\n"
    "   |(begin signed-double data)\r\n"
    "   | . . .\r\n";

const char AboutThresholds[] =
    " Threshold height and width are percentages, 0.0001 to 99.9999.\r\n"
    " A spike starts at a datum at or above height% of the greatest\r\n"
    " datum, and may be that datum alone.  The width sets the least\r\n"
    " distance between spikes, as a share of the longest stretch of\r\n"
    " data on one side of height/100.  A dip below the height that is\r\n"
    " shorter than a tenth of that distance does not end a spike.\r\n"
    "\r\n";

const char InvokeBlock[] =
    " Invoke as:\r\n"
    "   Tallywave [-s|-t] (height)(width) fname1 [fname2 . . .]\r\n"
    "\r\n"
    " -s=silent (batch) mode;  -t=text mode; none=graphic mode, with\r\n"
    " help system.\r\n";

}  // namespace

TallyTAppC::TallyTAppC(StartupC* startup, QuitterS* quitter, const char* name)
    : TApplication(name),
      Engine(*startup, *quitter),
      TextFrameCP(nullptr),
      TextWinCP(nullptr),
      InvokeOK(false),
      BannerShown(false),
      Proceed(false),
      RunStarted(false),
      BannerLines(0),
      MsgStr(MsgStartSize),
      StartupP(startup),
      QuitterP(quitter),
      PassRunning(false) {
    Engine.PassHook.set(TApplication::pumpWaitingOf, this);  // the window stays alive
    if (startup->Mode == ModeText) {
        Status = makeBanStr(name);
        if (Status < 0)
            ErrHandle.report(Status,
                             "Tallywave.TallyTAppC makeBanStr() returned failure.\n"
                             "Startup message may be garbled or incorrect.");
    } else {
        Status = reportBadNames();
        if (Status < 0)
            ErrHandle.report(Status,
                             "Tallywave.TallyTAppC reportBadNames() returned failure.\n"
                             "Text messages may be garbled or incorrect.");
    }
}

// A piece that cannot be added is reported under its code, and the banner
// goes on with the next piece.
void TallyTAppC::appendPiece(int code, const char* format, ...) {
    va_list args;
    va_start(args, format);
    checkPiece(code, MsgStr.appendV(format, args));
    va_end(args);
}

void TallyTAppC::checkPiece(int code, bool added) {
    if (!added) Status = ErrHandle.report(code, "TallyTAppC createBanStr() sprintf failed.");
}

int TallyTAppC::makeBanStr(const char* name) {
    Status = 0;
    appendPiece(-2, "%s invoked %s\r\n", StartupP->User, name);
    appendPiece(-3, "%s%s", Rule, AboutFiles);
    appendPiece(-4, "%s", HeaderBox);
    appendPiece(-5, "%s", AboutThresholds);
    appendPiece(-6, "%s%s", InvokeBlock, Rule);
    appendPiece(-7, "In: %s at %s %s\r\n", StartupP->CWD, StartupP->Date, StartupP->Time);
    if (!StartupP->ParamsValid || StartupP->getTotal(GoodBadListC::GOOD) <= 0) {
        InvokeOK = false;
        appendPiece(-8, "Invalid Invocation line.\r\nPlease exit and try again.\r\n");
        return Status;
    }
    InvokeOK = true;
    checkPiece(-9, StartupP->appendBadLine(MsgStr));
    appendPiece(-10, "The command will be: [%s %g %g %s]\r\nCR to proceed; x to abort:  ",
                StartupP->ExeName, StartupP->Height, StartupP->Width,
                StartupP->listNames(GoodBadListC::GOOD));
    return Status;
}

int TallyTAppC::reportBadNames() {
    Status = 0;
    MsgStr.clear();
    if (!StartupP->appendBadLine(MsgStr))
        Status = ErrHandle.report(-2, "TallyTAppC reportBadNames() sprintf failed.");
    return Status;
}

void TallyTAppC::buildMainWindow() {
    setShowState(ShowNormal);
    TextWinCP = new (std::nothrow) TextWinC();
    if (TextWinCP == nullptr)
        ErrHandle.fatal(-2, "TallyTAppC allocate TextWinCP failed: NULL pointer.");
    TextFrameCP = new (std::nothrow) TextFrameC(nullptr, name(), TextWinCP, *QuitterP);
    if (TextFrameCP == nullptr)
        ErrHandle.fatal(-3, "TallyTAppC allocate TextFrameCP failed: NULL pointer.");
    TextFrameCP->setUp(ws::Overlapped | ws::SysMenu, FrameLeft, FrameTop);
    TextFrameCP->Saver.setRun(StartupP->CWD, StartupP->SysContext.Started);
    setMainWindow(TextFrameCP);
}

TextFrameC::TextFrameC(TWindow* parent, const char* title, TextWinC* client,
                       const QuitterS& quitter)
    : TDecoratedFrame(parent, title, client), Saver(*client, quitter) {
    setMenuCommand(SaveResultsId, "Save results...\tCtrl+S", 'S');
}

void TextFrameC::onCommand(int id, int) {
    if (id == SaveResultsId) Saver.save(this);
}

void TextFrameC::setUp(unsigned long style, int left, int top) {
    Attr.Style = style;
    Attr.X = left;
    Attr.Y = top;
    Attr.W = Width;
    Attr.H = Height;
    setIcon(IDI_TALLYWAVE);
}

// One stage per call. While an answer has been seen but the run has not
// started, idle asks to be called again, so the run does not wait for some
// unrelated message to wake the loop.
bool TallyTAppC::onIdle(long idleCount) {
    const bool more = TApplication::onIdle(idleCount);
    if (RunStarted) return more;
    if (StartupP->Mode != ModeText) {
        doRun();
        return more;
    }
    if (InvokeOK && Proceed) doRun();
    if (BannerShown) {
        if (InvokeOK) checkAnswer();
    } else if (showBanner()) {
        BannerShown = true;
    }
    return more || (Proceed && !RunStarted);
}

bool TallyTAppC::confirmClose() {
    const bool confirmed = QuitterP->QuitState.load() != QuitterS::Running;
    if (!confirmed && ErrHandle.askQuit() != seam::AnswerYes) return false;
    if (!PassRunning) return true;
    QuitterP->QuitState.store(QuitterS::TakeDownAsked);
    return false;
}

bool TallyTAppC::showBanner() {
    if (StartupP->Mode != ModeText) return false;
    TextWinCP->setLine(MsgStr.c_str());
    BannerLines = TextWinCP->lineCount();
    return true;
}

void TallyTAppC::checkAnswer() {
    if (StartupP->Mode != ModeText || !TextWinCP->userTyped()) return;
    if (TextWinCP->lineCount() > BannerLines) {
        Proceed = true;
        return;
    }
    TextWinCP->addLine("Tallywave terminated at user request.");
    TextWinCP->refresh();
}

void TallyTAppC::doRun() {
    if (RunStarted) return;
    RunStarted = true;
    Engine.OutWin = TextWinCP;
    TextWinCP->beginPass();
    if (StartupP->Mode == ModeSilent) {
        TextWinCP->addLine(MsgStr.c_str());
        TextWinCP->refresh();
    }
    PassRunning = true;
    Status = Engine.ValidateAll();
    PassRunning = false;
    TextWinCP->endPass();
    if (Status < 0)
        ErrHandle.report(Status,
                         "Tallywave:  TallyTAppC::doRun() Validate() call failed.\n"
                         "See text output window for possible details.");
    if (QuitterP->QuitState.load() != QuitterS::Running) TextFrameCP->postClose();
}
