// Drives one timed run of KR-Mirrorix.exe for bench/run.sh:
//   bench_driver <KR-Mirrorix.exe> <working folder>
// runs the list that the folder's Ini.dat holds, timed from the answered
// start question to the closing note, and prints the milliseconds and the
// program's peak working set before it closes the program.
#include "tests/e2e/remote.h"
#include "app/controls.h"
#include <psapi.h>
#include <stdio.h>

static BOOL CALLBACK Collect(HWND window, LPARAM list)
{
    ((std::vector<HWND> *)list)->push_back(window);
    return TRUE;
}

// The visible top-level windows of class className (of process, unless 0).
static std::vector<HWND> Windows(DWORD process, const char *className)
{
    std::vector<HWND> all, found;
    EnumWindows(Collect, (LPARAM)&all);
    for (HWND window : all) {
        DWORD owner = 0;
        char name[64] = "";
        GetWindowThreadProcessId(window, &owner);
        GetClassNameA(window, name, sizeof name);
        if ((process == 0 || owner == process) && strcmp(name, className) == 0 && IsWindowVisible(window))
            found.push_back(window);
    }
    return found;
}

// The program's shown message box whose text contains part, or NULL.
static HWND ShownBox(const Program &p, const char *part)
{
    for (HWND dialog : Windows(p.process.dwProcessId, "#32770"))
        if (GetDlgItem(dialog, 0xFFFF) != NULL && Text(GetDlgItem(dialog, 0xFFFF)).find(part) != std::string::npos)
            return dialog;
    return NULL;
}

// Waits for the box with part in its text and answers it with button.
static void AnswerBox(const Program &p, const char *part, int button)
{
    HWND box = NULL;
    WaitFor([&] { return (box = ShownBox(p, part)) != NULL; }, std::string("a box with '") + part + "' appears");
    PostMessageA(box, WM_COMMAND, button, 0);
    WaitFor([&] { return !IsWindowVisible(box); }, std::string("the box with '") + part + "' closes");
}

// Waits for the closing note. Looking for a box asks the Wine server about
// every window, which would slow the run it times; a box that the main
// window owns disables it, so boxes are looked for only while the main
// window is disabled (at once, for a run too short to re-enable it).
static HWND WaitForClosingNote(const Program &p)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < 3600000; Sleep(2)) {
        HWND note = IsWindowEnabled(p.main) ? NULL : ShownBox(p, "Synchronisierung ab");
        if (note != NULL)
            return note;
    }
    Fail("the closing note appears");
}

int main(int argc, char **argv)
{
    if (argc != 3) {
        printf("usage: bench_driver <KR-Mirrorix.exe> <working folder>\n");
        return 2;
    }
    Program p = StartProgram(argv[1], argv[2]);
    p.Click(&SyncButton);
    WaitFor([&] { return ShownBox(p, "jetzt starten?") != NULL; }, "the start question appears");
    DWORD begin = GetTickCount();
    AnswerBox(p, "jetzt starten?", IDYES);
    HWND note = WaitForClosingNote(p);
    DWORD elapsed = GetTickCount() - begin;
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(p.process.hProcess, &memory, sizeof memory);
    printf("bench ms=%lu peak_kib=%lu note=%s status=%s | %s\n", elapsed,
           (unsigned long)(memory.PeakWorkingSetSize / 1024), Text(GetDlgItem(note, 0xFFFF)).c_str(),
           Text(p.Control(&CopiedStatusLabel)).c_str(), Text(p.Control(&CleanedStatusLabel)).c_str());
    fflush(stdout);
    PostMessageA(note, WM_COMMAND, IDOK, 0);
    WaitFor([] { return !Windows(0, "Notepad").empty(); }, "the log is opened in Notepad");
    for (HWND notepad : Windows(0, "Notepad"))
        PostMessageA(notepad, WM_CLOSE, 0, 0);
    PostMessageA(p.main, WM_CLOSE, 0, 0);
    AnswerBox(p, "wirklich beenden?", IDYES);
    WaitForExit(p);
    return 0;
}
