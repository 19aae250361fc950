// Shared helpers of the tests: files, temporary folders, a box-answering thread and the fixture around the window.
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
#include "base/texts.h"
#include "engine/runstate.h"
#include "pairs/folderrules.h"
#include "resources/resource.h"

const ULONGLONG OLD_TIME = 120000000000000000ULL; // a last-write time long past

// A path's wide form, for the engine's functions, and a wide text's ANSI (code page 1252 or UTF-8) form.
std::wstring Wide(const std::string &text);
std::string Ansi(const std::wstring &text, UINT codePage = CP_ACP);

inline void MakeFolder(const std::string &path)
{
    CreateDirectoryA(path.c_str(), NULL);
}
// Makes root and below it every entry: a folder where the name ends in "\", else a file holding its name.
void MakeTree(const std::string &root, const std::vector<std::string> &entries);
bool WriteBytes(const std::string &path, const std::string &bytes);
// Writes bytes to path (read-only or not before), then gives it the time (unless 0) and attributes.
void Put(const std::string &path, const std::string &bytes, ULONGLONG time = 0,
         DWORD attributes = FILE_ATTRIBUTE_NORMAL);
// Opens path for reading, sharing only share: another program holding it.
inline HANDLE Hold(const std::string &path, DWORD share = 0)
{
    return CreateFileA(path.c_str(), GENERIC_READ, share, NULL, OPEN_EXISTING, 0, NULL);
}
std::string ReadBytes(const std::string &path); // "<missing>" when it cannot be read
inline bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
void SetWriteTime(const std::string &path, ULONGLONG ticks);
ULONGLONG GetWriteTime(const std::string &path);
std::string UnixPath(const std::string &path); // of a path on drive Z:
// Runs a shell script on the Linux side until it ends; true when its last command succeeded.
bool RunShell(const std::string &script);
// Lines of log that begin with prefix.
int Lines(const std::string &log, const std::string &prefix);

// A fresh folder under the fixture root that the process works in, removed when the object goes.
struct TempFolder {
    std::string path; // ends in a backslash
    TempFolder();
    ~TempFolder();
    std::string operator/(const std::string &name) const { return path + name; }
};

inline std::string ControlText(HWND control)
{
    char text[2048] = "";
    return GetWindowTextA(control, text, sizeof text), text;
}
inline int BarPosition(HWND bar)
{
    return (int)SendMessageA(bar, PBM_GETPOS, 0, 0);
}
// Every entry below folder by relative path: a file's content or "<folder>".
std::map<std::string, std::string> Snapshot(const std::string &folder);

struct SeenBox {
    std::string title, text;
    int answer, defaultButton; // IDNO when No is the default, else 0
};
int CountBoxes(const std::vector<SeenBox> &boxes, const std::string &part);
// Yes for questions, Ignore for copy errors, OK otherwise.
int DefaultAnswer(const std::string &title, const std::string &text);

// Answers this process's boxes (every process's with 0) by rule (0: later), fills file dialogs, closes Notepad.
class BoxAnswerer {
public:
    using Rule = std::function<int(const std::string &title, const std::string &text)>;
    explicit BoxAnswerer(Rule rule = nullptr, DWORD process = GetCurrentProcessId());
    ~BoxAnswerer() { stop = true, thread.join(); }
    std::vector<SeenBox> Seen()
    {
        std::lock_guard<std::mutex> hold(lock);
        return seen;
    } // each box once its answer is posted
    int Count(const std::string &part) { return CountBoxes(Seen(), part); }
    void SetChoice(const std::string &name)
    {
        std::lock_guard<std::mutex> hold(lock);
        choice = name;
    }
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

// Serves this thread's messages until condition holds (false after timeoutMs); without one, those posted so far.
bool PumpUntil(std::function<bool()> condition = nullptr, DWORD timeoutMs = 60000);

// A pair as a run learns it at its start: its folders identified and its source's files counted.
struct Learnt : PairFolders {
    Learnt(const std::string &from, const std::string &to);
    ~Learnt() { ForgetPairFolders(this); }
};

// A temp folder with a source and a target, a new hidden main window, zero counters, no cancel, no log.
struct ProgramFixture : ::testing::Test {
    TempFolder temp;
    std::string source = temp / "quelle\\", target = temp / "ziel\\";
    void SetUp() override;
    void TearDown() override;
    void OpenLog();
    std::string Log(); // closes the log and reads it
    std::string RunLog() { return ReadBytes(temp / "log.txt"); }
    // Appends the entry of a pair, composed by the program, to the list; SetPairs and SetList replace the list.
    void AddPair(const std::string &from, const std::string &to);
    void SetPairs(const std::vector<std::pair<std::string, std::string>> &pairs);
    void SetList(const std::vector<std::string> &entries);
    std::vector<std::string> Entries();
    void Click(HWND control) { SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), (LPARAM)control); }
    void Menu(int id) { SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    // Which of exit, list, folder buttons, add, open and save are usable, and the sync button's text.
    std::string State();
    // Starts a run with the sync button, answering its boxes by rule, until it has ended and its log was shown.
    std::vector<SeenBox> Run(BoxAnswerer::Rule rule = nullptr, DWORD timeoutMs = 60000);
};
