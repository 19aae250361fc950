// Driving KR-Mirrorix.exe from another process.
#include "remote.h"
#include "app/controls.h"
#include "app/mainwindow.h"
#include <stdio.h>

static HANDLE Started = NULL; // ended when a step fails

void Fail(const std::string &step)
{
    printf("FAILED: %s\n", step.c_str());
    fflush(stdout);
    TerminateProcess(Started, 1);
    ExitProcess(1);
}

HWND Program::Control(HWND *handle) const
{
    for (int i = 0; i < CONTROL_COUNT; i++)
        if (ControlTable[i].handle == handle)
            return controls.at(i);
    Fail("a control of the table");
}

// Whatever ends the driver ends its program too (a job that kills on close): no copy is left holding the lock.
Program StartProgram(const std::string &exe, const std::string &folder, bool waitForWindow)
{
    static HANDLE job = CreateJobObjectA(NULL, NULL);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    Program p;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string command = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(), &startup, &p.process))
        Fail("start " + exe);
    AssignProcessToJobObject(job, p.process.hProcess);
    if (waitForWindow)
        WaitFor(
            [&] { // the window is shown before its controls exist: ready once all are there
                p.main = NULL;
                for (HWND window = FindWindowA(MAIN_CLASS_NAME, NULL); window != NULL && p.main == NULL;
                     window = FindWindowExA(NULL, window, MAIN_CLASS_NAME, NULL)) {
                    DWORD owner = 0;
                    GetWindowThreadProcessId(window, &owner);
                    p.main = owner == p.process.dwProcessId ? window : NULL;
                }
                p.controls.clear();
                for (HWND child = GetWindow(p.main, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT))
                    p.controls.push_back(child);
                return p.controls.size() == CONTROL_COUNT;
            },
            "the main window shows its controls");
    Started = waitForWindow ? p.process.hProcess : Started;
    return p;
}

DWORD WaitForExit(Program &p)
{
    DWORD code = 1;
    WaitFor([&] { return WaitForSingleObject(p.process.hProcess, 0) == WAIT_OBJECT_0; }, "the program ends");
    GetExitCodeProcess(p.process.hProcess, &code);
    CloseHandle(p.process.hProcess);
    CloseHandle(p.process.hThread);
    return code;
}

std::string Text(HWND window)
{
    char text[4096] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}
