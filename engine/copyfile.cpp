// The fail-safe copy of a run: new files under their own name, replacements
// through a temporary file renamed into place.
#include "copyfile.h"
#include "chunkcopy.h"
#include "listing.h"
#include "base/longpath.h"
#include "base/memory.h"
#include "base/widetext.h"
#include <string.h>
#include <wchar.h>

const WCHAR TEMPORARY_COPY_NAME[] = L"~krmx-4f1c9a.tmp";

// True when running under Wine, whose CopyFileExW lacks progress and cancel.
static CopyMethod MethodOfThisPlatform()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != NULL ? OWN_COPY : PLATFORM_COPY;
}

CopyMethod ReplacementCopy = MethodOfThisPlatform();

// The last error, or 0 when the call succeeded.
static DWORD Outcome(BOOL succeeded)
{
    return succeeded ? ERROR_SUCCESS : GetLastError();
}

// The platform's copy of source to a new file target, then whether the
// source held still meanwhile (SOURCE_CHANGED when not), told by a handle
// on it that shares everything and is held for the whole copy.
static DWORD PlatformCopyWatched(const WCHAR *source, const WCHAR *target, LPPROGRESS_ROUTINE progress, LPBOOL cancel,
                                 FILE_BASIC_INFO *info)
{
    LARGE_INTEGER size;
    HANDLE watched = OpenWatchedSource(source, info, &size);
    if (watched == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD code = Outcome(CopyPath(source, target, progress, NULL, cancel, COPY_FILE_FAIL_IF_EXISTS) &&
                         SourceHeldStill(watched, info, &size));
    CloseHandle(watched);
    return code;
}

// Copies source to a file target lacks, with the chosen copy; a copy of a
// source that changed meanwhile is removed.
static DWORD CopyNew(const WCHAR *source, const WCHAR *target, LPPROGRESS_ROUTINE progress, LPBOOL cancel,
                     const HeldFolder *folder)
{
    if (ReplacementCopy == OWN_COPY)
        return Outcome(CopyFileChunked(source, target, NULL, progress, NULL, cancel, COPY_FILE_FAIL_IF_EXISTS, folder));
    FILE_BASIC_INFO info;
    DWORD code = PlatformCopyWatched(source, target, progress, cancel, &info);
    if (code == SOURCE_CHANGED)
        RemoveFileName(target, NULL);
    return code;
}

// Flushes the copy at temporary and leaves it with the attributes the copy
// gave it and the source's last-write time (info). A read-only copy cannot
// be opened for writing, so the attribute is cleared first and set again
// through the open handle.
static DWORD FlushCopy(const WCHAR *temporary, const FILE_BASIC_INFO *info)
{
    DWORD attributes = AttributesOf(temporary);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError();
    if ((attributes & FILE_ATTRIBUTE_READONLY) && !SetAttributesAt(temporary, FILE_ATTRIBUTE_NORMAL))
        return GetLastError();
    HANDLE written = OpenPath(temporary, GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, OPEN_EXISTING, 0);
    if (written == INVALID_HANDLE_VALUE)
        return GetLastError();
    FILE_BASIC_INFO basic = {}; // times of 0 stay as they are
    basic.FileAttributes = attributes;
    DWORD code = Outcome(FlushFileBuffers(written) && KeepWriteTime(written, info) &&
                         ((attributes & FILE_ATTRIBUTE_READONLY) == 0 ||
                          SetFileInformationByHandle(written, FileBasicInfo, &basic, sizeof basic)));
    CloseHandle(written);
    return code;
}

// Copies source to temporary with the platform's routine, flushes it and
// moves it over target; a cancel is honoured before the copy begins, since
// not every platform's copy honours its flag, and what a failed copy wrote
// is removed, since not every platform's copy removes it itself.
static DWORD ReplaceWithPlatformCopy(const WCHAR *source, const WCHAR *temporary, const WCHAR *target,
                                     LPPROGRESS_ROUTINE progress, LPBOOL cancel, const HeldFolder *folder)
{
    if (__atomic_load_n(cancel, __ATOMIC_SEQ_CST) != 0)
        return ERROR_REQUEST_ABORTED;
    FILE_BASIC_INFO info;
    DWORD code = PlatformCopyWatched(source, temporary, progress, cancel, &info);
    if (code == ERROR_FILE_EXISTS)
        return code; // a leftover of a killed run, which the caller removes
    if (code == ERROR_SUCCESS)
        code = FlushCopy(temporary, &info);
    if (code == ERROR_SUCCESS)
        code = Outcome(FolderStillAt(target, folder) &&
                       MovePath(temporary, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    if (code != ERROR_SUCCESS)
        RemoveLeftover(temporary);
    return code;
}

// Copies source over target through the temporary file, with the chosen copy.
static DWORD Replace(const WCHAR *source, const WCHAR *temporary, const WCHAR *target, LPPROGRESS_ROUTINE progress,
                     LPBOOL cancel, const HeldFolder *folder)
{
    if (ReplacementCopy == OWN_COPY)
        return Outcome(
            CopyFileChunked(source, temporary, target, progress, NULL, cancel, COPY_FILE_FAIL_IF_EXISTS, folder));
    return ReplaceWithPlatformCopy(source, temporary, target, progress, cancel, folder);
}

// The temporary file beside target, in a block of its own; NULL when its
// path would be too long or memory is short.
static WCHAR *TemporaryBeside(const WCHAR *target)
{
    WCHAR *folder = FolderOfPath(target);
    if (folder == NULL)
        return NULL;
    WCHAR *temporary = WideJoin(folder, TEMPORARY_COPY_NAME);
    MemoryFree(folder);
    return temporary;
}

// True when another program holds target open so that it cannot be
// deleted: the platform's rename then says "access denied", where the
// platform's copy would have said "in use".
static bool HeldOpenByAnother(const WCHAR *target)
{
    HANDLE handle = OpenPath(target, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

// A temporary file that a killed run left behind is removed and the copy tried again; a folder or link of its
// name stops the replacement.
DWORD CopyOverTarget(const WCHAR *source, const WCHAR *target, bool targetMissing, LPPROGRESS_ROUTINE progress,
                     LPBOOL cancel, const HeldFolder *folder)
{
    DWORD attributes = targetMissing ? INVALID_FILE_ATTRIBUTES : AttributesOf(target);
    if (attributes == INVALID_FILE_ATTRIBUTES && (targetMissing || GetLastError() == ERROR_FILE_NOT_FOUND))
        return CopyNew(source, target, progress, cancel, folder);
    DWORD before = 0;
    WCHAR *temporary = TemporaryBeside(target);
    if (temporary == NULL)
        return ERROR_FILENAME_EXCED_RANGE;
    DWORD code = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)
                     ? ClearReadOnlyName(target, &before)
                     : ERROR_SUCCESS;
    if (code == LINK_KEPT)
        code = ERROR_ACCESS_DENIED;
    if (code == ERROR_SUCCESS)
        code = Replace(source, temporary, target, progress, cancel, folder);
    if (code != ERROR_SUCCESS && code != ERROR_REQUEST_ABORTED) {
        DWORD leftover = RemoveLeftover(temporary);
        if (leftover == ERROR_SUCCESS)
            code = Replace(source, temporary, target, progress, cancel, folder);
        else if (leftover == ERROR_FILE_EXISTS || leftover == LINK_KEPT)
            code = ERROR_FILE_EXISTS;
    }
    if (code != ERROR_SUCCESS)
        SetAttributesBack(target, before);
    if (code == ERROR_ACCESS_DENIED && HeldOpenByAnother(target))
        code = ERROR_SHARING_VIOLATION;
    MemoryFree(temporary);
    return code;
}

bool IsLeftover(const WCHAR *name, DWORD attributes)
{
    return !IsFolderEntry(attributes) && !IsLinkEntry(attributes) && EqualNoCaseW(name, TEMPORARY_COPY_NAME);
}

DWORD RemoveLeftover(const WCHAR *path)
{
    DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ERROR_FILE_NOT_FOUND;
    if (!IsLeftover(LastPartW(path), attributes))
        return ERROR_FILE_EXISTS;
    DWORD code = RemoveFileName(path, NULL);
    return code == DELETE_PENDING ? ERROR_SUCCESS : code; // it goes when its last handle closes
}

void RemoveLeftoverIn(const WCHAR *folder)
{
    WCHAR *path = WideJoin(folder, TEMPORARY_COPY_NAME);
    if (path != NULL)
        RemoveLeftover(path);
    MemoryFree(path);
}
