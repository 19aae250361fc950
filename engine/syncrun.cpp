// The sync run: lock-down, count pass, mirror and cleanup of every pair,
// restore, closing note, close request and the log opened in Notepad.
#include "syncrun.h"
#include "passes.h"
#include "paths.h"
#include "notices.h"
#include "display.h"
#include "runstate.h"
#include "pairs/pairentry.h"
#include "pairs/pairlist.h"
#include "app/mainwindow.h"
#include <shellapi.h>

const char LOG_FILE_NAME[] = "log.txt";

static const char SKIPPED_PAIRS_TEXT[] =
    "Mindestens ein Eintrag der Liste ist kein gültiges Ordnerpaar oder sein Zielordner liegt "
    "im Quellordner.\nDiese Einträge werden bei der Synchronisierung übersprungen.";

enum { LOCKED_CONTROL_COUNT = 6 };

// Gets pair index if a pass may run on it; tells the user once per run
// about entries without both folders and about targets inside their source.
static bool GetRunnablePair(int index, char *source, char *target, bool *told)
{
    bool valid = GetPair(index, source, PAIR_TEXT_MAX, target, PAIR_TEXT_MAX) &&
                 !ContainsNoCase(target, source);
    if (!valid && !*told) {
        *told = true;
        FlushDisplay();
        ShowNotice(SKIPPED_PAIRS_TEXT, "Hinweis", MB_OK | MB_ICONWARNING);
    }
    return valid;
}

// The whole run, steps 1 to 21.
void RunSync()
{
    HWND *locked[LOCKED_CONTROL_COUNT] = {&SourceBrowseButton, &TargetBrowseButton, &ExitButton,
                                          &AddPairButton, &PairList, &RemovePairButton};
    BOOL wasEnabled[LOCKED_CONTROL_COUNT];
    char source[PAIR_TEXT_MAX], target[PAIR_TEXT_MAX];
    OFSTRUCT logRecord;
    bool told = false;

    for (int i = 0; i < LOCKED_CONTROL_COUNT; i++)
        wasEnabled[i] = !EnableWindow(*locked[i], FALSE);
    EnableMenuItem(MainMenu, OpenMenuItem, MF_BYCOMMAND | MF_GRAYED);
    EnableMenuItem(MainMenu, SaveAsMenuItem, MF_BYCOMMAND | MF_GRAYED);
    ResetCounters();
    SetWindowTextA(SyncButton, "Abbrechen");
    // A starter that marked the run active cleared the cancel flag itself, so
    // that a cancel confirmed before this point is not lost.
    if (!MarkRunActive())
        ClearCancel();
    ForgetDisplayState();
    LogFile = OpenFile(LOG_FILE_NAME, &logRecord, OF_CREATE | OF_WRITE);
    int count = (int)SendMessageA(PairList, LB_GETCOUNT, 0, 0);
    bool cleanup = CleanupAllowed();
    for (int i = 0; i < count; i++)
        if (GetRunnablePair(i, source, target, &told))
            TotalSourceFiles += CountSourceFiles(source);
    UpdateStatusLines();
    for (int i = 0; i < count; i++) {
        if (!GetRunnablePair(i, source, target, &told))
            continue;
        MirrorFolder(source, target);
        if (cleanup)
            CleanTargetFolder(source, target);
    }
    FlushDisplay();
    SetWindowTextA(SyncButton, "Synchronisieren");
    SetRunActive(false);
    for (int i = 0; i < LOCKED_CONTROL_COUNT; i++)
        EnableWindow(*locked[i], wasEnabled[i]);
    EnableMenuItem(MainMenu, OpenMenuItem, MF_BYCOMMAND | MF_ENABLED);
    EnableMenuItem(MainMenu, SaveAsMenuItem, MF_BYCOMMAND | MF_ENABLED);
    ShowCurrentFile("aktuelle Datei: n/a");
    ShowFileProgress(0);
    FlushDisplay();
    MessageBoxA(MainWindow, IsCancelRequested() ? "Synchronisierung abgebrochen." : "Synchronisierung abgeschlossen.",
                "Hinweis", MB_OK | MB_ICONINFORMATION);
    if (TakeExitAfterRun())
        PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    if (LogFile != HFILE_ERROR)
        CloseHandle((HANDLE)(INT_PTR)LogFile);
    LogFile = HFILE_ERROR;
    ShellExecuteA(NULL, "open", "notepad.exe", LOG_FILE_NAME, NULL, SW_SHOWNORMAL);
}

// Thread routine of one sync run.
DWORD WINAPI SyncWorker(LPVOID)
{
    RunSync();
    ExitThread(0);
}
