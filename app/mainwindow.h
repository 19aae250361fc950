// The main window: its class, creation and window procedure.
#pragma once
#include <windows.h>

extern const char MAIN_CLASS_NAME[];

// Registers the class, loads the menu, creates and shows the main window.
HWND CreateMainWindow(HINSTANCE instance, int showCommand);
