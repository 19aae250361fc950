// The main window's globals, which every part of the program reaches: the
// window, its menu and its child controls with the table they are created
// from, the chosen folders, the start folder of the file dialogs and the
// thread of the current or last run.
#pragma once
#include <windows.h>

enum {
    FOLDER_TEXT_MAX = 520,    // a chosen folder (260 from the chooser, room to spare)
    START_DIRECTORY_MAX = 260
};

extern HBRUSH BackgroundBrush;
extern HWND MainWindow;
extern HMENU MainMenu;
extern char StartDirectory[START_DIRECTORY_MAX];
extern char SourceFolder[FOLDER_TEXT_MAX];
extern char TargetFolder[FOLDER_TEXT_MAX];
extern HANDLE WorkerThread;

extern HWND PairList;
extern HWND SourceBrowseButton;
extern HWND TargetBrowseButton;
extern HWND ExitButton;
extern HWND SyncButton;
extern HWND AddPairButton;
extern HWND RemovePairButton;
extern HWND HelpButton;
extern HWND CurrentFileLabel;
extern HWND FileProgressBar;
extern HWND TotalProgressBar;
extern HWND CopiedStatusLabel;
extern HWND CleanedStatusLabel;
extern HWND SourceEdit;
extern HWND TargetEdit;
extern HWND CleanupCheckbox;

// One row of the control table.
struct ControlRow {
    HWND *handle; // global that keeps it, or NULL
    const char *className;
    const char *text;
    DWORD style;
    int x, y, width, height;
};

enum { CONTROL_COUNT = 19 };

// The child controls in the order of creation, which is also their z-order.
extern const ControlRow ControlTable[CONTROL_COUNT];
