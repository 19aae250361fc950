// Menu and button commands, the run's start and cancel, and closing.
#include "commands.h"
#include "base/globals.h"
#include "folderchooser.h"
#include "base/messages.h"
#include "engine/runstate.h"
#include "engine/syncrun.h"
#include "base/texts.h"
#include "pairs/pairlist.h"
#include "selectioncommands.h"
#include "resources/resource.h"

// Chooses the source or target folder and shows it in its edit field.
static void ChooseFolder(char *folder, HWND edit, const char *prompt)
{
    BrowseForFolder(MainWindow, folder, prompt);
    SetWindowTextA(edit, folder);
    OnFolderChosen();
}

// Starts a run after the start question, or offers to cancel the running one.
static void OnSyncButton()
{
    if (IsRunActive()) {
        if (AskYes(CANCEL_QUESTION))
            RequestCancel();
        return;
    }
    if (WorkerThread != NULL) {
        CloseHandle(WorkerThread);
        WorkerThread = NULL;
    }
    // A click that arrives while the start question is open (its message loop
    // dispatches posted commands) must not ask again or start a second run.
    static bool asking = false;
    if (asking)
        return;
    asking = true;
    bool start = AskYes(START_QUESTION);
    asking = false;
    if (!start || IsRunActive())
        return;
    // Marked active before the thread exists, so that no second start can slip
    // in; a cancel confirmed from now on belongs to this run.
    ClearCancel();
    SetRunActive(true);
    WorkerThread = CreateThread(NULL, 0, SyncWorker, NULL, 0, NULL);
    if (WorkerThread == NULL)
        SetRunActive(false);
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    WORD id = LOWORD(wParam);
    WORD code = HIWORD(wParam);
    HWND control = (HWND)lParam;
    if (id == OpenMenuItem)
        OpenSelectionFile();
    else if (id == SaveAsMenuItem)
        SaveSelectionFile();
    if ((control == HelpButton || id == HelpMenuItem) && code == 0)
        ShowNotice(HELP_TEXT, TITLE_HELP, MB_OK | MB_ICONQUESTION);
    if (control == SourceBrowseButton && code == 0)
        ChooseFolder(SourceFolder, SourceEdit, SOURCE_PROMPT);
    if (control == TargetBrowseButton && code == 0)
        ChooseFolder(TargetFolder, TargetEdit, TARGET_PROMPT);
    if ((control == ExitButton || id == ExitMenuItem) && code == 0)
        SendMessageA(window, WM_CLOSE, 0, 0);
    if (control == SyncButton && code == 0)
        OnSyncButton();
    if (control == AddPairButton && code == 0)
        AddPair();
    if (control == RemovePairButton && code == 0)
        RemovePair();
    if (control == PairList && code == LBN_SELCHANGE)
        OnPairSelectionChanged();
    return 0;
}

// Asks the close question; on yes the default processing destroys the window.
static LRESULT CloseIfConfirmed(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (!AskYes(CLOSE_QUESTION))
        return 1;
    return DefWindowProcA(window, WM_CLOSE, wParam, lParam);
}

// During a run a yes cancels it and asks the worker for a close request; when the run ended while the question
// was open, the close question follows at once instead.
LRESULT OnClose(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (!IsRunActive())
        return CloseIfConfirmed(window, wParam, lParam);
    if (AskYes(CLOSE_DURING_RUN_QUESTION)) {
        RequestCancel();
        SetExitAfterRun();
        if (!IsRunActive() && TakeExitAfterRun())
            return CloseIfConfirmed(window, wParam, lParam);
    }
    return 1;
}

void WaitForWorker(DWORD timeoutMs)
{
    if (WorkerThread == NULL)
        return;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs)
            return;
        DWORD result = MsgWaitForMultipleObjects(1, &WorkerThread, FALSE, timeoutMs - waited, QS_ALLINPUT);
        if (result != WAIT_OBJECT_0 + 1)
            return;
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage((int)message.wParam);
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}
