// The fail-safe copy of a run: new files under their own name, replacements
// through a temporary file renamed into place.
#include "copyfile.h"
#include "chunkcopy.h"
#include "listing.h"
#include "names.h"
#include "base/paths.h"
#include <string.h>

const char TEMPORARY_COPY_NAME[] = "~krmx-4f1c9a.tmp";

// True when running under Wine, whose CopyFileExA lacks progress and cancel.
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
static DWORD PlatformCopyWatched(const char *source, const char *target, LPPROGRESS_ROUTINE progress, LPBOOL cancel,
                                 FILE_BASIC_INFO *info)
{
    LARGE_INTEGER size;
    HANDLE watched = OpenWatchedSource(source, info, &size);
    if (watched == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD code = Outcome(CopyFileExA(source, target, progress, NULL, cancel, COPY_FILE_FAIL_IF_EXISTS) &&
                         SourceHeldStill(watched, info, &size));
    CloseHandle(watched);
    return code;
}

// Copies source to a file target lacks, with the chosen copy; a copy of a
// source that changed meanwhile is removed.
static DWORD CopyNew(const char *source, const char *target, LPPROGRESS_ROUTINE progress, LPBOOL cancel)
{
    if (ReplacementCopy == OWN_COPY)
        return Outcome(CopyFileChunked(source, target, NULL, progress, NULL, cancel, COPY_FILE_FAIL_IF_EXISTS));
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
static DWORD FlushCopy(const char *temporary, const FILE_BASIC_INFO *info)
{
    DWORD attributes = GetFileAttributesA(temporary);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError();
    if ((attributes & FILE_ATTRIBUTE_READONLY) && !SetFileAttributesA(temporary, FILE_ATTRIBUTE_NORMAL))
        return GetLastError();
    HANDLE written = CreateFileA(temporary, GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
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
static DWORD ReplaceWithPlatformCopy(const char *source, const char *temporary, const char *target,
                                     LPPROGRESS_ROUTINE progress, LPBOOL cancel, ULONGLONG folderIndex)
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
        code = Outcome(FolderStillAt(target, folderIndex) &&
                       MoveFileExA(temporary, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    if (code != ERROR_SUCCESS)
        RemoveLeftover(temporary);
    return code;
}

// Copies source over target through the temporary file, with the chosen copy.
static DWORD Replace(const char *source, const char *temporary, const char *target, LPPROGRESS_ROUTINE progress,
                     LPBOOL cancel, ULONGLONG folderIndex)
{
    if (ReplacementCopy == OWN_COPY)
        return Outcome(
            CopyFileChunked(source, temporary, target, progress, NULL, cancel, COPY_FILE_FAIL_IF_EXISTS, folderIndex));
    return ReplaceWithPlatformCopy(source, temporary, target, progress, cancel, folderIndex);
}

// The temporary file beside target; false when its path does not fit.
static bool TemporaryBeside(const char *target, char *out, size_t size)
{
    const char *slash = strrchr(target, '\\');
    size_t folderLength = slash == NULL ? 0 : (size_t)(slash - target) + 1;
    if (folderLength + sizeof TEMPORARY_COPY_NAME > size || !NameBesideWithinLimit(target, TEMPORARY_COPY_NAME))
        return false;
    memcpy(out, target, folderLength);
    memcpy(out + folderLength, TEMPORARY_COPY_NAME, sizeof TEMPORARY_COPY_NAME);
    return true;
}

// True when another program holds target open so that it cannot be
// deleted: the platform's rename then says "access denied", where the
// platform's copy would have said "in use".
static bool HeldOpenByAnother(const char *target)
{
    HANDLE handle = CreateFileA(target, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

// A temporary file that a killed run left behind is removed and the copy tried again; a folder or link of its
// name stops the replacement.
DWORD CopyOverTarget(const char *source, const char *target, bool targetMissing, LPPROGRESS_ROUTINE progress,
                     LPBOOL cancel, ULONGLONG folderIndex)
{
    char temporary[PATH_TEXT_MAX];
    DWORD attributes = targetMissing ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(target);
    if (attributes == INVALID_FILE_ATTRIBUTES && (targetMissing || GetLastError() == ERROR_FILE_NOT_FOUND))
        return CopyNew(source, target, progress, cancel);
    DWORD before = 0;
    if (!TemporaryBeside(target, temporary, sizeof temporary))
        return ERROR_FILENAME_EXCED_RANGE;
    DWORD code = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)
                     ? ClearReadOnlyName(target, &before)
                     : ERROR_SUCCESS;
    if (code == LINK_KEPT)
        code = ERROR_ACCESS_DENIED;
    if (code == ERROR_SUCCESS)
        code = Replace(source, temporary, target, progress, cancel, folderIndex);
    if (code != ERROR_SUCCESS && code != ERROR_REQUEST_ABORTED) {
        DWORD leftover = RemoveLeftover(temporary);
        if (leftover == ERROR_SUCCESS)
            code = Replace(source, temporary, target, progress, cancel, folderIndex);
        else if (leftover == ERROR_FILE_EXISTS || leftover == LINK_KEPT)
            code = ERROR_FILE_EXISTS;
    }
    if (code != ERROR_SUCCESS)
        SetAttributesBack(target, before);
    if (code == ERROR_ACCESS_DENIED && HeldOpenByAnother(target))
        code = ERROR_SHARING_VIOLATION;
    return code;
}

bool IsLeftover(const char *name, DWORD attributes)
{
    return !IsFolderEntry(attributes) && !IsLinkEntry(attributes) && EqualNoCase(name, TEMPORARY_COPY_NAME);
}

DWORD RemoveLeftover(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    const char *slash = strrchr(path, '\\');
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ERROR_FILE_NOT_FOUND;
    if (!IsLeftover(slash != NULL ? slash + 1 : path, attributes))
        return ERROR_FILE_EXISTS;
    return RemoveFileName(path, NULL);
}

void RemoveLeftoverIn(const char *folder)
{
    char path[PATH_TEXT_MAX];
    if (JoinPath(path, sizeof path, folder, TEMPORARY_COPY_NAME))
        RemoveLeftover(path);
}
