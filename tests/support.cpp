// Shared helpers of the tests.
#include "support.h"

std::wstring Wide(const std::string &text)
{
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], (int)wide.size()) - 1);
    return wide;
}

std::string Ansi(const std::wstring &text, UINT codePage)
{
    std::string ansi(text.size() * 4 + 1, '\0');
    ansi.resize(WideCharToMultiByte(codePage, 0, text.c_str(), -1, &ansi[0], (int)ansi.size(), NULL, NULL) - 1);
    return ansi;
}
#include "engine/display.h"
#include "engine/passes.h"
#include "pairs/autosave.h"
#include "pairs/pairentry.h"
#include <algorithm>

void MakeTree(const std::string &root, const std::vector<std::string> &entries)
{
    MakeFolder(root);
    for (const std::string &entry : entries)
        entry.back() == '\\' ? MakeFolder(root + entry) : (void)WriteBytes(root + entry, entry);
}

bool WriteBytes(const std::string &path, const std::string &bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              (bytes.empty() || WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL));
    CloseHandle(file);
    EXPECT_TRUE(ok && written == bytes.size()) << "cannot write " << path << ": error " << GetLastError();
    return ok;
}

void Put(const std::string &path, const std::string &bytes, ULONGLONG time, DWORD attributes)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteBytes(path, bytes);
    if (time != 0)
        SetWriteTime(path, time);
    SetFileAttributesA(path.c_str(), attributes);
}

// Reads sharing everything, so that a program replacing the file meanwhile is not hindered.
std::string ReadBytes(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char buffer[65536];
    for (DWORD got = 0; ReadFile(file, buffer, sizeof buffer, &got, NULL) && got > 0;)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

void SetWriteTime(const std::string &path, ULONGLONG ticks)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    FILETIME time = {(DWORD)ticks, (DWORD)(ticks >> 32)};
    EXPECT_TRUE(SetFileTime(file, NULL, NULL, &time)) << path;
    CloseHandle(file);
}

ULONGLONG GetWriteTime(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return ((ULONGLONG)data.ftLastWriteTime.dwHighDateTime << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// The folder this test run keeps its files in (MIRRORIX_FIXTURES), on drive Z:, ending in a backslash.
static std::string FixtureRoot()
{
    const char *root = getenv("MIRRORIX_FIXTURES");
    if (root == NULL || root[0] != '/')
        exit((fprintf(stderr, "MIRRORIX_FIXTURES names no folder: run the tests through scripts/test.sh\n"), 2));
    std::string path = std::string("Z:") + root + "/";
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string UnixPath(const std::string &path)
{
    std::string unixPath = path.substr(2);
    std::replace(unixPath.begin(), unixPath.end(), '\\', '/');
    return unixPath;
}

// Wine starts the script but cannot wait for it, so the script leaves a marker with its status.
bool RunShell(const std::string &script)
{
    static LONG counter = 0;
    std::string base = FixtureRoot() + "shell-" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(InterlockedIncrement(&counter));
    std::string marker = UnixPath(base), command = "sh \"" + UnixPath(base + ".sh") + "\""; // only double quotes group
    WriteBytes(base + ".sh",
               script + "\necho $? > '" + marker + ".tmp' && mv '" + marker + ".tmp' '" + marker + ".done'\n");
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("Z:\\bin\\sh", &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return false;
    // For a Linux program Wine may leave any values in the handles (a close could hit stdout): close only real ones.
    if (GetProcessId(process.hProcess) == process.dwProcessId && process.dwProcessId != 0)
        CloseHandle(process.hProcess);
    if (GetThreadId(process.hThread) == process.dwThreadId && process.dwThreadId != 0)
        CloseHandle(process.hThread);
    for (DWORD start = GetTickCount(); !Exists(base + ".done") && GetTickCount() - start < 30000;)
        Sleep(5);
    std::string status = ReadBytes(base + ".done");
    DeleteFileA((base + ".sh").c_str());
    DeleteFileA((base + ".done").c_str());
    return status == "0\n";
}

int Lines(const std::string &log, const std::string &prefix)
{
    std::string all = "\n" + log, start = "\n" + prefix;
    int lines = 0;
    for (size_t at = all.find(start); at != std::string::npos; at = all.find(start, at + 1))
        lines += at + 1 < all.size(); // the break after the last line starts none
    return lines;
}

TempFolder::TempFolder()
{
    static LONG counter = 0;
    path = FixtureRoot() + "t" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(InterlockedIncrement(&counter)) + "\\";
    MakeFolder(path);
    SetCurrentDirectoryA(path.c_str());
}

TempFolder::~TempFolder()
{
    RunShell("rm -rf '" + UnixPath(path) + "'");
} // it may hold links

static void AddToSnapshot(const std::string &top, const std::string &folder, std::map<std::string, std::string> &shot)
{
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA((top + folder + "*").c_str(), &entry);
    for (bool more = listing != INVALID_HANDLE_VALUE; more; more = FindNextFileA(listing, &entry)) {
        std::string name = entry.cFileName;
        bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (name != "." && name != "..")
            shot[folder + name] =
                isFolder ? "<folder>" : ReadBytes("\\\\?\\" + top + folder + name); // device names too
        if (name != "." && name != ".." && isFolder && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            AddToSnapshot(top, folder + name + "\\", shot);
    }
    FindClose(listing);
}

std::map<std::string, std::string> Snapshot(const std::string &folder)
{
    std::map<std::string, std::string> shot;
    AddToSnapshot(folder, "", shot);
    return shot;
}

int CountBoxes(const std::vector<SeenBox> &boxes, const std::string &part)
{
    return (int)std::count_if(boxes.begin(), boxes.end(),
                              [&](const SeenBox &box) { return box.text.find(part) != std::string::npos; });
}

int DefaultAnswer(const std::string &title, const std::string &text)
{
    return title == "Rückfrage" ? IDYES : text.find("Fehler beim Kopieren") == 0 ? IDIGNORE : IDOK;
}

BoxAnswerer::BoxAnswerer(Rule r, DWORD p)
    : rule(r ? r : DefaultAnswer), process(p), thread([this] {
          for (; !stop; Sleep(10))
              Scan();
      })
{
}

static BOOL CALLBACK CollectWindow(HWND window, LPARAM windows)
{
    if (IsWindowVisible(window))
        ((std::vector<HWND> *)windows)->push_back(window);
    return TRUE;
}

// Answers a file dialog with name ("" cancels it).
static void AnswerDialog(HWND dialog, const std::string &name)
{
    SendMessageA(GetDlgItem(dialog, 0x47c), WM_SETTEXT, 0, (LPARAM)name.c_str());
    PostMessageA(dialog, WM_COMMAND, name.empty() ? IDCANCEL : IDOK, 0);
}

void BoxAnswerer::Scan()
{
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, (LPARAM)&windows);
    int notepads = 0;
    for (HWND window : windows) {
        char className[64] = "", title[256] = "", text[4096] = "";
        DWORD owner = 0;
        GetClassNameA(window, className, sizeof className);
        GetWindowThreadProcessId(window, &owner);
        if (strcmp(className, "Notepad") == 0)
            notepads++, PostMessageA(window, WM_CLOSE, 0, 0);
        if (strcmp(className, "#32770") != 0 || (process != 0 && owner != process) ||
            std::count(answered.begin(), answered.end(), window))
            continue;
        if (GetDlgItem(window, 0xFFFF) == NULL) { // the dialog's thread waits in its own loop, not for the lock
            std::lock_guard<std::mutex> hold(lock);
            answered.push_back(window);
            AnswerDialog(window, choice);
            continue;
        }
        GetWindowTextA(window, title, sizeof title);
        GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
        int answer = rule(title, text); // called without the lock: it may wait for the thread that reads Seen
        if (answer == 0)
            continue;
        std::lock_guard<std::mutex> hold(lock);
        seen.push_back(
            {title, text, answer, GetWindowLongA(GetDlgItem(window, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON ? IDNO : 0});
        answered.push_back(window);
        PostMessageA(window, WM_COMMAND, (WPARAM)answer, 0);
    }
    std::lock_guard<std::mutex> hold(lock);
    notepadsClosed += notepads;
    notepadsOpen = notepads;
}

bool BoxAnswerer::WaitForNotepadClosed(DWORD timeoutMs)
{
    return PumpUntil(
        [this] {
            std::lock_guard<std::mutex> hold(lock);
            bool closed = notepadsClosed > 0 && notepadsOpen == 0;
            notepadsClosed = closed ? 0 : notepadsClosed;
            return closed;
        },
        timeoutMs);
}

bool PumpUntil(std::function<bool()> condition, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount();; MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT)) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        if (!condition || condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
    }
}

Learnt::Learnt(const std::string &from, const std::string &to)
{
    LearnPairFolders(from.c_str(), to.c_str(), this);
    fileCount = CountSourceFiles(this);
}

void ProgramFixture::SetUp()
{
    ResetCounters();
    ClearCancel();
    ResolveAutoSavePath();
    GetCurrentDirectoryA(START_DIRECTORY_MAX, StartDirectory); // as the program's start records it
    MakeFolder(source);
    MakeFolder(target);
    TakeExitAfterRun();
    ForgetDisplayState();
    ASSERT_NE(CreateMainWindow(GetModuleHandleA(NULL), SW_HIDE), (HWND)NULL);
}

void ProgramFixture::TearDown()
{
    SetRunActive(false);
    DestroyWindow(MainWindow); // fails harmlessly when a test destroyed it
    PumpUntil();               // the window's quit message
    Log();
    ClearCancel();
    TakeExitAfterRun();
}

void ProgramFixture::OpenLog()
{
    OFSTRUCT record;
    SetLastError(0xDEADBEEF);
    LogFile = OpenFile("log.txt", &record, OF_CREATE | OF_WRITE);
    EXPECT_NE(LogFile, HFILE_ERROR) << "log.txt cannot be made: error " << GetLastError();
}

std::string ProgramFixture::Log()
{
    if (LogFile != HFILE_ERROR)
        CloseHandle((HANDLE)(INT_PTR)LogFile);
    LogFile = HFILE_ERROR;
    return RunLog();
}

void ProgramFixture::AddPair(const std::string &from, const std::string &to)
{
    char entry[PAIR_COMPOSE_MAX];
    ComposePairEntry(from.c_str(), to.c_str(), entry, sizeof entry);
    SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry);
    EnableWindow(SyncButton, TRUE);
}

void ProgramFixture::SetPairs(const std::vector<std::pair<std::string, std::string>> &pairs)
{
    SetList({});
    for (const auto &pair : pairs)
        AddPair(pair.first, pair.second);
}

void ProgramFixture::SetList(const std::vector<std::string> &entries)
{
    SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
    for (const std::string &entry : entries)
        SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry.c_str());
}

std::vector<std::string> ProgramFixture::Entries()
{
    std::vector<std::string> entries;
    char text[PAIR_TEXT_MAX];
    for (int i = 0; i < PairCount() && GetPairEntry(i, text); i++)
        entries.push_back(text);
    return entries;
}

std::string ProgramFixture::State()
{
    std::string state;
    for (HWND control : {ExitButton, PairList, SourceBrowseButton, TargetBrowseButton, AddPairButton})
        state += IsWindowEnabled(control) ? "1" : "0";
    for (int item : {OpenMenuItem, SaveAsMenuItem})
        state += GetMenuState(MainMenu, item, MF_BYCOMMAND) & MF_GRAYED ? "0" : "1";
    return state + ControlText(SyncButton);
}

std::vector<SeenBox> ProgramFixture::Run(BoxAnswerer::Rule rule, DWORD timeoutMs)
{
    BoxAnswerer answerer(rule);
    Click(SyncButton);
    EXPECT_TRUE(PumpUntil([&] { return !IsRunActive() && answerer.Count("Synchronisierung ab") > 0; }, timeoutMs));
    EXPECT_TRUE(answerer.WaitForNotepadClosed(timeoutMs));
    return answerer.Seen();
}
