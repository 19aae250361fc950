// The program's stand-in for the platform's CopyFileExA, for platforms whose
// copy calls no progress routine and ignores its cancel flag (Wine).
#pragma once
#include <windows.h>

// Copies source to target the way CopyFileExA does with flags 0 or
// COPY_FILE_FAIL_IF_EXISTS: progress after every chunk on the calling thread,
// source attributes and last-write time given to the target, partial target
// removed on failure, and ERROR_REQUEST_ABORTED when the routine or the flag
// cancels. Given finalName, the finished target is flushed and then renamed
// to finalName (replacing a file of that name) through its open handle, so
// that it is never opened twice; a close that fails after that rename is
// reported and the renamed file kept. FALSE with the last error set on failure.
BOOL CopyFileChunked(const char *source, const char *target, const char *finalName, LPPROGRESS_ROUTINE progress,
                     LPVOID data, LPBOOL cancel, DWORD flags);
