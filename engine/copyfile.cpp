// File copy with per-chunk progress and cancel, for platforms whose
// CopyFileExA calls no progress routine and ignores its cancel flag.
#include "copyfile.h"

// Reads the cancel flag the way the platform's copy routine does.
static bool FlagSet(LPBOOL cancel)
{
    return cancel != NULL && __atomic_load_n(cancel, __ATOMIC_SEQ_CST) != 0;
}

// Calls the progress routine; false when it asks to stop.
static bool ReportProgress(LPPROGRESS_ROUTINE progress, LPVOID data, bool *quiet, LONGLONG total,
                           LONGLONG done, DWORD reason, HANDLE source, HANDLE target)
{
    if (progress == NULL || *quiet)
        return true;
    LARGE_INTEGER totalSize, transferred;
    totalSize.QuadPart = total;
    transferred.QuadPart = done;
    DWORD answer = progress(totalSize, transferred, totalSize, transferred, 1, reason, source, target, data);
    if (answer == PROGRESS_QUIET)
        *quiet = true;
    return answer == PROGRESS_CONTINUE || answer == PROGRESS_QUIET;
}

// Refuses a target that may not be replaced: read-only, or a folder.
static bool TargetReplaceable(const char *target)
{
    DWORD attributes = GetFileAttributesA(target);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return true;
}

// Writes all bytes, going on after a short write so that a full disk shows
// its own error; false with the last error set.
static bool WriteAll(HANDLE to, const BYTE *bytes, DWORD count)
{
    while (count > 0) {
        DWORD written = 0;
        if (!WriteFile(to, bytes, count, &written, NULL))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        bytes += written;
        count -= written;
    }
    return true;
}

// Moves the data from source to target in chunks; false with the last error set.
static bool TransferData(HANDLE from, HANDLE to, LONGLONG total, LPPROGRESS_ROUTINE progress,
                         LPVOID data, LPBOOL cancel)
{
    DWORD bufferSize = COPY_CHUNK_MAX;
    if (total < COPY_CHUNK_MAX)
        bufferSize = total < COPY_CHUNK_MIN ? (DWORD)COPY_CHUNK_MIN : (DWORD)total;
    BYTE *buffer = (BYTE *)HeapAlloc(GetProcessHeap(), 0, bufferSize);
    if (buffer == NULL) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    bool quiet = false;
    bool ok = ReportProgress(progress, data, &quiet, total, 0, CALLBACK_STREAM_SWITCH, from, to);
    LONGLONG done = 0;
    DWORD got = 0;
    while (ok && !FlagSet(cancel)) {
        if (!ReadFile(from, buffer, bufferSize, &got, NULL)) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        if (!WriteAll(to, buffer, got)) {
            ok = false;
            break;
        }
        done += got;
        ok = ReportProgress(progress, data, &quiet, total, done, CALLBACK_CHUNK_FINISHED, from, to);
    }
    if (ok && FlagSet(cancel))
        ok = false;
    if (!ok && (FlagSet(cancel) || GetLastError() == ERROR_SUCCESS))
        SetLastError(ERROR_REQUEST_ABORTED);
    HeapFree(GetProcessHeap(), 0, buffer);
    return ok;
}

// Copies source over target with progress and cancel.
BOOL CopyFileChunked(const char *source, const char *target, LPPROGRESS_ROUTINE progress,
                     LPVOID data, LPBOOL cancel)
{
    if (FlagSet(cancel)) {
        SetLastError(ERROR_REQUEST_ABORTED);
        return FALSE;
    }
    HANDLE from = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (from == INVALID_HANDLE_VALUE)
        return FALSE;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(from, &info) || !TargetReplaceable(target)) {
        DWORD code = GetLastError();
        CloseHandle(from);
        SetLastError(code);
        return FALSE;
    }
    HANDLE to = CreateFileA(target, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (to == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        CloseHandle(from);
        SetLastError(code);
        return FALSE;
    }
    LONGLONG total = ((LONGLONG)info.nFileSizeHigh << 32) | info.nFileSizeLow;
    SetLastError(ERROR_SUCCESS);
    bool ok = TransferData(from, to, total, progress, data, cancel);
    if (ok && !SetFileTime(to, NULL, NULL, &info.ftLastWriteTime))
        ok = false;
    DWORD code = GetLastError();
    if (!CloseHandle(to) && ok) {
        ok = false;
        code = GetLastError();
    }
    CloseHandle(from);
    if (ok && !SetFileAttributesA(target, info.dwFileAttributes)) {
        ok = false;
        code = GetLastError();
    }
    if (!ok) {
        SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(target);
        SetLastError(code);
        return FALSE;
    }
    return TRUE;
}

// True when running under Wine, whose CopyFileExA lacks progress and cancel.
bool PlatformNeedsOwnCopy()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != NULL && GetProcAddress(ntdll, "wine_get_version") != NULL;
}

// The copy the program uses.
BOOL CopyFileWithProgress(const char *source, const char *target, LPPROGRESS_ROUTINE progress,
                          LPVOID data, LPBOOL cancel)
{
    static const bool ownCopy = PlatformNeedsOwnCopy();
    if (ownCopy)
        return CopyFileChunked(source, target, progress, data, cancel);
    return CopyFileExA(source, target, progress, data, cancel, 0);
}
