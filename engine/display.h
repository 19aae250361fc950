// The run display: status lines, current-file line and progress bars, handed
// to the window's thread at a limited rate.
#pragma once
#include <windows.h>

// Time between two refreshes while entries pass: below 50 ms, so that the
// display changes at least 20 times a second even with the entry that
// happens to be handled when the time is up.
enum { DISPLAY_INTERVAL_MS = 40 };

// Shows the counters in both status lines and the overall percentage, now.
void UpdateStatusLines();

// Overall percentage of processed files, as the total bar shows it.
int OverallPercent(int processed, int total);

// Records the text for the current-file line; shown at the next refresh.
void RecordCurrentFile(const char *text);

// Records the position for the file progress bar; shown at the next refresh.
void RecordFileProgress(int percent);

// Shows everything recorded and the status lines when the last refresh is
// at least DISPLAY_INTERVAL_MS old; otherwise only remembers that one is due.
void RefreshDisplay();

// Shows at once what a refresh has left unshown, and waits until the
// window's thread has taken every progress position handed over.
void FlushDisplay();

// Forgets what the controls were last seen to show (new controls, new run).
void ForgetDisplayState();

// Sends text to a control unless it is already known to show it.
void SetControlText(HWND control, const char *text);

// Hands a progress position to the bar, without waiting for its repaint,
// unless the bar is already known to show it.
void SetBarPosition(HWND bar, int position);
