// The run display. Every hand-over to the window's thread is a cross-thread
// round trip, so values equal to what a control already shows are not sent,
// and per-entry refreshes are limited to one every DISPLAY_INTERVAL_MS.
// Progress positions are handed over without waiting for the bar's repaint.
// Flushes show the exact state at once.
#include "display.h"
#include "base/paths.h"
#include "runstate.h"
#include "base/texts.h"
#include "base/globals.h"
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

enum {
    SHOWN_SLOTS = 4,
    NUMBER_TEXT_MAX = 12, // one formatted counter
    // Time between two refreshes while entries pass: below 50 ms, so that the
    // display changes at least 20 times a second even with the entry that
    // happens to be handled when the time is up.
    DISPLAY_INTERVAL_MS = 40
};

// What one control was last set to; written by one thread at a time.
struct Shown {
    HWND control;
    char text[STATUS_TEXT_MAX];
    int position;
};

static Shown ShownControls[SHOWN_SLOTS];

static char PendingFileText[STATUS_TEXT_MAX];
static bool FileTextPending = false;
static int PendingFilePercent = 0;
static bool FilePercentPending = false;
static bool RefreshDue = false;
static LONGLONG LastRefreshTime = 0;
// The bar that was last handed a position its thread has not yet confirmed.
static HWND UnconfirmedBar = NULL;

void ForgetDisplayState()
{
    memset(ShownControls, 0, sizeof ShownControls);
    FileTextPending = false;
    FilePercentPending = false;
    RefreshDue = false;
}

// The slot that remembers control, or a free one; NULL when all are taken.
static Shown *SlotOf(HWND control)
{
    Shown *free = NULL;
    for (Shown &slot : ShownControls) {
        if (slot.control == control)
            return &slot;
        if (slot.control == NULL && free == NULL)
            free = &slot;
    }
    return free;
}

void SetControlText(HWND control, const char *text)
{
    Shown *slot = SlotOf(control);
    if (slot != NULL && slot->control == control && strcmp(slot->text, text) == 0)
        return;
    SetWindowTextA(control, text);
    if (slot == NULL)
        return;
    // A text too long to remember leaves the control's state unknown.
    slot->control = CopyText(slot->text, sizeof slot->text, text) ? control : NULL;
}

// Hands a progress position to the bar unless it is already known to show
// it. The bar repaints itself while handling the position; the worker does
// not wait for that, and FlushDisplay confirms the hand-over.
static void SetBarPosition(HWND bar, int position)
{
    Shown *slot = SlotOf(bar);
    if (slot != NULL && slot->control == bar && slot->position == position)
        return;
    SendNotifyMessageA(bar, PBM_SETPOS, (WPARAM)position, 0);
    UnconfirmedBar = bar;
    if (slot == NULL)
        return;
    slot->control = bar;
    slot->position = position;
}

// Percentage in 64-bit arithmetic so that no count can overflow; truncated.
static int OverallPercent(int processed, int total)
{
    return (int)((long long)processed * 100 / total);
}

// Formats one status line "<label><first> / <second>" into line.
static void FormatStatusLine(char *line, int size, const char *label, int first, int second)
{
    char firstText[NUMBER_TEXT_MAX];
    char secondText[NUMBER_TEXT_MAX];
    snprintf(firstText, sizeof firstText, "%d", first);
    snprintf(secondText, sizeof secondText, "%d", second);
    snprintf(line, size, "%s%s / %s", label, firstText, secondText);
}

void UpdateStatusLines()
{
    char left[STATUS_TEXT_MAX];
    char right[STATUS_TEXT_MAX];
    FormatStatusLine(left, sizeof left, COPIED_STATUS_LABEL, CopiedFiles, TotalSourceFiles);
    FormatStatusLine(right, sizeof right, CLEANED_STATUS_LABEL, CleanedEntries, CheckedTargetFiles);
    SetControlText(CopiedStatusLabel, left);
    SetControlText(CleanedStatusLabel, right);
    if (TotalSourceFiles != 0)
        SetBarPosition(TotalProgressBar, OverallPercent(ProcessedFiles, TotalSourceFiles));
}

// A text too long is cut.
void RecordCurrentFile(const char *text)
{
    size_t length = strlen(text);
    if (length >= sizeof PendingFileText)
        length = sizeof PendingFileText - 1;
    memcpy(PendingFileText, text, length);
    PendingFileText[length] = 0;
    FileTextPending = true;
}

void RecordFileProgress(int percent)
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
    return counter.QuadPart / frequency * 1000 + counter.QuadPart % frequency * 1000 / frequency;
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

// Messages sent to a thread are handled in order, so an answered query comes after all of them.
void FlushDisplay()
{
    if (RefreshDue || FileTextPending || FilePercentPending)
        ShowRecorded();
    if (UnconfirmedBar != NULL) {
        SendMessageA(UnconfirmedBar, PBM_GETPOS, 0, 0);
        UnconfirmedBar = NULL;
    }
}

void RefreshDisplay()
{
    RefreshDue = true;
    if (NowMs() - LastRefreshTime >= DISPLAY_INTERVAL_MS)
        ShowRecorded();
}
