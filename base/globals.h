// The main window's globals, which every part of the program reaches: the
// window, its menu and its child controls, the chosen folders, the start
// folder of the file dialogs and the thread of the current or last run. All
// are written on the window's thread; the controls once, at creation.
#pragma once
#include <windows.h>

enum {
    FOLDER_TEXT_MAX = 520, // a chosen folder (260 from the chooser, room to spare)
    START_DIRECTORY_MAX = 260
};

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
