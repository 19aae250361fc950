// File functions for paths of any length.
#include "longpath.h"
#include "memory.h"
#include "widetext.h"
#include <winternl.h>
#include <string.h>
#include <wchar.h>

// The "\\?\" form of an absolute path: its full path (no "." or "..", no
// forward slashes) after the prefix, "\\?\UNC\" in place of a share's "\\".
static WCHAR *LongForm(const WCHAR *path)
{
    DWORD length = GetFullPathNameW(path, 0, NULL, NULL);
    if (length == 0 || length > WIDE_PATH_MAX)
        return NULL;
    WCHAR *full = (WCHAR *)MemoryAlloc(length * sizeof(WCHAR));
    if (full == NULL)
        return NULL;
    WCHAR *made = NULL;
    DWORD got = GetFullPathNameW(path, length, full, NULL);
    if (got > 0 && got < length) {
        bool share = full[0] == L'\\' && full[1] == L'\\';
        made = share ? WideJoin(L"\\\\?\\UNC\\", full + 2) : WideJoin(L"\\\\?\\", full);
    }
    MemoryFree(full);
    return made;
}

const WCHAR *PlatformPath(const WCHAR *path, WCHAR **made)
{
    *made = NULL;
    if (wcslen(path) < CLASSIC_PATH_LIMIT || wcsncmp(path, L"\\\\?\\", 4) == 0)
        return path;
    *made = LongForm(path);
    if (*made == NULL)
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return *made;
}

// Frees what PlatformPath made, keeping the call's last error.
static void Done(WCHAR *made)
{
    DWORD code = GetLastError();
    MemoryFree(made);
    SetLastError(code);
}

HANDLE OpenPath(const WCHAR *path, DWORD access, DWORD share, DWORD disposition, DWORD flags)
{
    WCHAR *made;
    const WCHAR *form = PlatformPath(path, &made);
    HANDLE handle =
        form != NULL ? CreateFileW(form, access, share, NULL, disposition, flags, NULL) : INVALID_HANDLE_VALUE;
    Done(made);
    return handle;
}

BOOL AttributesAt(const WCHAR *path, WIN32_FILE_ATTRIBUTE_DATA *data)
{
    WCHAR *made;
    const WCHAR *form = PlatformPath(path, &made);
    BOOL done = form != NULL && GetFileAttributesExW(form, GetFileExInfoStandard, data);
    Done(made);
    return done;
}

DWORD AttributesOf(const WCHAR *path)
{
    WCHAR *made;
    const WCHAR *form = PlatformPath(path, &made);
    DWORD attributes = form != NULL ? GetFileAttributesW(form) : INVALID_FILE_ATTRIBUTES;
    Done(made);
    return attributes;
}

BOOL SetAttributesAt(const WCHAR *path, DWORD attributes)
{
    WCHAR *made;
    const WCHAR *form = PlatformPath(path, &made);
    BOOL done = form != NULL && SetFileAttributesW(form, attributes);
    Done(made);
    return done;
}

BOOL MakeFolder(const WCHAR *path)
{
    WCHAR *made;
    const WCHAR *form = PlatformPath(path, &made);
    BOOL done = form != NULL && CreateDirectoryW(form, NULL);
    Done(made);
    return done;
}

BOOL DeletePath(const WCHAR *path)
{
    WCHAR *made;
    const WCHAR *form = PlatformPath(path, &made);
    BOOL done = form != NULL && DeleteFileW(form);
    Done(made);
    return done;
}

BOOL MovePath(const WCHAR *from, const WCHAR *to, DWORD flags)
{
    WCHAR *madeFrom, *madeTo;
    const WCHAR *fromForm = PlatformPath(from, &madeFrom);
    const WCHAR *toForm = fromForm != NULL ? PlatformPath(to, &madeTo) : (madeTo = NULL);
    BOOL done = fromForm != NULL && toForm != NULL && MoveFileExW(fromForm, toForm, flags);
    Done(madeFrom);
    Done(madeTo);
    return done;
}

BOOL CopyPath(const WCHAR *from, const WCHAR *to, LPPROGRESS_ROUTINE progress, LPVOID data, LPBOOL cancel, DWORD flags)
{
    WCHAR *madeFrom, *madeTo;
    const WCHAR *fromForm = PlatformPath(from, &madeFrom);
    const WCHAR *toForm = fromForm != NULL ? PlatformPath(to, &madeTo) : (madeTo = NULL);
    BOOL done = fromForm != NULL && toForm != NULL && CopyFileExW(fromForm, toForm, progress, data, cancel, flags);
    Done(madeFrom);
    Done(madeTo);
    return done;
}

HANDLE FindFirstAt(const WCHAR *pattern, WIN32_FIND_DATAW *found)
{
    WCHAR *made;
    const WCHAR *form = PlatformPath(pattern, &made);
    HANDLE listing = form != NULL ? FindFirstFileW(form, found) : INVALID_HANDLE_VALUE;
    Done(made);
    return listing;
}

DWORD ShortPathAt(const WCHAR *path, WCHAR *out, DWORD size)
{
    WCHAR *made;
    const WCHAR *form = PlatformPath(path, &made);
    DWORD length = form != NULL ? GetShortPathNameW(form, out, size) : 0;
    Done(made);
    return length;
}

// NtCreateFile relative to a folder handle, and the platform's error code of its status.
typedef LONG(WINAPI *CreateFileNt)(HANDLE *, ACCESS_MASK, OBJECT_ATTRIBUTES *, IO_STATUS_BLOCK *, LARGE_INTEGER *,
                                   ULONG, ULONG, ULONG, ULONG, void *, ULONG);
typedef ULONG(WINAPI *StatusToError)(LONG);
enum {
    NT_FILE_CREATE = 2,
    NT_DIRECTORY = 0x1,
    NT_SYNCHRONOUS = 0x20,
    NT_NOT_DIRECTORY = 0x40,
    NT_OPEN_REPARSE = 0x200000
};

HANDLE CreateBelow(HANDLE folder, const WCHAR *name, DWORD access, bool asFolder)
{
    static HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    static CreateFileNt create = (CreateFileNt)(void *)GetProcAddress(ntdll, "NtCreateFile");
    static StatusToError toError = (StatusToError)(void *)GetProcAddress(ntdll, "RtlNtStatusToDosError");
    size_t bytes = wcslen(name) * sizeof(WCHAR);
    if (create == NULL || toError == NULL || bytes > 0xFFFE) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return INVALID_HANDLE_VALUE;
    }
    UNICODE_STRING text = {(USHORT)bytes, (USHORT)bytes, (WCHAR *)name};
    OBJECT_ATTRIBUTES attributes = {sizeof attributes, folder, &text, OBJ_CASE_INSENSITIVE, NULL, NULL};
    IO_STATUS_BLOCK status = {};
    HANDLE handle = INVALID_HANDLE_VALUE;
    ULONG options = NT_SYNCHRONOUS | NT_OPEN_REPARSE | (asFolder ? NT_DIRECTORY : NT_NOT_DIRECTORY);
    LONG result = create(&handle, access | SYNCHRONIZE, &attributes, &status, NULL, FILE_ATTRIBUTE_NORMAL, 0,
                         NT_FILE_CREATE, options, NULL, 0);
    if (result >= 0)
        return handle;
    SetLastError(toError(result));
    return INVALID_HANDLE_VALUE;
}
