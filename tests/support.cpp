// Shared helpers of the tests.
#include "support.h"
#include "files.h"
#include "app/controls.h"
#include "engine/display.h"
#include "resources/resource.h"
#include "engine/runstate.h"
#include "engine/syncrun.h"
#include "pairs/selectionfile.h"
#include <commctrl.h>
#include <gtest/gtest.h>

std::string FixtureRoot()
{
    char root[MAX_PATH] = "";
    DWORD length = GetEnvironmentVariableA("MIRRORIX_FIXTURES", root, sizeof root);
    if (length == 0 || length >= sizeof root) {
        GetTempPathA(sizeof root, root);
        return root;
    }
    std::string path = std::string("Z:") + root;
    for (char &c : path)
        c = c == '/' ? '\\' : c;
    return path.back() == '\\' ? path : path + "\\";
}

std::string UnixPath(const std::string &path)
{
    typedef char *(CDECL * ToUnix)(const WCHAR *);
    static ToUnix toUnix =
        (ToUnix)(void (*)())GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    WCHAR wide[MAX_PATH * 2];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 2);
    char *unixPath = toUnix != NULL ? toUnix(wide) : NULL;
    std::string result = unixPath != NULL ? unixPath : "";
    if (unixPath != NULL)
        HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

// Wine starts a Linux program but cannot wait for it: the script writes its
// last status into a marker file, which is waited for.
bool RunShell(const std::string &script)
{
    static LONG counter = 0;
    std::string base = FixtureRoot() + "shell-" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(InterlockedIncrement(&counter));
    WriteBytes(base + ".sh", script + "\necho $? > '" + UnixPath(base) + ".tmp' && mv '" + UnixPath(base) +
                                 ".tmp' '" + UnixPath(base) + ".done'\n");
    std::string command = "sh \"" + UnixPath(base + ".sh") + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("Z:\\bin\\sh", &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return false;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    for (DWORD start = GetTickCount(); !Exists(base + ".done") && GetTickCount() - start < 30000;)
        Sleep(5);
    std::string status = ReadBytes(base + ".done");
    DeleteFileA((base + ".sh").c_str());
    DeleteFileA((base + ".done").c_str());
    return status == "0\n";
}

// Adds the entries below folder (relative to the snapshot's top) to shot.
static void AddToSnapshot(const std::string &top, const std::string &folder, std::map<std::string, std::string> &shot)
{
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA((top + folder + "*.*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..")
            continue;
        bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        shot[folder + name] = isFolder ? "<folder>" : ReadBytes(top + folder + name);
        if (isFolder && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            AddToSnapshot(top, folder + name + "\\", shot);
    } while (FindNextFileA(listing, &entry));
    FindClose(listing);
}

std::map<std::string, std::string> Snapshot(const std::string &folder)
{
    std::map<std::string, std::string> shot;
    AddToSnapshot(folder, "", shot);
    return shot;
}

TempFolder::TempFolder()
{
    char name[MAX_PATH], current[MAX_PATH];
    static LONG counter = 0;
    snprintf(name, sizeof name, "%smirrorix-%lu-%ld\\", FixtureRoot().c_str(), GetCurrentProcessId(),
             InterlockedIncrement(&counter));
    path = name;
    RemoveTree(path);
    MakeFolder(path);
    GetCurrentDirectoryA(sizeof current, current);
    previous = current;
    SetCurrentDirectoryA(path.c_str());
}

// Removed on the Linux side where it can be: the folder may hold links,
// which the Windows functions of Wine would resolve.
TempFolder::~TempFolder()
{
    SetCurrentDirectoryA(previous.c_str());
    std::string unixPath = UnixPath(path);
    if (unixPath.empty() || !RunShell("rm -rf '" + unixPath + "'"))
        RemoveTree(path);
}

std::string ControlText(HWND control)
{
    char text[2048] = "";
    GetWindowTextA(control, text, sizeof text);
    return text;
}

int BarPosition(HWND bar)
{
    return (int)SendMessageA(bar, PBM_GETPOS, 0, 0);
}

static HWND StandInWindow = NULL;

// Creates one stand-in control on the stand-in window.
static HWND StandIn(const char *className, const char *text, DWORD style)
{
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 200, 20, StandInWindow,
                           NULL, GetModuleHandleA(NULL), NULL);
}

void CreateStandInControls()
{
    InitCommonControls();
    StandInWindow = CreateWindowExA(0, "static", "stand-in", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, NULL, NULL,
                                    GetModuleHandleA(NULL), NULL);
    MainWindow = StandInWindow;
    PairList = StandIn("listbox", "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY);
    SourceBrowseButton = StandIn("button", "...", 0);
    TargetBrowseButton = StandIn("button", "...", 0);
    ExitButton = StandIn("button", "Beenden", 0);
    SyncButton = StandIn("button", "Synchronisieren", 0);
    AddPairButton = StandIn("button", "add", 0);
    RemovePairButton = StandIn("button", "remove", 0);
    HelpButton = StandIn("button", "Hilfe", 0);
    CurrentFileLabel = StandIn("static", "aktuelle Datei: n/a", SS_CENTER);
    FileProgressBar = StandIn("msctls_progress32", "", 0);
    TotalProgressBar = StandIn("msctls_progress32", "", 0);
    SendMessageA(FileProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageA(TotalProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    CopiedStatusLabel = StandIn("static", " ", SS_CENTER);
    CleanedStatusLabel = StandIn("static", " ", SS_CENTER);
    SourceEdit = StandIn("edit", "", WS_BORDER | ES_READONLY);
    TargetEdit = StandIn("edit", "", WS_BORDER | ES_READONLY);
    CleanupCheckbox = StandIn("button", "Zielverzeichnisse bereinigen", BS_AUTOCHECKBOX);
    SendMessageA(CleanupCheckbox, BM_SETCHECK, BST_CHECKED, 0);
    MainMenu = CreateMenu();
    AppendMenuA(MainMenu, MF_STRING, OpenMenuItem, "open");
    AppendMenuA(MainMenu, MF_STRING, SaveAsMenuItem, "save");
    ForgetDisplayState();
}

void DestroyStandInControls()
{
    DestroyWindow(StandInWindow);
    DestroyMenu(MainMenu);
    StandInWindow = NULL;
    MainWindow = NULL;
    MainMenu = NULL;
    ForgetDisplayState();
}

int DefaultAnswer(const std::string &title, const std::string &text)
{
    if (title == "Rückfrage")
        return IDYES;
    if (text.find("Fehler beim Kopieren") == 0)
        return IDIGNORE;
    return IDOK;
}

BoxAnswerer::BoxAnswerer(Rule r) : stop(0), rule(r ? r : DefaultAnswer)
{
    InitializeCriticalSection(&lock);
    thread = CreateThread(NULL, 0, Loop, this, 0, NULL);
}

BoxAnswerer::~BoxAnswerer()
{
    InterlockedExchange(&stop, 1);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    DeleteCriticalSection(&lock);
}

void BoxAnswerer::SetRule(Rule r)
{
    EnterCriticalSection(&lock);
    rule = r;
    LeaveCriticalSection(&lock);
}

std::vector<SeenBox> BoxAnswerer::Seen()
{
    EnterCriticalSection(&lock);
    std::vector<SeenBox> copy = seen;
    LeaveCriticalSection(&lock);
    return copy;
}

int BoxAnswerer::Count(const std::string &textPart)
{
    int n = 0;
    for (const SeenBox &box : Seen())
        if (box.text.find(textPart) != std::string::npos)
            n++;
    return n;
}

struct ScanState {
    std::vector<HWND> boxes;
    std::vector<HWND> notepads;
};

static BOOL CALLBACK CollectWindow(HWND window, LPARAM context)
{
    ScanState *state = (ScanState *)context;
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (strcmp(className, "#32770") == 0 && process == GetCurrentProcessId() && IsWindowVisible(window))
        state->boxes.push_back(window);
    if (strcmp(className, "Notepad") == 0)
        state->notepads.push_back(window);
    return TRUE;
}

void BoxAnswerer::Scan()
{
    ScanState state;
    EnumWindows(CollectWindow, (LPARAM)&state);
    for (HWND notepad : state.notepads)
        PostMessageA(notepad, WM_CLOSE, 0, 0);
    EnterCriticalSection(&lock);
    notepadsClosed += state.notepads.size();
    notepadsOpen = (int)state.notepads.size();
    LeaveCriticalSection(&lock);
    for (HWND box : state.boxes) {
        EnterCriticalSection(&lock);
        bool done = false;
        for (HWND old : answered)
            done = done || old == box;
        LeaveCriticalSection(&lock);
        if (done && IsWindow(box))
            continue;
        if (GetDlgItem(box, 0xFFFF) == NULL) {
            AnswerFileDialog(box);
            continue;
        }
        char title[256] = "", text[4096] = "";
        GetWindowTextA(box, title, sizeof title);
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        int defaultButton = 0;
        for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
            HWND button = GetDlgItem(box, id);
            if (button != NULL && (GetWindowLongA(button, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
                defaultButton = id;
        }
        EnterCriticalSection(&lock);
        int answer = rule(title, text);
        if (answer != 0) {
            seen.push_back({title, text, answer, defaultButton});
            answered.push_back(box);
        }
        LeaveCriticalSection(&lock);
        if (answer != 0)
            PostMessageA(box, WM_COMMAND, (WPARAM)answer, 0);
    }
    EnterCriticalSection(&lock);
    std::vector<HWND> alive;
    for (HWND old : answered)
        if (IsWindow(old))
            alive.push_back(old);
    answered = alive;
    LeaveCriticalSection(&lock);
}

bool BoxAnswerer::WaitForNotepadClosed(DWORD timeoutMs)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; PumpFor(10)) {
        EnterCriticalSection(&lock);
        bool done = notepadsClosed > 0 && notepadsOpen == 0;
        LeaveCriticalSection(&lock);
        if (done)
            return true;
    }
    return false;
}

void BoxAnswerer::SetFileName(const std::string &name)
{
    EnterCriticalSection(&lock);
    fileName = name;
    LeaveCriticalSection(&lock);
}

int BoxAnswerer::FileDialogs()
{
    EnterCriticalSection(&lock);
    int n = fileDialogs;
    LeaveCriticalSection(&lock);
    return n;
}

// Types the file name into an open or save dialog and accepts it.
void BoxAnswerer::AnswerFileDialog(HWND dialog)
{
    HWND nameField = GetDlgItem(dialog, 0x47c);
    if (nameField == NULL)
        nameField = GetDlgItem(dialog, 0x480);
    if (nameField == NULL)
        return;
    EnterCriticalSection(&lock);
    std::string name = fileName;
    fileDialogs++;
    answered.push_back(dialog);
    LeaveCriticalSection(&lock);
    if (name.empty()) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    SendMessageA(nameField, WM_SETTEXT, 0, (LPARAM)name.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

DWORD WINAPI BoxAnswerer::Loop(LPVOID self)
{
    BoxAnswerer *answerer = (BoxAnswerer *)self;
    while (!InterlockedCompareExchange(&answerer->stop, 0, 0)) {
        answerer->Scan();
        Sleep(15);
    }
    return 0;
}

bool RunOnThreadPumping(LPTHREAD_START_ROUTINE function, DWORD timeoutMs)
{
    HANDLE thread = CreateThread(NULL, 0, function, NULL, 0, NULL);
    DWORD start = GetTickCount();
    bool ended = false;
    while (GetTickCount() - start < timeoutMs) {
        DWORD result = MsgWaitForMultipleObjects(1, &thread, FALSE, 50, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    CloseHandle(thread);
    return ended;
}

void PumpFor(DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    }
}

void PassFixture::SetUp()
{
    CreateStandInControls();
    ResetCounters();
    ClearCancel();
    LogFile = HFILE_ERROR;
    AutoSavePath[0] = 0;
    ResolveAutoSavePath();
    source = temp / "quelle\\";
    target = temp / "ziel\\";
    MakeFolder(source);
    MakeFolder(target);
}

void PassFixture::TearDown()
{
    CloseLog();
    DestroyStandInControls();
    ClearCancel();
    SetRunActive(false);
}

void PassFixture::OpenLog()
{
    OFSTRUCT record;
    LogFile = OpenFile("log.txt", &record, OF_CREATE | OF_WRITE);
    ASSERT_NE(LogFile, HFILE_ERROR);
}

void PassFixture::CloseLog()
{
    if (LogFile != HFILE_ERROR)
        CloseHandle((HANDLE)(INT_PTR)LogFile);
    LogFile = HFILE_ERROR;
}

std::string PassFixture::Log()
{
    CloseLog();
    return ReadBytes(temp / "log.txt");
}

void RunFixture::AddPair(const std::string &from, const std::string &to)
{
    std::string entry = "'" + from + "' -> '" + to + "'";
    SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry.c_str());
}

std::vector<SeenBox> RunFixture::Run(BoxAnswerer::Rule rule)
{
    BoxAnswerer answerer(rule);
    EXPECT_TRUE(RunOnThreadPumping(SyncWorker, 120000)) << "the run did not end";
    EXPECT_TRUE(answerer.WaitForNotepadClosed(20000)) << "the run opened no log in Notepad";
    return answerer.Seen();
}

int CountBoxes(const std::vector<SeenBox> &boxes, const std::string &part)
{
    int n = 0;
    for (const SeenBox &box : boxes)
        n += box.text.find(part) != std::string::npos;
    return n;
}
