// The main window: its globals, its controls and its window procedure.
#pragma once
#include <windows.h>

enum {
    FOLDER_TEXT_MAX = 520,    // a chosen folder (260 from the chooser, room to spare)
    START_DIRECTORY_MAX = 260,
    CLIENT_WIDTH = 600,
    CLIENT_HEIGHT = 630,
    MENU_RESOURCE = 102,
    ICON_RESOURCE = 101,
    OpenMenuItem = 40001,
    SaveAsMenuItem = 40002,
    ExitMenuItem = 40003,
    HelpMenuItem = 40004
};

extern const char MAIN_CLASS_NAME[];
extern const char MAIN_WINDOW_TITLE[];
extern const char MAKER_LINE[];
extern const char MAKER_ADDRESS[];

extern HBRUSH BackgroundBrush;
extern HMENU MainMenu;
extern HWND MainWindow;
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
    HWND *handle;        // global that keeps it, or NULL
    const char *className;
    const char *text;
    DWORD style;
    int x, y, width, height;
};

enum { CONTROL_COUNT = 19 };
extern const ControlRow ControlTable[CONTROL_COUNT];

// Static initialiser of BackgroundBrush.
HBRUSH InitBackgroundBrush();

// Registers the class, loads the menu, creates and shows the main window.
HWND CreateMainWindow(HINSTANCE instance, int showCommand);

// Window procedure of the main window.
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
