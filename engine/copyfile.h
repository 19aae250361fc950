// The fail-safe copy that every copy of a run goes through: a file that
// replaces an older version is written to a temporary file beside it and
// takes its place only when complete.
#pragma once
#include <windows.h>
#include "chunkcopy.h"
#include "removal.h"

// Name of the temporary file a copy is written to before it takes its
// target's place; one per target folder, a name no person would choose.
extern const WCHAR TEMPORARY_COPY_NAME[];

// Which copy writes the files: the platform's CopyFileExW (with a move into
// place), or the program's own routine where CopyFileExW neither reports
// progress nor honours its cancel flag (Wine). Chosen once at start; tests
// may set it to run either branch.
enum CopyMethod { PLATFORM_COPY, OWN_COPY };
extern CopyMethod ReplacementCopy;

// Brings a copy of source to target, with the source's time and attributes.
// A file that replaces an older version goes through the temporary file
// beside target: on cancel or any failure target stays as it was and the
// temporary file is removed. A file target lacks is created under its own
// name, and removed on failure. A copy whose source changed while it was
// read is discarded (SOURCE_CHANGED). A read-only target has its attribute
// cleared first (set back on failure); one with a second name is refused
// with ERROR_ACCESS_DENIED, one another program holds open with
// ERROR_SHARING_VIOLATION. targetMissing tells that the caller has just
// found no target, which saves asking again. With folder (the target's
// folder as the mirror holds it), the own copy creates its files through the
// folder's handle, and a replacement is renamed into place only while the
// folder's path still has its file index, else TARGET_FOLDER_CHANGED.
// Returns 0 or the error.
DWORD CopyOverTarget(const WCHAR *source, const WCHAR *target, bool targetMissing, LPPROGRESS_ROUTINE progress,
                     LPBOOL cancel, const HeldFolder *folder = NULL);

// True for a leftover of a killed run: a plain file (not a folder, not a
// link) with the temporary file's name in any letter case.
bool IsLeftover(const WCHAR *name, DWORD attributes);

// Removes the temporary file a killed run left at path: only a file, never
// a folder or a link of that name (they are the user's: ERROR_FILE_EXISTS),
// whatever its attributes. Returns 0, ERROR_FILE_NOT_FOUND when there is
// none, or why it stays.
DWORD RemoveLeftover(const WCHAR *path);

// Removes such a leftover in folder (ending in a backslash).
void RemoveLeftoverIn(const WCHAR *folder);
