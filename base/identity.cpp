// Folder and file identity. Whether two paths name one object, or one lies
// inside the other, is decided by final paths: they are canonical on Windows
// and under Wine alike, where volume serials and file indexes of two file
// systems can meet. Whether a folder is still the one learnt earlier takes
// the volume serial and file index as well: a disk mounted on the folder, or
// a folder made anew under its old name, keeps the final path but not those.
#include "identity.h"
#include <string.h>

// Drops "\\?\" (and turns "\\?\UNC\" into "\\") and a trailing backslash (a drive root's).
static bool NormaliseFinalPath(const char *raw, char *out, size_t size)
{
    bool share = strncmp(raw, "\\\\?\\UNC\\", 8) == 0;
    const char *rest = share ? raw + 8 : strncmp(raw, "\\\\?\\", 4) == 0 ? raw + 4 : raw;
    return JoinPath(out, size, share ? "\\\\" : "", rest) && WithoutTrailingBackslash(out, out, size) && out[0] != 0;
}

bool FinalPathOf(HANDLE handle, char *out, size_t size)
{
    char raw[PATH_TEXT_MAX];
    DWORD length = GetFinalPathNameByHandleA(handle, raw, sizeof raw, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= sizeof raw) {
        out[0] = 0;
        return false;
    }
    return NormaliseFinalPath(raw, out, size);
}

bool Identify(const char *path, Identity *identity)
{
    BY_HANDLE_FILE_INFORMATION information;
    identity->known = false;
    identity->finalPath[0] = 0;
    identity->volumeSerial = 0;
    identity->fileIndex = 0;
    HANDLE handle = CreateFileA(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    identity->known = FinalPathOf(handle, identity->finalPath, sizeof identity->finalPath);
    if (GetFileInformationByHandle(handle, &information)) {
        identity->volumeSerial = information.dwVolumeSerialNumber;
        identity->fileIndex = ((ULONGLONG)information.nFileIndexHigh << 32) | information.nFileIndexLow;
    }
    CloseHandle(handle);
    return identity->known;
}

bool SameObject(const Identity *first, const Identity *second)
{
    return first->known && second->known && EqualNoCase(first->finalPath, second->finalPath);
}

bool StillTheSame(const Identity *learnt, const Identity *now)
{
    return SameObject(learnt, now) && learnt->volumeSerial == now->volumeSerial && learnt->fileIndex == now->fileIndex;
}

bool LiesInside(const Identity *inner, const Identity *outer)
{
    if (!inner->known || !outer->known)
        return false;
    size_t length = strlen(outer->finalPath);
    return StartsWithNoCase(inner->finalPath, outer->finalPath) && inner->finalPath[length] == '\\';
}

bool Nested(const Identity *first, const Identity *second)
{
    return SameObject(first, second) || LiesInside(first, second) || LiesInside(second, first);
}
