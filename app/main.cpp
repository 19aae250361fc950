// Program start and message loop.
#include "controls.h"
#include "mainwindow.h"

// The name that marks a running copy of the program.
static const char RUNNING_COPY_MUTEX[] = "Local\\KR-Mirrorix";

enum { RUNNING_COPY_WAIT_MS = 5000, RUNNING_COPY_POLL_MS = 50 };

// Brings the window of the copy that is already running to the front; it
// may still be on its way up, so it is looked for a little while.
static void BringRunningCopyToFront()
{
    for (DWORD waited = 0; waited < RUNNING_COPY_WAIT_MS; waited += RUNNING_COPY_POLL_MS) {
        HWND window = FindWindowA(MAIN_CLASS_NAME, NULL);
        if (window != NULL) {
            if (IsIconic(window))
                ShowWindow(window, SW_RESTORE);
            SetForegroundWindow(window);
            return;
        }
        Sleep(RUNNING_COPY_POLL_MS);
    }
}

// Creates the main window and runs the message loop until it is destroyed.
// A second start hands over to the running copy, so that two windows never
// rewrite one auto-save file from two lists.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    HANDLE runningCopy = CreateMutexA(NULL, FALSE, RUNNING_COPY_MUTEX);
    if (runningCopy != NULL && GetLastError() == ERROR_ALREADY_EXISTS) {
        BringRunningCopyToFront();
        CloseHandle(runningCopy);
        return 0;
    }
    CreateMainWindow(instance, showCommand);
    GetCurrentDirectoryA(START_DIRECTORY_MAX, StartDirectory);
    MSG message = {};
    while (GetMessageA(&message, NULL, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}
