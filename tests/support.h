// Shared helpers of the tests: temporary folders, files, stand-in controls,
// and a helper thread that answers message boxes.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include <functional>
#include <map>
#include "files.h"
#include <gtest/gtest.h>

// The folder this test run keeps its files in: the run's fixture root
// (MIRRORIX_FIXTURES, a Linux path) or else the Wine temp folder; ends in a backslash.
std::string FixtureRoot();

// The Linux path of a Windows path.
std::string UnixPath(const std::string &path);

// Runs a shell script on the Linux side and waits until it has ended;
// true when its last command succeeded.
bool RunShell(const std::string &script);

// Every file and folder below folder, by relative path: a file's content,
// or "<folder>".
std::map<std::string, std::string> Snapshot(const std::string &folder);

// A fresh folder under the fixture root; the process works in it and it
// is removed, with everything in it, when the object goes.
struct TempFolder {
    std::string path; // ends in a backslash
    std::string previous;
    TempFolder();
    ~TempFolder();
    std::string operator/(const std::string &name) const { return path + name; }
};

std::string ControlText(HWND control);
int BarPosition(HWND bar);

// Creates the main window's controls as stand-ins on a window of the test's
// own, under the global handles the program uses.
void CreateStandInControls();
void DestroyStandInControls();

// One message box as the answerer saw it.
struct SeenBox {
    std::string title;
    std::string text;
    int answer;
    int defaultButton;
};

// Answers every message box of this process from a helper thread, by the
// rule given (0: not yet, ask again later), and closes Notepad windows;
// records what it answered.
class BoxAnswerer {
public:
    using Rule = std::function<int(const std::string &title, const std::string &text)>;
    explicit BoxAnswerer(Rule rule = nullptr);
    ~BoxAnswerer();
    std::vector<SeenBox> Seen();
    int Count(const std::string &textPart);
    void SetRule(Rule rule);
    // Name typed into the next open or save dialog ("" cancels it).
    void SetFileName(const std::string &name);
    int FileDialogs();
    // Waits until a Notepad window was closed and none is left.
    bool WaitForNotepadClosed(DWORD timeoutMs);
private:
    static DWORD WINAPI Loop(LPVOID self);
    void Scan();
    HANDLE thread;
    CRITICAL_SECTION lock;
    volatile LONG stop;
    Rule rule;
    std::vector<SeenBox> seen;
    std::vector<HWND> answered;
    std::string fileName;
    int fileDialogs = 0;
    int notepadsOpen = 0;
    int notepadsClosed = 0;
    void AnswerFileDialog(HWND dialog);
};

// A fresh temp folder with a source and a target folder, stand-in
// controls, zero counters, no cancel and no log; the log can be opened and
// read back.
struct PassFixture : ::testing::Test {
    TempFolder temp;
    std::string source, target;
    void SetUp() override;
    void TearDown() override;
    void OpenLog();
    void CloseLog();
    std::string Log();
};

// Default answer: OK for notes, Yes for questions, Ignore for copy errors.
int DefaultAnswer(const std::string &title, const std::string &text);

// Runs function on a thread of its own while this thread pumps messages;
// false when it did not end within timeoutMs.
bool RunOnThreadPumping(LPTHREAD_START_ROUTINE function, DWORD timeoutMs);

// Pumps this thread's messages for the given time.
void PumpFor(DWORD ms);

// A pass fixture that runs whole syncs over the pairs it is given, on a
// thread of their own while this thread serves the stand-in controls.
struct RunFixture : PassFixture {
    void AddPair(const std::string &from, const std::string &to);
    // Runs a sync, answering its boxes by rule; returns them.
    std::vector<SeenBox> Run(BoxAnswerer::Rule rule = nullptr);
};

// Counts the boxes whose text contains part.
int CountBoxes(const std::vector<SeenBox> &boxes, const std::string &part);
