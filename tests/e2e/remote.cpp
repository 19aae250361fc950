// Driving KR-Mirrorix.exe from another process.
#include "remote.h"
#include <commctrl.h>
#include <stdio.h>

// The program last started; ended when a step fails, so that no instance is
// left behind holding the driver's output streams.
static HANDLE StartedProcess = NULL;

void Fail(const std::string &step)
{
    printf("FAILED: %s\n", step.c_str());
    fflush(stdout);
    CloseNotepads();
    if (StartedProcess != NULL)
        TerminateProcess(StartedProcess, 1);
    ExitProcess(1);
}

void Check(bool condition, const std::string &step)
{
    if (!condition)
        Fail(step);
    printf("ok: %s\n", step.c_str());
    fflush(stdout);
}

struct FindMain { DWORD process; HWND found; };

static BOOL CALLBACK FindMainWindow(HWND window, LPARAM context)
{
    FindMain *find = (FindMain *)context;
    DWORD process = 0;
    char className[64] = "";
    GetWindowThreadProcessId(window, &process);
    GetClassNameA(window, className, sizeof className);
    if (process == find->process && strcmp(className, "KR-Mirrorix") == 0 && IsWindowVisible(window)) {
        find->found = window;
        return FALSE;
    }
    return TRUE;
}

Program StartProgram(const std::string &exe, const std::string &folder)
{
    Program program;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string command = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(), &startup,
                        &program.process))
        Fail("start " + exe + " (error " + std::to_string(GetLastError()) + ")");
    StartedProcess = program.process.hProcess;
    // The window is shown before its controls exist; the program is ready once
    // its message loop waits for input.
    WaitForInputIdle(program.process.hProcess, STEP_TIMEOUT_MS);
    FindMain find = {program.process.dwProcessId, NULL};
    DWORD start = GetTickCount();
    while (find.found == NULL && GetTickCount() - start < STEP_TIMEOUT_MS) {
        EnumWindows(FindMainWindow, (LPARAM)&find);
        Sleep(50);
    }
    if (find.found == NULL)
        Fail("the main window appears");
    program.main = find.found;
    for (;;) {
        program.controls.clear();
        for (HWND child = GetWindow(program.main, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT))
            program.controls.push_back(child);
        if (program.controls.size() >= 19 || GetTickCount() - start >= STEP_TIMEOUT_MS)
            break;
        Sleep(20);
    }
    if (program.controls.size() != 19)
        Fail("the main window has 19 controls (found " + std::to_string(program.controls.size()) + ")");
    return program;
}

DWORD WaitForExit(Program &program, DWORD timeoutMs)
{
    if (WaitForSingleObject(program.process.hProcess, timeoutMs) != WAIT_OBJECT_0)
        Fail("the program ends");
    DWORD code = 1;
    GetExitCodeProcess(program.process.hProcess, &code);
    CloseHandle(program.process.hProcess);
    CloseHandle(program.process.hThread);
    if (StartedProcess == program.process.hProcess)
        StartedProcess = NULL;
    return code;
}

static BOOL CALLBACK CloseNotepad(HWND window, LPARAM)
{
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "Notepad") == 0)
        PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

void CloseNotepads()
{
    EnumWindows(CloseNotepad, 0);
}

std::string Text(HWND window)
{
    char text[4096] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

std::string ListEntry(HWND list, int index)
{
    WCHAR wide[1100] = L"";
    if (SendMessageW(list, LB_GETTEXTLEN, index, 0) >= 1000)
        return "<too long>";
    SendMessageW(list, LB_GETTEXT, index, (LPARAM)wide);
    char text[2200] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, NULL, NULL);
    return text;
}

void Click(const Program &program, HWND button)
{
    PostMessageA(program.main, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), (LPARAM)button);
}

void MenuCommand(const Program &program, int id)
{
    PostMessageA(program.main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

struct FindBox { DWORD process; std::vector<HWND> found; };

static BOOL CALLBACK FindDialogs(HWND window, LPARAM context)
{
    FindBox *find = (FindBox *)context;
    DWORD process = 0;
    char className[64] = "";
    GetWindowThreadProcessId(window, &process);
    GetClassNameA(window, className, sizeof className);
    if (process == find->process && strcmp(className, "#32770") == 0 && IsWindowVisible(window))
        find->found.push_back(window);
    return TRUE;
}

static std::vector<HWND> Dialogs(const Program &program)
{
    FindBox find = {program.process.dwProcessId, {}};
    EnumWindows(FindDialogs, (LPARAM)&find);
    return find.found;
}

bool BoxShown(const Program &program)
{
    for (HWND dialog : Dialogs(program))
        if (GetDlgItem(dialog, 0xFFFF) != NULL)
            return true;
    return false;
}

// The message box with part in its text, or else the last box seen (in seen).
static Box LookForBox(const Program &program, const std::string &part, std::string *seen)
{
    for (HWND dialog : Dialogs(program)) {
        HWND label = GetDlgItem(dialog, 0xFFFF);
        if (label == NULL)
            continue;
        Box box;
        box.window = dialog;
        box.title = Text(dialog);
        box.text = Text(label);
        if (box.text.find(part) != std::string::npos)
            return box;
        *seen = box.text;
    }
    return Box();
}

Box ShownBox(const Program &program, const std::string &part)
{
    std::string seen;
    return LookForBox(program, part, &seen);
}

Box WaitForBox(const Program &program, const std::string &part, DWORD timeoutMs, DWORD pollMs)
{
    DWORD start = GetTickCount();
    std::string seen;
    while (GetTickCount() - start < timeoutMs) {
        Box box = LookForBox(program, part, &seen);
        if (box.window != NULL)
            return box;
        CloseNotepads();
        Sleep(pollMs);
    }
    Fail("a box with '" + part + "' appears" + (seen.empty() ? "" : " (shown instead: '" + seen + "')"));
}

void Answer(const Box &box, int button)
{
    PostMessageA(box.window, WM_COMMAND, button, 0);
    DWORD start = GetTickCount();
    while (IsWindow(box.window) && IsWindowVisible(box.window) && GetTickCount() - start < STEP_TIMEOUT_MS)
        Sleep(20);
    if (IsWindow(box.window) && IsWindowVisible(box.window))
        Fail("the box '" + box.text + "' closes");
}

std::string AnswerBox(const Program &program, const std::string &part, const std::string &title, int button)
{
    Box box = WaitForBox(program, part);
    Check(box.title == title, "box '" + part + "' has the title '" + title + "' (is '" + box.title + "')");
    Answer(box, button);
    return box.text;
}

// Memory in the program's process for one tree item and its text.
struct RemoteItem {
    HANDLE process;
    BYTE *memory;
    explicit RemoteItem(DWORD id)
    {
        process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
        memory = (BYTE *)VirtualAllocEx(process, NULL, 4096, MEM_COMMIT, PAGE_READWRITE);
        if (memory == NULL)
            Fail("memory in the program's process for the folder tree");
    }
    ~RemoteItem()
    {
        VirtualFreeEx(process, memory, 0, MEM_RELEASE);
        CloseHandle(process);
    }
    std::string ItemText(HWND tree, HTREEITEM item)
    {
        TVITEMA tv = {};
        tv.mask = TVIF_TEXT | TVIF_HANDLE;
        tv.hItem = item;
        tv.pszText = (LPSTR)(memory + 1024);
        tv.cchTextMax = 1024;
        WriteProcessMemory(process, memory, &tv, sizeof tv, NULL);
        SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)memory);
        char text[1024] = "";
        ReadProcessMemory(process, memory + 1024, text, sizeof text - 1, NULL);
        return text;
    }
};

static HTREEITEM Next(HWND tree, HTREEITEM item, UINT how)
{
    return (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, how, (LPARAM)item);
}

// Finds the child of parent named name, expanding parent first.
static HTREEITEM FindChild(HWND tree, RemoteItem &remote, HTREEITEM parent, const std::string &name)
{
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)parent);
    for (HTREEITEM child = Next(tree, parent, TVGN_CHILD); child != NULL; child = Next(tree, child, TVGN_NEXT))
        if (_stricmp(remote.ItemText(tree, child).c_str(), name.c_str()) == 0)
            return child;
    return NULL;
}

// Finds the item "/" (the Linux root, Z:\) at most two levels below the root.
static HTREEITEM FindLinuxRoot(HWND tree, RemoteItem &remote)
{
    HTREEITEM root = Next(tree, NULL, TVGN_ROOT);
    HTREEITEM found = FindChild(tree, remote, root, "/");
    for (HTREEITEM child = Next(tree, root, TVGN_CHILD); found == NULL && child != NULL;
         child = Next(tree, child, TVGN_NEXT))
        found = FindChild(tree, remote, child, "/");
    return found;
}

static HWND WaitForDialogWith(const Program &program, const char *childClass, int childId)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < STEP_TIMEOUT_MS) {
        for (HWND dialog : Dialogs(program)) {
            HWND child = childClass != NULL ? FindWindowExA(dialog, NULL, childClass, NULL) : GetDlgItem(dialog, childId);
            if (child != NULL)
                return dialog;
        }
        Sleep(30);
    }
    return NULL;
}

void ChooseInFolderBrowser(const Program &program, const std::string &folder)
{
    HWND dialog = WaitForDialogWith(program, "SysTreeView32", 0);
    if (dialog == NULL)
        Fail("the folder browser appears");
    HWND tree = FindWindowExA(dialog, NULL, "SysTreeView32", NULL);
    RemoteItem remote(program.process.dwProcessId);
    HTREEITEM item = FindLinuxRoot(tree, remote);
    if (item == NULL)
        Fail("the folder browser shows the item '/'");
    size_t position = 3; // after "Z:\"
    while (position < folder.size()) {
        size_t end = folder.find('\\', position);
        std::string name = folder.substr(position, end - position);
        item = FindChild(tree, remote, item, name);
        if (item == NULL)
            Fail("the folder browser shows '" + name + "' of " + folder);
        position = end + 1;
    }
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

void ChooseTopLevelItem(const Program &program, const std::vector<std::string> &names)
{
    HWND dialog = WaitForDialogWith(program, "SysTreeView32", 0);
    if (dialog == NULL)
        Fail("the folder browser appears");
    HWND tree = FindWindowExA(dialog, NULL, "SysTreeView32", NULL);
    RemoteItem remote(program.process.dwProcessId);
    HTREEITEM root = Next(tree, NULL, TVGN_ROOT);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)root);
    std::string shown;
    for (HTREEITEM child = Next(tree, root, TVGN_CHILD); child != NULL; child = Next(tree, child, TVGN_NEXT)) {
        std::string text = remote.ItemText(tree, child);
        for (const std::string &name : names)
            if (_stricmp(text.c_str(), name.c_str()) == 0) {
                SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)child);
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                return;
            }
        shown += "'" + text + "' ";
    }
    Fail("the folder browser shows a virtual folder (items: " + shown + ")");
}

void ChooseInFileDialog(const Program &program, const std::string &name)
{
    HWND dialog = NULL;
    DWORD start = GetTickCount();
    HWND field = NULL;
    while (field == NULL && GetTickCount() - start < STEP_TIMEOUT_MS) {
        for (HWND d : Dialogs(program)) {
            HWND f = GetDlgItem(d, 0x47c);
            if (f == NULL)
                f = GetDlgItem(d, 0x480);
            if (f != NULL) {
                dialog = d;
                field = f;
            }
        }
        Sleep(30);
    }
    if (field == NULL)
        Fail("the file dialog appears");
    SendMessageA(field, WM_SETTEXT, 0, (LPARAM)name.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

bool WaitUntil(bool (*condition)(void *), void *context, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (condition(context))
            return true;
        Sleep(20);
    }
    return condition(context);
}
