// File copy with per-chunk progress and cancel, and the fail-safe
// replacement of a target file through a temporary file beside it.
#pragma once
#include <windows.h>

enum {
    COPY_CHUNK_MAX = 1024 * 1024, // largest transfer between two progress calls
    COPY_CHUNK_MIN = 64 * 1024    // smallest buffer taken for a copy
};

// Name of the temporary file a copy is written to before it takes its
// target's place; one per target folder, never a user's file.
extern const char TEMPORARY_COPY_NAME[];

// Copies source to target the way CopyFileExA does with flags 0 or
// COPY_FILE_FAIL_IF_EXISTS: progress after every chunk on the calling thread,
// source attributes and last-write time given to the target, partial target
// removed on failure, and ERROR_REQUEST_ABORTED when the routine or the flag
// cancels.
BOOL CopyFileChunked(const char *source, const char *target, LPPROGRESS_ROUTINE progress, LPVOID data,
                     LPBOOL cancel, DWORD flags);

// True when the platform's CopyFileExA neither reports progress nor honours
// its cancel flag (Wine), so that CopyFileChunked has to be used.
bool PlatformNeedsOwnCopy();

// The copy the program uses: CopyFileExA where it keeps its contract, else CopyFileChunked.
BOOL CopyFileWithProgress(const char *source, const char *target, LPPROGRESS_ROUTINE progress, LPVOID data,
                          LPBOOL cancel, DWORD flags);

// Brings a copy of source to target, with the source's time and attributes.
// A file that replaces an older version is written to the temporary file
// beside target and put in its place only when complete: on cancel or any
// failure target stays as it was and the temporary file is removed. A file
// target lacks is created under its own name, and removed on failure. A
// read-only target is refused with ERROR_ACCESS_DENIED. False with *code
// set on failure.
bool CopyOverTarget(const char *source, const char *target, LPPROGRESS_ROUTINE progress, LPBOOL cancel,
                    DWORD *code);
