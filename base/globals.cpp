// The main window's globals.
#include "globals.h"

HWND MainWindow = NULL;
HMENU MainMenu = NULL;
char StartDirectory[START_DIRECTORY_MAX] = "";
char SourceFolder[FOLDER_TEXT_MAX] = "";
char TargetFolder[FOLDER_TEXT_MAX] = "";
HANDLE WorkerThread = NULL;

HWND PairList, SourceBrowseButton, TargetBrowseButton, ExitButton, SyncButton, AddPairButton, RemovePairButton,
    HelpButton, CurrentFileLabel, FileProgressBar, TotalProgressBar, CopiedStatusLabel, CleanedStatusLabel, SourceEdit,
    TargetEdit, CleanupCheckbox;
