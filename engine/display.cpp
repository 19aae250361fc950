// Throttled hand-over of the run display. Every hand-over to the window's
// thread is a cross-thread round trip, so values equal to what a control
// already shows are not sent, and per-entry refreshes are limited to one
// every DISPLAY_INTERVAL_MS. Progress positions are handed over without
// waiting for the bar's repaint. Flushes show the exact state at once.
#include "display.h"
#include "runstate.h"
#include "app/mainwindow.h"
#include <commctrl.h>
#include <string.h>

enum { SHOWN_TEXT_SLOTS = 4, SHOWN_BAR_SLOTS = 2 };

struct ShownText { HWND control; char text[STATUS_TEXT_MAX]; };
struct ShownBar { HWND bar; int position; };

// What each control was last set to; written by one thread at a time.
static ShownText ShownTexts[SHOWN_TEXT_SLOTS];
static ShownBar ShownBars[SHOWN_BAR_SLOTS];

static char PendingFileText[STATUS_TEXT_MAX];
static bool FileTextPending = false;
static int PendingFilePercent = 0;
static bool FilePercentPending = false;
static bool RefreshDue = false;
static LONGLONG LastRefreshTime = 0;
// The bar that was last handed a position its thread has not yet confirmed.
static HWND UnconfirmedBar = NULL;

// Forgets what the controls were last seen to show.
void ForgetDisplayState()
{
    memset(ShownTexts, 0, sizeof ShownTexts);
    memset(ShownBars, 0, sizeof ShownBars);
    FileTextPending = false;
    FilePercentPending = false;
    RefreshDue = false;
}

// Sends text to a control unless it is already known to show it.
void SetControlText(HWND control, const char *text)
{
    int slot = -1;
    for (int i = 0; i < SHOWN_TEXT_SLOTS && slot < 0; i++)
        if (ShownTexts[i].control == control)
            slot = i;
    if (slot >= 0 && strcmp(ShownTexts[slot].text, text) == 0)
        return;
    SetWindowTextA(control, text);
    if (slot < 0)
        for (int i = 0; i < SHOWN_TEXT_SLOTS && slot < 0; i++)
            if (ShownTexts[i].control == NULL)
                slot = i;
    if (slot < 0)
        return;
    // A text too long to remember leaves the control's state unknown.
    if (strlen(text) >= sizeof ShownTexts[slot].text) {
        ShownTexts[slot].control = NULL;
        return;
    }
    ShownTexts[slot].control = control;
    strcpy(ShownTexts[slot].text, text);
}

// Hands a progress position to the bar unless it is already known to show
// it. The bar repaints itself while handling the position; the worker does
// not wait for that, and FlushDisplay confirms the hand-over.
void SetBarPosition(HWND bar, int position)
{
    int slot = -1;
    for (int i = 0; i < SHOWN_BAR_SLOTS && slot < 0; i++)
        if (ShownBars[i].bar == bar)
            slot = i;
    if (slot >= 0 && ShownBars[slot].position == position)
        return;
    SendNotifyMessageA(bar, PBM_SETPOS, (WPARAM)position, 0);
    UnconfirmedBar = bar;
    if (slot < 0)
        for (int i = 0; i < SHOWN_BAR_SLOTS && slot < 0; i++)
            if (ShownBars[i].bar == NULL)
                slot = i;
    if (slot < 0)
        return;
    ShownBars[slot].bar = bar;
    ShownBars[slot].position = position;
}

// Records the text for the current-file line.
void ShowCurrentFile(const char *text)
{
    size_t length = strlen(text);
    if (length >= sizeof PendingFileText)
        length = sizeof PendingFileText - 1;
    memcpy(PendingFileText, text, length);
    PendingFileText[length] = 0;
    FileTextPending = true;
}

// Records the position for the file progress bar.
void ShowFileProgress(int percent)
{
    PendingFilePercent = percent;
    FilePercentPending = true;
}

// Milliseconds of a clock finer than GetTickCount, whose steps on Windows
// are as coarse as 16 ms.
static LONGLONG NowMs()
{
    static LONGLONG frequency = 0;
    LARGE_INTEGER counter;
    if (frequency == 0) {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        frequency = value.QuadPart > 0 ? value.QuadPart : 1;
    }
    QueryPerformanceCounter(&counter);
    // Whole seconds and the rest apart, so that counters of fast clocks
    // cannot overflow when multiplied.
    return counter.QuadPart / frequency * 1000 +
           counter.QuadPart % frequency * 1000 / frequency;
}

// Shows everything recorded and the exact status lines.
static void ShowRecorded()
{
    RefreshDue = false;
    if (FileTextPending)
        SetControlText(CurrentFileLabel, PendingFileText);
    if (FilePercentPending)
        SetBarPosition(FileProgressBar, PendingFilePercent);
    FileTextPending = false;
    FilePercentPending = false;
    UpdateStatusLines();
    LastRefreshTime = NowMs();
}

// Shows at once what a refresh has left unshown, and returns only when the
// window's thread has taken every position handed over: messages sent to a
// thread are handled in order, so an answered query comes after all of them.
void FlushDisplay()
{
    if (RefreshDue || FileTextPending || FilePercentPending)
        ShowRecorded();
    if (UnconfirmedBar != NULL) {
        SendMessageA(UnconfirmedBar, PBM_GETPOS, 0, 0);
        UnconfirmedBar = NULL;
    }
}

// Shows everything when the last refresh is old enough.
void RefreshDisplay()
{
    RefreshDue = true;
    if (NowMs() - LastRefreshTime >= DISPLAY_INTERVAL_MS)
        ShowRecorded();
}
