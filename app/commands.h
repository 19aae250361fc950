// Menu and button commands, and the confirmation asked before closing.
#pragma once
#include <windows.h>

enum { WORKER_WAIT_MS = 5000 };

// Handles WM_COMMAND: the ten command tests in their order; returns 0.
LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam);

// Handles WM_CLOSE: 1 while the window stays, else the default result.
LRESULT OnClose(HWND window, WPARAM wParam, LPARAM lParam);

// Waits a bounded time for the last worker, dispatching messages meanwhile.
void WaitForWorker(DWORD timeoutMs);
