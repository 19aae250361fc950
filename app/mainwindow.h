// The main window: its class, creation and window procedure.
#pragma once
#include <windows.h>

enum {
    CLIENT_WIDTH = 600,
    CLIENT_HEIGHT = 630
};

extern const char MAIN_CLASS_NAME[];

// Registers the class, loads the menu, creates and shows the main window.
HWND CreateMainWindow(HINSTANCE instance, int showCommand);

// Window procedure of the main window.
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
