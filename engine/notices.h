// Error notices and prompts: one builder for every message box of a run.
#pragma once
#include <windows.h>

enum { NOTICE_FALLBACK_MAX = 2200 };

extern const char NO_SYSTEM_TEXT[];

// Shows a plain message box owned by the main window.
int ShowNotice(const char *text, const char *title, UINT type);

// Shows "<message> '<path>'[<more> '<morePath>']\n\nFehler <code>: <system text>"
// with the given buttons and icon under the title "Fehler", after the run
// display has caught up with the counters; returns the button.
int ShowErrorNotice(DWORD code, UINT type, const char *message, const char *path,
                    const char *more, const char *morePath);

// Error notice for the calling thread's last system error.
void ReportError(const char *message, const char *path);
void ReportDeleteError(const char *path);
void ReportListingError(const char *path);

// Notice for a path that does not fit a path buffer: the folder and the entry name.
void ReportPathTooLong(const char *folder, const char *name);

// Notice for an entry whose name the file functions cannot take as it is.
void ReportUnusableName(const char *folder, const char *name);

// Abort/Retry/Ignore prompt for a failed copy; returns IDABORT, IDRETRY, IDIGNORE or 0.
int AskCopyError(const char *sourceFile, const char *targetFile);
