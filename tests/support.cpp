// Shared helpers of the tests.
#include "support.h"
#include "engine/display.h"
#include "engine/passes.h"
#include "pairs/pairentry.h"
#include "pairs/autosave.h"
#include <algorithm>
#include <commctrl.h>

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
    bool ok = file != INVALID_HANDLE_VALUE && (bytes.empty() || WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL));
    CloseHandle(file);
    EXPECT_TRUE(ok && written == bytes.size()) << "cannot write " << path << ": error " << GetLastError();
    return ok;
}

// Reads sharing everything, so that a program replacing the file meanwhile is not hindered.
std::string ReadBytes(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING, 0, NULL);
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
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
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

std::string FixtureRoot()
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

bool RunShell(const std::string &script)
{
    static LONG counter = 0;
    std::string base = FixtureRoot() + "shell-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(InterlockedIncrement(&counter));
    std::string marker = UnixPath(base), command = "sh \"" + UnixPath(base + ".sh") + "\""; // only double quotes group
    WriteBytes(base + ".sh", script + "\necho $? > '" + marker + ".tmp' && mv '" + marker + ".tmp' '" + marker + ".done'\n");
    STARTUPINFOA startup = {sizeof startup};
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

TempFolder::TempFolder()
{
    static LONG counter = 0;
    path = FixtureRoot() + "t" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(InterlockedIncrement(&counter)) + "\\";
    MakeFolder(path);
    SetCurrentDirectoryA(path.c_str());
}

TempFolder::~TempFolder()
{
    RunShell("rm -rf '" + UnixPath(path) + "'");
}

static void AddToSnapshot(const std::string &top, const std::string &folder, std::map<std::string, std::string> &shot)
{
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA((top + folder + "*").c_str(), &entry);
    for (bool more = listing != INVALID_HANDLE_VALUE; more; more = FindNextFileA(listing, &entry)) {
        std::string name = entry.cFileName;
        bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (name != "." && name != "..")
            shot[folder + name] = isFolder ? "<folder>" : ReadBytes("\\\\?\\" + top + folder + name); // device names too
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
    return (int)std::count_if(boxes.begin(), boxes.end(), [&](const SeenBox &box) { return box.text.find(part) != std::string::npos; });
}

int DefaultAnswer(const std::string &title, const std::string &text)
{
    return title == "Rückfrage" ? IDYES : text.find("Fehler beim Kopieren") == 0 ? IDIGNORE : IDOK;
}

BoxAnswerer::BoxAnswerer(Rule r, DWORD p) : rule(r ? r : DefaultAnswer), process(p), thread([this] {
    for (; !stop; Sleep(10))
        Scan();
}) {}

BoxAnswerer::~BoxAnswerer()
{
    stop = true;
    thread.join();
}

std::vector<SeenBox> BoxAnswerer::Seen()
{
    std::lock_guard<std::mutex> hold(lock);
    return seen;
}

void BoxAnswerer::SetChoice(const std::string &name)
{
    std::lock_guard<std::mutex> hold(lock);
    choice = name;
}

static BOOL CALLBACK CollectWindow(HWND window, LPARAM windows)
{
    if (IsWindowVisible(window))
        ((std::vector<HWND> *)windows)->push_back(window);
    return TRUE;
}

// The button of box drawn as its default.
static int DefaultButtonOf(HWND box)
{
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO})
        if (GetDlgItem(box, id) && (GetWindowLongA(GetDlgItem(box, id), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
            return id;
    return 0;
}

// The child of parent in tree (expanded first) whose text is name.
static HTREEITEM TreeChild(HWND tree, HTREEITEM parent, const std::string &name)
{
    char text[MAX_PATH];
    TVITEMA item = {};
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)parent);
    for (item.hItem = TreeView_GetChild(tree, parent); item.hItem != NULL; item.hItem = TreeView_GetNextSibling(tree, item.hItem)) {
        item.mask = TVIF_TEXT | TVIF_HANDLE, item.pszText = text, item.cchTextMax = sizeof text;
        if (SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&item) && _stricmp(text, name.c_str()) == 0)
            return item.hItem;
    }
    return NULL;
}

// Answers an open or save dialog with name, or the folder browser with the
// folder name. Under Wine the browser's tree reads Desktop, its virtual
// folders, "/" (the Linux root, Z:\) at most one level below, then folder names.
static void AnswerDialog(HWND dialog, const std::string &name)
{
    HWND field = GetDlgItem(dialog, 0x47c), tree = FindWindowExA(dialog, NULL, "SysTreeView32", NULL);
    if (tree != NULL) {
        HTREEITEM root = TreeView_GetRoot(tree), item = TreeChild(tree, root, name.empty() ? "My Computer" : "/");
        for (HTREEITEM top = TreeView_GetChild(tree, root); item == NULL && top != NULL; top = TreeView_GetNextSibling(tree, top))
            item = TreeChild(tree, top, "/");
        for (size_t at = 3, end; item != NULL && at < name.size(); at = end + 1) {
            end = std::min(name.find('\\', at), name.size());
            item = TreeChild(tree, item, name.substr(at, end - at));
        }
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
    } else if (field != NULL && !name.empty()) {
        SendMessageA(field, WM_SETTEXT, 0, (LPARAM)name.c_str());
    }
    PostMessageA(dialog, WM_COMMAND, field != NULL && name.empty() ? IDCANCEL : IDOK, 0);
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
        if (strcmp(className, "Notepad") == 0) {
            notepads++;
            PostMessageA(window, WM_CLOSE, 0, 0);
        }
        if (strcmp(className, "#32770") != 0 || (process != 0 && owner != process) || std::count(answered.begin(), answered.end(), window))
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
        seen.push_back({title, text, answer, DefaultButtonOf(window)});
        answered.push_back(window);
        PostMessageA(window, WM_COMMAND, (WPARAM)answer, 0);
    }
    std::lock_guard<std::mutex> hold(lock);
    notepadsClosed += notepads;
    notepadsOpen = notepads;
}

bool BoxAnswerer::WaitForNotepadClosed(DWORD timeoutMs)
{
    return PumpUntil([this] {
        std::lock_guard<std::mutex> hold(lock);
        bool closed = notepadsClosed > 0 && notepadsOpen == 0;
        notepadsClosed = closed ? 0 : notepadsClosed;
        return closed;
    }, timeoutMs);
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

bool RunPumping(std::function<void()> work, DWORD timeoutMs)
{
    std::atomic<bool> done{false};
    std::thread thread([&] {
        work();
        done = true;
    });
    bool ended = PumpUntil([&] { return done.load(); }, timeoutMs);
    thread.join();
    return ended;
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
    MakeFolder(source);
    MakeFolder(target);
    Open(SW_HIDE);
}

void ProgramFixture::TearDown()
{
    SetRunActive(false);
    if (IsWindow(MainWindow))
        DestroyWindow(MainWindow);
    PumpUntil();
    Log();
    ClearCancel();
    TakeExitAfterRun();
}

void ProgramFixture::Open(int show)
{
    if (IsWindow(MainWindow))
        DestroyWindow(MainWindow);
    PumpUntil(); // the quit message of the window before
    TakeExitAfterRun();
    ForgetDisplayState();
    ASSERT_NE(CreateMainWindow(GetModuleHandleA(NULL), show), (HWND)NULL);
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
    return ReadBytes(temp / "log.txt");
}

void ProgramFixture::AddPair(const std::string &from, const std::string &to)
{
    char entry[PAIR_COMPOSE_MAX];
    ComposePairEntry(from.c_str(), to.c_str(), entry, sizeof entry);
    SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry);
    EnableWindow(SyncButton, TRUE);
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
