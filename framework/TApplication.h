#pragma once
// The application object: Run builds the main window through a hook, shows
// it, runs the message loop with an idle hook and returns the loop's status.
// Closing the main window is allowed only when confirmClose agrees.
class TWindow;

class TApplication {
  public:
    enum ShowStates { ShowNormal = 1 };

    explicit TApplication(const char* name) : Name(name) {}
    virtual ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Builds, creates and shows the main window, then runs the loop until the
    // main window is gone: 0 then, or -1 when the window could not be made.
    int Run();
    const char* name() const { return Name; }
    // Whether the main window may close now.
    bool canClose() { return confirmClose(); }
    TWindow* mainWindow() const { return MainWindow; }
    // Handles what waits for this thread (the user's input, painting, what
    // other programs send its windows) and returns: a long job run from a
    // handler calls it now and then, so the windows stay alive meanwhile.
    // The idle hook does not run here, and a quit met is left for the loop.
    void pumpWaiting();
    // pumpWaiting of the application at app, as a hook with a context.
    static void pumpWaitingOf(void* app) { static_cast<TApplication*>(app)->pumpWaiting(); }

  protected:
    // Makes the main window object (setMainWindow); called by Run.
    virtual void buildMainWindow() = 0;
    // Called whenever the message queue is empty, with the number of calls
    // since the last message. False lets the loop sleep until the next one.
    virtual bool onIdle(long idleCount);
    // Runs once the main window has been created and shown.
    virtual void afterShow() {}
    // By default the main window may close when all its windows agree.
    virtual bool confirmClose();
    // The application owns window from here on.
    void setMainWindow(TWindow* window);
    void setShowState(int state) { ShowState = state; }

  private:
    int runLoop();

    const char* Name;
    TWindow* MainWindow = nullptr;
    int ShowState = ShowNormal;
};
