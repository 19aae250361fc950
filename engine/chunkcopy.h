// The program's stand-in for the platform's CopyFileExA, for platforms whose
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

// True while the folder of path (the part before its last backslash) still
// has the file index folderIndex (0: not checked); false, with the last error
// TARGET_FOLDER_CHANGED, otherwise. Asked right before a rename into it.
bool FolderStillAt(const WCHAR *path, ULONGLONG folderIndex);

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

// Copies source to target the way CopyFileExA does with flags 0 or
// COPY_FILE_FAIL_IF_EXISTS: progress after every chunk on the calling thread,
// source attributes and last-write time given to the target, partial target
// removed on failure, ERROR_REQUEST_ABORTED when the routine or the flag
// cancels, and SOURCE_CHANGED when the source changed while it was read.
// Given finalName, the finished target is flushed and then renamed to
// finalName (replacing a file of that name) through its open handle, so that
// it is never opened twice, and only while finalName's folder has the file
// index folderIndex (0: not checked; TARGET_FOLDER_CHANGED otherwise); a
// close that fails after that rename is reported and the renamed file kept.
// FALSE with the last error set on failure.
BOOL CopyFileChunked(const WCHAR *source, const WCHAR *target, const WCHAR *finalName, LPPROGRESS_ROUTINE progress,
                     LPVOID data, LPBOOL cancel, DWORD flags, ULONGLONG folderIndex = 0);
