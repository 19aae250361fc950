// Shared helpers of the tests: files, temporary folders, a thread that
// answers message boxes and dialogs, and the fixture around the program's window.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include <gtest/gtest.h>
#include "app/controls.h"
#include "app/mainwindow.h"
#include "engine/runstate.h"
#include "pairs/folderrules.h"
#include "resources/resource.h"

inline void MakeFolder(const std::string &path) { CreateDirectoryA(path.c_str(), NULL); }
// Makes root and below it every entry: a folder where the name ends in "\", else a file holding its name.
void MakeTree(const std::string &root, const std::vector<std::string> &entries);
bool WriteBytes(const std::string &path, const std::string &bytes);
std::string ReadBytes(const std::string &path); // "<missing>" when it cannot be read
inline bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
void SetWriteTime(const std::string &path, ULONGLONG ticks);
ULONGLONG GetWriteTime(const std::string &path);
// The folder this test run keeps its files in (MIRRORIX_FIXTURES, a Linux
// path; the test stops without it) on drive Z:, the Linux root; ends in a backslash.
std::string FixtureRoot();
std::string UnixPath(const std::string &path); // of a path on drive Z:
// Runs a shell script on the Linux side until it ends; true when its last
// command succeeded (Wine cannot wait for it: it leaves a marker file).
bool RunShell(const std::string &script);

// A fresh folder under the fixture root that the process works in, removed
// on the Linux side (it may hold links) when the object goes.
struct TempFolder {
    std::string path; // ends in a backslash
    TempFolder();
    ~TempFolder();
    std::string operator/(const std::string &name) const { return path + name; }
};

inline std::string ControlText(HWND control)
{
    char text[2048] = "";
    GetWindowTextA(control, text, sizeof text);
    return text;
}
inline int BarPosition(HWND bar) { return (int)SendMessageA(bar, PBM_GETPOS, 0, 0); }
// Every entry below folder by relative path: a file's content or "<folder>".
std::map<std::string, std::string> Snapshot(const std::string &folder);

struct SeenBox {
    std::string title, text;
    int answer, defaultButton;
};
int CountBoxes(const std::vector<SeenBox> &boxes, const std::string &part);
// Yes for questions, Ignore for copy errors, OK otherwise.
int DefaultAnswer(const std::string &title, const std::string &text);

// Answers the message boxes of this process (of every process with 0) from
// a thread of its own by rule (0: look again later), closes Notepad windows,
// types the chosen name into open and save dialogs ("" cancels them) and
// picks the chosen folder in the folder browser ("" picks a virtual folder).
class BoxAnswerer {
public:
    using Rule = std::function<int(const std::string &title, const std::string &text)>;
    explicit BoxAnswerer(Rule rule = nullptr, DWORD process = GetCurrentProcessId());
    ~BoxAnswerer();
    std::vector<SeenBox> Seen(); // each box once its answer is posted
    int Count(const std::string &part) { return CountBoxes(Seen(), part); }
    void SetChoice(const std::string &name);
    // Serves this thread's messages until a Notepad window was closed since the last wait and none is left.
    bool WaitForNotepadClosed(DWORD timeoutMs = 60000);
private:
    void Scan();
    Rule rule;
    DWORD process;
    std::mutex lock; // guards seen, choice and the Notepad counts
    std::vector<SeenBox> seen;
    std::vector<HWND> answered;
    std::string choice;
    int notepadsOpen = 0, notepadsClosed = 0;
    std::atomic<bool> stop{false};
    std::thread thread;
};

// Serves this thread's messages until condition holds (false after
// timeoutMs); without one, serves every message posted so far.
bool PumpUntil(std::function<bool()> condition = nullptr, DWORD timeoutMs = 60000);
// Runs work on a thread of its own while this thread serves messages; false when it did not end in time.
bool RunPumping(std::function<void()> work, DWORD timeoutMs = 60000);

// A pair as a run learns it at its start: its folders identified and its
// source's files counted.
struct Learnt : PairFolders {
    Learnt(const std::string &from, const std::string &to);
};

// A fresh temp folder with a source and a target folder, the program's
// main window (hidden, until a test opens it anew), zero counters, no cancel
// and no log; the user's clicks.
struct ProgramFixture : ::testing::Test {
    TempFolder temp;
    std::string source = temp / "quelle\\", target = temp / "ziel\\";
    void SetUp() override;
    void TearDown() override;
    // Creates the main window anew (as a start does), after the one before is gone.
    void Open(int show = SW_SHOWNORMAL);
    void OpenLog();
    std::string Log(); // closes the log and reads it
    // Appends the entry of a pair, composed by the program, to the list.
    void AddPair(const std::string &from, const std::string &to);
    void Click(HWND control) { SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), (LPARAM)control); }
    void Post(HWND control) { PostMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), (LPARAM)control); }
    void Menu(int id) { SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    // Which of exit, list, folder buttons, add, open and save are usable, and the sync button's text.
    std::string State();
    // Starts a run with the sync button, answering its boxes by rule, and serves
    // messages until it has ended and its log was shown; returns the boxes.
    std::vector<SeenBox> Run(BoxAnswerer::Rule rule = nullptr, DWORD timeoutMs = 60000);
};
