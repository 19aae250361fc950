// File copy with per-chunk progress and cancel.
#pragma once
#include <windows.h>

enum {
    COPY_CHUNK_MAX = 1024 * 1024, // largest transfer between two progress calls
    COPY_CHUNK_MIN = 64 * 1024    // smallest buffer taken for a copy
};

// Copies source over target the way CopyFileExA does with flags 0: progress
// after every chunk on the calling thread, source attributes and last-write
// time given to the target, partial target removed on failure, and
// ERROR_REQUEST_ABORTED when the routine or the flag cancels.
BOOL CopyFileChunked(const char *source, const char *target, LPPROGRESS_ROUTINE progress,
                     LPVOID data, LPBOOL cancel);

// True when the platform's CopyFileExA neither reports progress nor honours
// its cancel flag (Wine), so that CopyFileChunked has to be used.
bool PlatformNeedsOwnCopy();

// The copy the program uses: CopyFileExA where it keeps its contract, else CopyFileChunked.
BOOL CopyFileWithProgress(const char *source, const char *target, LPPROGRESS_ROUTINE progress,
                          LPVOID data, LPBOOL cancel);
