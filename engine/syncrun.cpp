// The sync run: lock-down, count pass, mirror and cleanup of every pair,
// restore, closing note, close request and the log opened in Notepad.
#include "syncrun.h"
#include "display.h"
#include "notices.h"
#include "ownfiles.h"
#include "passes.h"
#include "base/paths.h"
#include "runstate.h"
#include "sourcefolders.h"
#include "base/texts.h"
#include "base/globals.h"
#include "pairs/folderrules.h"
#include "pairs/pairentry.h"
#include "pairs/autosave.h"
#include "resources/resource.h"
#include <shellapi.h>
#include <stdio.h>

static const char LOG_FILE_NAME[] = "log.txt";

enum { LOCKED_CONTROL_COUNT = 6 };

// The controls a run disables, in the order it disables them.
static HWND *const LockedControls[LOCKED_CONTROL_COUNT] = {&SourceBrowseButton, &TargetBrowseButton, &ExitButton,
                                                           &AddPairButton,      &PairList,           &RemovePairButton};

// Disables the controls that could change the list and greys the load and
// save menu items; wasEnabled receives each control's state before.
static void LockDown(BOOL *wasEnabled)
{
    for (int i = 0; i < LOCKED_CONTROL_COUNT; i++)
        wasEnabled[i] = !EnableWindow(*LockedControls[i], FALSE);
    EnableMenuItem(MainMenu, OpenMenuItem, MF_BYCOMMAND | MF_GRAYED);
    EnableMenuItem(MainMenu, SaveAsMenuItem, MF_BYCOMMAND | MF_GRAYED);
}

// Gives the locked controls their states back and enables both menu items.
static void Restore(const BOOL *wasEnabled)
{
    for (int i = 0; i < LOCKED_CONTROL_COUNT; i++)
        EnableWindow(*LockedControls[i], wasEnabled[i]);
    EnableMenuItem(MainMenu, OpenMenuItem, MF_BYCOMMAND | MF_ENABLED);
    EnableMenuItem(MainMenu, SaveAsMenuItem, MF_BYCOMMAND | MF_ENABLED);
}

// Tells the user, once per run, which kinds of entries the run skips: those
// without both folders and pairs whose folders are one or lie inside each other.
static void ShowSkippedPairsNote()
{
    char text[NOTICE_TEXT_MAX];
    unsigned states = SkippedPairStates();
    if (states == 0 || !CopyText(text, sizeof text, SKIPPED_PAIRS_NOTE))
        return;
    for (int state = PAIR_MALFORMED; state < PAIR_STATE_COUNT; state++)
        if ((states & (1u << state)) != 0 && !JoinPath(text, sizeof text, text, SKIPPED_PAIR_CASES[state]))
            return;
    ShowRunNote(text, MB_ICONWARNING);
}

// The run log's full path: log.txt in the folder that was current when the
// program started, never where a file dialog has since left the current folder
// (the user's own log.txt there would be emptied); false when it does not fit.
static bool LogPath(char *out, size_t size)
{
    return StartDirectory[0] != 0 && JoinInFolder(out, size, StartDirectory, LOG_FILE_NAME);
}

// Opens the run log afresh at log and learns the program's own files, the log among them.
static void OpenLogAndLearnOwnFiles(const char *log)
{
    OFSTRUCT logRecord;
    char program[MAX_PATH];
    LogFile = log[0] != 0 ? OpenFile(log, &logRecord, OF_CREATE | OF_WRITE) : HFILE_ERROR;
    DWORD programLength = GetModuleFileNameA(NULL, program, sizeof program);
    IdentifyOwnFiles(programLength > 0 && programLength < sizeof program ? program : NULL, AutoSavePath,
                     LogFile != HFILE_ERROR ? log : NULL);
}

// True while the pair's target is the folder learnt at the start; else the
// user is told, the pair skipped, and its files count as processed.
static bool TargetStillLearnt(PairFolders *pair, bool mirrored)
{
    if (TargetUnchanged(pair))
        return true;
    if (!mirrored)
        ProcessedFiles += pair->fileCount;
    WriteLogLine(LOG_TARGET_CHANGED, pair->targetPath);
    ShowPathNote(TARGET_CHANGED_NOTE, pair->targetPath, MB_ICONWARNING);
    return false;
}

// Mirrors every pair and cleans it when allowed, each only while its target
// is still the folder learnt at the start. A pair whose target came to
// overlap another pair's folders while its mirror ran is not cleaned, and no
// later one either.
static void MirrorPairs(int count, bool cleanup)
{
    for (int i = 0; i < count; i++) {
        PairFolders *pair = RunnablePair(i);
        if (pair == NULL || !TargetStillLearnt(pair, false))
            continue;
        MirrorFolder(pair, cleanup);
        if (!cleanup || IsCancelRequested())
            continue;
        if (PairOverlapsNow(i)) {
            cleanup = false;
            ShowRunNote(OVERLAP_WARNING, MB_ICONWARNING);
        } else if (TargetStillLearnt(pair, true)) {
            CleanTargetFolder(pair);
        }
    }
}

// Tells how many entries the run left alone, when it left any, and whether
// the log names them.
static void ShowLeftAloneNote()
{
    char text[NOTICE_TEXT_MAX];
    if (LeftAloneEntries == 0)
        return;
    snprintf(text, sizeof text, LEFT_ALONE_NOTE, LeftAloneEntries,
             LogFile != HFILE_ERROR ? LEFT_ALONE_LOGGED : LEFT_ALONE_UNLOGGED);
    ShowRunNote(text, MB_ICONWARNING);
}

// The starter has set RunActive and cleared CancelRequested before the thread began, so that no second start
// slips in and no cancel confirmed meanwhile is lost.
DWORD WINAPI SyncWorker(LPVOID)
{
    BOOL wasEnabled[LOCKED_CONTROL_COUNT];

    LockDown(wasEnabled);
    ResetCounters();
    SetWindowTextA(SyncButton, CANCEL_BUTTON_TEXT);
    ForgetDisplayState();
    char log[PATH_TEXT_MAX], logArgument[PATH_TEXT_MAX];
    if (!LogPath(log, sizeof log))
        log[0] = 0;
    OpenLogAndLearnOwnFiles(log);
    int count = PairCount();
    LearnPairs();
    ForgetSourceFolders();
    bool cleanup = CleanupAllowed();
    ShowSkippedPairsNote();
    for (int i = 0; i < count; i++) {
        PairFolders *pair = RunnablePair(i);
        if (pair != NULL)
            TotalSourceFiles += pair->fileCount = CountSourceFiles(pair);
    }
    UpdateStatusLines();
    MirrorPairs(count, cleanup);
    ForgetPairs();
    ForgetSourceFolders();
    ForgetOwnFiles();
    FlushDisplay();
    SetWindowTextA(SyncButton, SYNC_BUTTON_TEXT);
    SetRunActive(false);
    Restore(wasEnabled);
    RecordCurrentFile(NO_CURRENT_FILE_TEXT);
    RecordFileProgress(0);
    ShowLeftAloneNote();
    ShowRunNote(IsCancelRequested() ? RUN_CANCELLED_NOTE : RUN_COMPLETED_NOTE, MB_ICONINFORMATION);
    if (TakeExitAfterRun())
        PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    if (LogFile != HFILE_ERROR)
        CloseHandle((HANDLE)(INT_PTR)LogFile);
    LogFile = HFILE_ERROR;
    if (JoinPath(logArgument, sizeof logArgument, "\"", log, "\""))
        ShellExecuteA(NULL, "open", "notepad.exe", logArgument, NULL, SW_SHOWNORMAL);
    ExitThread(0);
}
