// The notices of a run. Each is shown only when the run display has caught
// up with the counters, so that the user reads them beside exact figures.
#pragma once
#include <windows.h>

// Shows a note under the title "Hinweis" made of format and the ANSI form of
// path (its one %s), with an OK button and icon.
void ShowPathNote(const char *format, const WCHAR *path, UINT icon);

// Shows a note under the title "Hinweis" with an OK button and icon.
void ShowRunNote(const char *text, UINT icon);

// Asks a yes/no question whose default answer is No, with a warning icon; true only for yes.
bool AskRunQuestion(const char *question);

// Notice for a target file that could not be deleted; the run is cancelled.
void ReportDeleteError(DWORD code, const WCHAR *path);

// Notice for a folder that could not be listed; the run is cancelled.
void ReportListingError(DWORD code, const WCHAR *path);

// Abort/Retry/Ignore prompt for a failed copy; returns IDABORT, IDRETRY, IDIGNORE or 0.
int AskCopyError(DWORD code, const WCHAR *sourceFile, const WCHAR *targetFile);
