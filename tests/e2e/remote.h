// Driving KR-Mirrorix.exe from another process: its start, its controls and its end. Every wait is bounded.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// Prints the step that did not happen, ends the program started, and exits.
[[noreturn]] void Fail(const std::string &step);
// Waits until condition holds, or fails with step.
template <typename Condition> void WaitFor(Condition condition, const std::string &step, DWORD timeoutMs = 30000)
{
    for (DWORD start = GetTickCount(); !condition(); Sleep(10))
        if (GetTickCount() - start > timeoutMs)
            Fail(step);
}

// The running program, its main window and its controls in creation order.
struct Program {
    PROCESS_INFORMATION process = {};
    HWND main = NULL;
    std::vector<HWND> controls;
    // The control kept in handle, one of the program's globals, by its row in the control table.
    HWND Control(HWND *handle) const;
    void Click(HWND *handle) const
    {
        PostMessageA(main, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), (LPARAM)Control(handle));
    }
};

// Starts exe in folder and, unless told not to, waits until its window shows all controls.
Program StartProgram(const std::string &exe, const std::string &folder, bool waitForWindow = true);
DWORD WaitForExit(Program &program);
std::string Text(HWND window);
