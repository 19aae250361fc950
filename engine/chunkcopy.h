// The program's stand-in for the platform's CopyFileExW, for platforms whose
// copy calls no progress routine and ignores its cancel flag (Wine).
#pragma once
#include <windows.h>

// Returned when the source's size or last-write time changed while it was
// read: the copy is no snapshot of any version (an application's error
// code, bit 29 set).
enum { SOURCE_CHANGED = 0x20000001 };

// Returned when the folder a replacement was to be renamed into is no longer
// the one it began in (swapped for a link, say): the rename would land elsewhere.
enum { TARGET_FOLDER_CHANGED = 0x20000002 };

// The target folder a copy writes into, as the mirror holds it: a new file
// is created through handle (INVALID_HANDLE_VALUE: by its path), so that it
// lands in that folder whatever its path has become; a replacement is
// renamed into place only while the folder's path has index (0: not checked).
struct HeldFolder {
    HANDLE handle;
    ULONGLONG index;
};

// True while the folder of path (the part before its last backslash) still
// has the file index of folder (NULL or 0: not checked); false, with the last
// error TARGET_FOLDER_CHANGED, otherwise. Asked right before a rename into it.
bool FolderStillAt(const WCHAR *path, const HeldFolder *folder);

// Reads the last-write time of the file open as handle back (after its
// flush) and, where the file system did not keep the one in info, sets it
// again together with the access time (some file systems, exFAT through
// FUSE, keep only that); false with the last error set when it cannot be
// read or set.
bool KeepWriteTime(HANDLE handle, const FILE_BASIC_INFO *info);

// Opens source for reading while others may go on writing, renaming or
// deleting it, and learns its attributes, times and size; INVALID_HANDLE_VALUE
// with the last error set on failure.
HANDLE OpenWatchedSource(const WCHAR *source, FILE_BASIC_INFO *info, LARGE_INTEGER *size);

// True when the source open as handle still has the size and last-write time
// learnt when it was opened; false (last error SOURCE_CHANGED) otherwise.
bool SourceHeldStill(HANDLE source, const FILE_BASIC_INFO *info, const LARGE_INTEGER *size);

// Copies source to target the way CopyFileExW does with flags 0 or
// COPY_FILE_FAIL_IF_EXISTS: progress after every chunk on the calling thread,
// source attributes and last-write time given to the target, partial target
// removed on failure, ERROR_REQUEST_ABORTED when the routine or the flag
// cancels, and SOURCE_CHANGED when the source changed while it was read.
// Given finalName, the finished target is flushed and then renamed to
// finalName (replacing a file of that name) through its open handle, so that
// it is never opened twice, and only while FolderStillAt(finalName, folder)
// (TARGET_FOLDER_CHANGED otherwise); a close that fails after that rename is
// reported and the renamed file kept. A new target is created through
// folder's handle where it has one. FALSE with the last error set on failure.
BOOL CopyFileChunked(const WCHAR *source, const WCHAR *target, const WCHAR *finalName, LPPROGRESS_ROUTINE progress,
                     LPVOID data, LPBOOL cancel, DWORD flags, const HeldFolder *folder = NULL);
