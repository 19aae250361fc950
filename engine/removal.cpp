// Removing one name without touching what a link points to. Under Wine a
// link to a file is not marked as one, and deleting a link by its name
// deletes what it points to; so every removal opens the name, compares the
// handle's final path with the one the name itself would have, and deletes
// through that handle only when they agree. On Windows the handle is opened
// on the link itself, so a link is removed as a link.
#include "removal.h"
#include "base/identity.h"
#include "base/longpath.h"
#include "base/memory.h"
#include "base/widetext.h"
#include <string.h>
#include <wchar.h>

// The final path path would have if it were no link: its folder's final
// path and its name, in a block of its own; NULL when unknown.
static WCHAR *ExpectedFinalPath(const WCHAR *path)
{
    WCHAR *folder = FolderOfPath(path);
    Identity identity = {};
    WCHAR *expected = NULL;
    if (folder != NULL && Identify(folder, &identity))
        expected = WideJoin(identity.finalPath, L"\\", LastPartW(path));
    ForgetIdentity(&identity);
    MemoryFree(folder);
    return expected;
}

// Attributes that can be set on a file or folder.
static const DWORD SETTABLE_ATTRIBUTES = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                         FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                         FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Gives the object open as handle the attributes (0 stays 0 only as "normal").
static bool SetAttributesThrough(HANDLE handle, DWORD attributes)
{
    FILE_BASIC_INFO basic = {}; // times of 0 stay as they are
    basic.FileAttributes =
        (attributes & SETTABLE_ATTRIBUTES) != 0 ? attributes & SETTABLE_ATTRIBUTES : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic) != 0;
}

// Clears the read-only attribute through handle; *before receives the
// attributes to set back (0: nothing was changed). A file with more than one
// name keeps it, since the attribute belongs to every name: ERROR_ACCESS_DENIED.
// The basic and standard information are asked apart: the platform's whole
// file information holds the volume serial, which costs Wine a millisecond.
static DWORD ClearReadOnly(HANDLE handle, DWORD *before)
{
    FILE_BASIC_INFO basic;
    FILE_STANDARD_INFO standard;
    *before = 0;
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic))
        return GetLastError();
    if ((basic.FileAttributes & FILE_ATTRIBUTE_READONLY) == 0)
        return ERROR_SUCCESS;
    if (!GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard))
        return GetLastError();
    if (standard.NumberOfLinks > 1)
        return ERROR_ACCESS_DENIED;
    if (!SetAttributesThrough(handle, basic.FileAttributes & ~FILE_ATTRIBUTE_READONLY))
        return GetLastError();
    *before = basic.FileAttributes;
    return ERROR_SUCCESS;
}

// Opens path itself (never what a link points to), with the extra access asked for.
static HANDLE OpenName(const WCHAR *path, DWORD extraAccess)
{
    return OpenPath(path, FILE_READ_ATTRIBUTES | extraAccess, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT);
}

// Opens the name at path for access and for changing its attributes, and
// checks that the handle's final path is expectedFinal (NULL: the one the
// name has without a link); 0, LINK_KEPT or the platform's error. Some
// servers refuse a read-only file to a handle that may change attributes,
// yet let one without that right clear them: hence the second open.
static DWORD OpenCheckedName(const WCHAR *path, const WCHAR *expectedFinal, DWORD access, HANDLE *handle)
{
    WCHAR *expected = expectedFinal == NULL ? ExpectedFinalPath(path) : NULL;
    if (expectedFinal == NULL && expected == NULL)
        return LINK_KEPT;
    *handle = OpenName(path, access | FILE_WRITE_ATTRIBUTES);
    if (*handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED)
        *handle = OpenName(path, access);
    DWORD code = *handle == INVALID_HANDLE_VALUE ? GetLastError() : (DWORD)LINK_KEPT;
    WCHAR *actual = *handle != INVALID_HANDLE_VALUE ? FinalPathOf(*handle) : NULL;
    if (actual != NULL && EqualNoCaseW(actual, expectedFinal != NULL ? expectedFinal : expected))
        code = ERROR_SUCCESS;
    else if (*handle != INVALID_HANDLE_VALUE)
        CloseHandle(*handle);
    if (code != ERROR_SUCCESS)
        *handle = INVALID_HANDLE_VALUE;
    MemoryFree(actual);
    MemoryFree(expected);
    return code;
}

// Marks the object open as handle for deletion. The platform refuses that
// for a read-only one (ERROR_ACCESS_DENIED): its attribute is then cleared
// and the deletion asked again, and set back when it is still refused.
static DWORD MarkForDeletion(HANDLE handle)
{
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition))
        return ERROR_SUCCESS;
    DWORD code = GetLastError(), before = 0;
    if (code != ERROR_ACCESS_DENIED)
        return code;
    code = ClearReadOnly(handle, &before);
    if (code != ERROR_SUCCESS || before == 0)
        return code != ERROR_SUCCESS ? code : ERROR_ACCESS_DENIED; // refused for another reason
    if (SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition))
        return ERROR_SUCCESS;
    code = GetLastError();
    SetAttributesThrough(handle, before);
    return code;
}

DWORD RemoveFileName(const WCHAR *path, const WCHAR *expectedFinal)
{
    HANDLE handle;
    DWORD code = OpenCheckedName(path, expectedFinal, DELETE, &handle);
    if (code != ERROR_SUCCESS)
        return code;
    code = MarkForDeletion(handle);
    CloseHandle(handle);
    // Another program's handle keeps the name until it is closed. (The file's
    // index is not asked to tell it from a new file of that name: under Wine
    // that costs as much as the removal itself, and either way the name stays.)
    if (code == ERROR_SUCCESS && AttributesOf(path) != INVALID_FILE_ATTRIBUTES)
        code = DELETE_PENDING;
    return code;
}

DWORD ClearReadOnlyName(const WCHAR *path, DWORD *before)
{
    HANDLE handle;
    DWORD code = OpenCheckedName(path, NULL, 0, &handle);
    if (code != ERROR_SUCCESS)
        return code;
    code = ClearReadOnly(handle, before);
    CloseHandle(handle);
    return code;
}

void SetAttributesBack(const WCHAR *path, DWORD before)
{
    HANDLE handle;
    if (before != 0 && OpenCheckedName(path, NULL, 0, &handle) == ERROR_SUCCESS) {
        SetAttributesThrough(handle, before);
        CloseHandle(handle);
    }
}
