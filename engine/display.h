// The run display: status lines, current-file line and progress bars, handed
// to the window's thread at a limited rate.
#pragma once
#include <windows.h>

// Shows the counters in both status lines and the overall percentage, now.
void UpdateStatusLines();

// Records the text for the current-file line; shown at the next refresh.
void RecordCurrentFile(const char *text);

// Records the position for the file progress bar; shown at the next refresh.
void RecordFileProgress(int percent);

// Shows everything recorded and the status lines when the last refresh is
// at least 40 ms old; otherwise only remembers that one is due.
void RefreshDisplay();

// Shows at once what a refresh has left unshown, and waits until the
// window's thread has taken every progress position handed over.
void FlushDisplay();

// Forgets what the controls were last seen to show (new controls, new run).
void ForgetDisplayState();

// Sends text to a control unless it is already known to show it.
void SetControlText(HWND control, const char *text);
