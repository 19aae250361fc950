// Removing one name without touching what a link points to. Under Wine a
// link to a file is not marked as one, and deleting a link by its name
// deletes what it points to; so every removal opens the name, compares the
// handle's final path with the one the name itself would have, and deletes
// through that handle only when they agree. On Windows the handle is opened
// on the link itself, so a link is removed as a link.
#include "removal.h"
#include "base/identity.h"
#include "base/paths.h"
#include <string.h>

// The final path path would have if it were no link: its folder's final path and its name.
static bool ExpectedFinalPath(const char *path, char *out, size_t size)
{
    char folder[PATH_TEXT_MAX];
    const char *slash = strrchr(path, '\\');
    Identity identity;
    if (slash == NULL || !CopyText(folder, sizeof folder, path))
        return false;
    folder[slash - path + 1] = 0;
    return Identify(folder, &identity) && JoinPath(out, size, identity.finalPath, slash);
}

// Clears the read-only attribute through handle.
static void ClearReadOnly(HANDLE handle)
{
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic);
}

// Opens path itself (never what a link points to) for deletion, with the extra access asked for.
static HANDLE OpenForRemoval(const char *path, DWORD extraAccess)
{
    return CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES | extraAccess,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
}

// Some servers refuse a read-only file to a handle that may change its
// attributes, yet let one without that right clear them: hence the second open.
DWORD RemoveFileName(const char *path, const char *expectedFinal, bool clearReadOnly)
{
    char expected[PATH_TEXT_MAX], actual[PATH_TEXT_MAX];
    if (expectedFinal == NULL) {
        if (!ExpectedFinalPath(path, expected, sizeof expected))
            return LINK_KEPT;
        expectedFinal = expected;
    }
    HANDLE handle = OpenForRemoval(path, FILE_WRITE_ATTRIBUTES);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED)
        handle = OpenForRemoval(path, 0);
    if (handle == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD code = ERROR_SUCCESS;
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (!FinalPathOf(handle, actual, sizeof actual) || !EqualNoCase(actual, expectedFinal)) {
        code = LINK_KEPT;
    } else {
        if (clearReadOnly)
            ClearReadOnly(handle);
        if (!SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition))
            code = GetLastError();
    }
    CloseHandle(handle);
    return code;
}
