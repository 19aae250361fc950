// File copy with per-chunk progress and cancel, for platforms whose
// CopyFileExW calls no progress routine and ignores its cancel flag.
#include "chunkcopy.h"
#include "base/identity.h"
#include "base/longpath.h"
#include "base/memory.h"
#include "base/widetext.h"
#include <string.h>
#include <wchar.h>

enum {
    // Transfer between two progress calls. A buffer this small stays in the
    // processor's cache: with 1 MiB a large file copied at half the speed.
    COPY_CHUNK_BYTES = 64 * 1024
};

// Reads the cancel flag the way the platform's copy routine does.
static bool FlagSet(LPBOOL cancel)
{
    return cancel != NULL && __atomic_load_n(cancel, __ATOMIC_SEQ_CST) != 0;
}

// Calls the progress routine; false with ERROR_REQUEST_ABORTED when it asks
// to stop, whatever last error the routine itself left.
static bool ReportProgress(LPPROGRESS_ROUTINE progress, LPVOID data, bool *quiet, LONGLONG total, LONGLONG done,
                           DWORD reason, HANDLE source, HANDLE target)
{
    if (progress == NULL || *quiet)
        return true;
    LARGE_INTEGER totalSize, transferred;
    totalSize.QuadPart = total;
    transferred.QuadPart = done;
    DWORD answer = progress(totalSize, transferred, totalSize, transferred, 1, reason, source, target, data);
    if (answer == PROGRESS_QUIET)
        *quiet = true;
    if (answer == PROGRESS_CONTINUE || answer == PROGRESS_QUIET)
        return true;
    SetLastError(ERROR_REQUEST_ABORTED);
    return false;
}

// Opens the target for writing, empty. With COPY_FILE_FAIL_IF_EXISTS an
// existing target is refused, and a new one is created through the held folder. Otherwise an existing read-only target
// is refused with ERROR_ACCESS_DENIED, as the platform's copy does (Wine would let root overwrite it); opening an
// existing file rather than asking for it first saves a name lookup, the dearest step of a small copy under Wine.
static HANDLE OpenTarget(const WCHAR *target, DWORD flags, const HeldFolder *folder)
{
    DWORD access = GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES;
    if ((flags & COPY_FILE_FAIL_IF_EXISTS) && folder != NULL && folder->handle != INVALID_HANDLE_VALUE)
        return CreateBelow(folder->handle, LastPartW(target), access, false);
    if (flags & COPY_FILE_FAIL_IF_EXISTS)
        return OpenPath(target, access, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
    HANDLE to = OpenPath(target, access, 0, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (to == INVALID_HANDLE_VALUE || GetLastError() != ERROR_ALREADY_EXISTS)
        return to;
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandleEx(to, FileBasicInfo, &basic, sizeof basic) ||
        (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) || !SetEndOfFile(to)) {
        DWORD code = GetLastError();
        CloseHandle(to);
        SetLastError(code == ERROR_SUCCESS || code == ERROR_ALREADY_EXISTS ? ERROR_ACCESS_DENIED : code);
        return INVALID_HANDLE_VALUE;
    }
    return to;
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

// Moves the data from source to target in chunks of buffer's size until the
// size found at the start is copied (or the source ends early); false with
// the last error set.
static bool TransferData(HANDLE from, HANDLE to, LONGLONG total, BYTE *buffer, DWORD bufferSize,
                         LPPROGRESS_ROUTINE progress, LPVOID data, LPBOOL cancel)
{
    bool quiet = false;
    bool ok = ReportProgress(progress, data, &quiet, total, 0, CALLBACK_STREAM_SWITCH, from, to);
    LONGLONG done = 0;
    while (ok && done < total && !FlagSet(cancel)) {
        DWORD got = 0;
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
    if (!ok && FlagSet(cancel))
        SetLastError(ERROR_REQUEST_ABORTED);
    return ok;
}

// Copies the data through a buffer on the stack.
static bool CopyData(HANDLE from, HANDLE to, LONGLONG total, LPPROGRESS_ROUTINE progress, LPVOID data, LPBOOL cancel)
{
    BYTE buffer[COPY_CHUNK_BYTES];
    return TransferData(from, to, total, buffer, sizeof buffer, progress, data, cancel);
}

// Gives the open target the source's last-write time and attributes in one call.
static bool FinishTarget(HANDLE to, const FILE_BASIC_INFO *info)
{
    FILE_BASIC_INFO basic = {};
    basic.LastWriteTime = info->LastWriteTime;
    basic.LastAccessTime = info->LastAccessTime; // with it the write time sticks on exFAT through FUSE too
    basic.FileAttributes = info->FileAttributes;
    return SetFileInformationByHandle(to, FileBasicInfo, &basic, sizeof basic) != 0;
}

bool KeepWriteTime(HANDLE handle, const FILE_BASIC_INFO *info)
{
    FILE_BASIC_INFO now;
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &now, sizeof now))
        return false;
    if (now.LastWriteTime.QuadPart == info->LastWriteTime.QuadPart)
        return true;
    FILE_BASIC_INFO basic = {}; // times of 0 stay as they are
    basic.LastWriteTime = info->LastWriteTime;
    basic.LastAccessTime = info->LastAccessTime.QuadPart != 0 ? info->LastAccessTime : info->LastWriteTime;
    return SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic) != 0;
}

// Closes handle and returns false with code as the last error.
static BOOL FailWith(HANDLE handle, DWORD code)
{
    CloseHandle(handle);
    SetLastError(code);
    return FALSE;
}

// Sharing everything lets the change be seen rather than refused: a log
// another program keeps open for writing is still read.
HANDLE OpenWatchedSource(const WCHAR *source, FILE_BASIC_INFO *info, LARGE_INTEGER *size)
{
    HANDLE from =
        OpenPath(source, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING, 0);
    if (from == INVALID_HANDLE_VALUE)
        return from;
    if (!GetFileInformationByHandleEx(from, FileBasicInfo, info, sizeof *info) || !GetFileSizeEx(from, size)) {
        FailWith(from, GetLastError());
        return INVALID_HANDLE_VALUE;
    }
    return from;
}

bool SourceHeldStill(HANDLE source, const FILE_BASIC_INFO *info, const LARGE_INTEGER *size)
{
    FILE_BASIC_INFO now; // not GetFileInformationByHandle: its volume serial costs Wine a millisecond
    LARGE_INTEGER sizeNow;
    if (!GetFileInformationByHandleEx(source, FileBasicInfo, &now, sizeof now) || !GetFileSizeEx(source, &sizeNow))
        return false;
    if (now.LastWriteTime.QuadPart == info->LastWriteTime.QuadPart && sizeNow.QuadPart == size->QuadPart)
        return true;
    SetLastError(SOURCE_CHANGED);
    return false;
}

// Copies the data, checks that the source held still, and gives the target
// the source's time and attributes.
static bool CopyContent(HANDLE from, HANDLE to, const FILE_BASIC_INFO *info, const LARGE_INTEGER *size,
                        LPPROGRESS_ROUTINE progress, LPVOID data, LPBOOL cancel)
{
    return CopyData(from, to, size->QuadPart, progress, data, cancel) && SourceHeldStill(from, info, size) &&
           FinishTarget(to, info);
}

// Gives the file open as handle the name target (replacing a file of that
// name) in one step, without opening it again.
static bool RenameOpenFile(HANDLE handle, const WCHAR *target)
{
    WCHAR *made;
    const WCHAR *form = PlatformPath(target, &made);
    DWORD length = form != NULL ? GetFullPathNameW(form, 0, NULL, NULL) : 0;
    WCHAR *full = length > 0 && length <= WIDE_PATH_MAX ? (WCHAR *)MemoryAlloc(length * sizeof(WCHAR)) : NULL;
    DWORD got = full != NULL ? GetFullPathNameW(form, length, full, NULL) : 0;
    MemoryFree(made);
    // An NT path: "\??\" before a drive path, "\??\UNC\" for a share.
    const WCHAR *rest = got > 0 && got < length ? full : L"";
    rest += wcsncmp(rest, L"\\\\?\\", 4) == 0 ? 4 : 0;
    bool share = wcsncmp(rest, L"\\\\", 2) == 0 || wcsncmp(rest, L"UNC\\", 4) == 0;
    rest += wcsncmp(rest, L"\\\\", 2) == 0 ? 2 : wcsncmp(rest, L"UNC\\", 4) == 0 ? 4 : 0;
    WCHAR *name = rest[0] != 0 ? WideJoin(share ? L"\\??\\UNC\\" : L"\\??\\", rest) : NULL;
    size_t nameBytes = name != NULL ? wcslen(name) * sizeof(WCHAR) : 0;
    size_t size = sizeof(FILE_RENAME_INFO) + nameBytes;
    FILE_RENAME_INFO *rename = name != NULL ? (FILE_RENAME_INFO *)MemoryAlloc(size) : NULL;
    bool done = false;
    if (rename != NULL) {
        rename->ReplaceIfExists = TRUE;
        rename->FileNameLength = (DWORD)nameBytes;
        memcpy(rename->FileName, name, nameBytes);
        done = SetFileInformationByHandle(handle, FileRenameInfo, rename, (DWORD)size) != 0;
    } else {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    MemoryFree(rename);
    MemoryFree(name);
    MemoryFree(full);
    return done;
}

// Deletes the file open as handle (written by this program) when it is closed.
static void DeleteOnClose(HANDLE handle)
{
    FILE_BASIC_INFO basic = {};
    FILE_DISPOSITION_INFO disposition = {TRUE};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic);
    SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition);
}

// Under Wine opening a file again to rename it costs as much as copying a small one, hence the rename through
// the open handle.
bool FolderStillAt(const WCHAR *path, const HeldFolder *held)
{
    ULONGLONG index;
    if (held == NULL || held->index == 0)
        return true;
    WCHAR *folder = FolderOfPath(path);
    bool same = folder != NULL && FileIndexAt(folder, &index) && index == held->index;
    MemoryFree(folder);
    if (!same)
        SetLastError(TARGET_FOLDER_CHANGED);
    return same;
}

BOOL CopyFileChunked(const WCHAR *source, const WCHAR *target, const WCHAR *finalName, LPPROGRESS_ROUTINE progress,
                     LPVOID data, LPBOOL cancel, DWORD flags, const HeldFolder *folder)
{
    FILE_BASIC_INFO info;
    LARGE_INTEGER size;
    if (FlagSet(cancel)) {
        SetLastError(ERROR_REQUEST_ABORTED);
        return FALSE;
    }
    HANDLE from = OpenWatchedSource(source, &info, &size);
    if (from == INVALID_HANDLE_VALUE)
        return FALSE;
    HANDLE to = OpenTarget(target, flags, folder);
    if (to == INVALID_HANDLE_VALUE)
        return FailWith(from, GetLastError());
    bool ok = CopyContent(from, to, &info, &size, progress, data, cancel) &&
              (finalName == NULL || (FlushFileBuffers(to) && KeepWriteTime(to, &info) &&
                                     FolderStillAt(finalName, folder) && RenameOpenFile(to, finalName)));
    DWORD code = GetLastError();
    if (!ok)
        DeleteOnClose(to);
    if (!CloseHandle(to) && ok) {
        ok = false;
        code = GetLastError();
        if (finalName == NULL) {
            SetAttributesAt(target, FILE_ATTRIBUTE_NORMAL);
            DeletePath(target);
        }
    }
    CloseHandle(from);
    SetLastError(code);
    return ok ? TRUE : FALSE;
}
