// Folder and file identity. Whether two paths name one object, or one lies
// inside the other, is decided by final paths, which are canonical on Windows
// and under Wine alike, and by volume serial and file index where the serial
// is not 0 (an alias the final path does not show: a bind mount, a loopback
// share); a serial of 0 tells nothing, since under Wine file systems meet
// there. Whether a folder is still the one learnt earlier takes the volume
// serial and file index as well: a disk mounted on the folder, or a folder
// made anew under its old name, keeps the final path but not those.
#include "identity.h"
#include <string.h>

// Drops "\\?\" (and turns "\\?\UNC\" into "\\") and a trailing backslash (a drive root's).
static bool NormaliseFinalPath(const char *raw, char *out, size_t size)
{
    bool share = strncmp(raw, "\\\\?\\UNC\\", 8) == 0;
    const char *rest = share ? raw + 8 : strncmp(raw, "\\\\?\\", 4) == 0 ? raw + 4 : raw;
    return JoinPath(out, size, share ? "\\\\" : "", rest) && WithoutTrailingBackslash(out, out, size) && out[0] != 0;
}

// NtQueryInformationFile with FileInternalInformation (6): the index alone.
typedef LONG(WINAPI *QueryInformationFile)(HANDLE, void *status, void *out, ULONG size, int kind);
enum { FILE_INTERNAL_INFORMATION = 6 };

bool FileIndexOf(HANDLE handle, ULONGLONG *index)
{
    static QueryInformationFile query =
        (QueryInformationFile)(void *)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationFile");
    ULONG_PTR status[2];
    LARGE_INTEGER number;
    if (query == NULL || query(handle, status, &number, sizeof number, FILE_INTERNAL_INFORMATION) < 0)
        return false;
    *index = (ULONGLONG)number.QuadPart;
    return true;
}

bool FileIndexAt(const char *path, ULONGLONG *index)
{
    HANDLE handle = CreateFileA(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    bool known = FileIndexOf(handle, index);
    CloseHandle(handle);
    return known;
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

// True when both are known and have one volume serial, not 0, and one file
// index: one object reached under two paths whose final paths do not show it
// (a bind mount, a loopback share). A serial of 0 tells nothing: under Wine
// two file systems can both report it.
static bool SameFile(const Identity *first, const Identity *second)
{
    return first->known && second->known && first->volumeSerial != 0 && first->volumeSerial == second->volumeSerial &&
           first->fileIndex == second->fileIndex;
}

bool SameObject(const Identity *first, const Identity *second)
{
    return first->known && second->known &&
           (EqualNoCase(first->finalPath, second->finalPath) || SameFile(first, second));
}

bool StillTheSame(const Identity *learnt, const Identity *now)
{
    return learnt->known && now->known && EqualNoCase(learnt->finalPath, now->finalPath) &&
           learnt->volumeSerial == now->volumeSerial && learnt->fileIndex == now->fileIndex;
}

// Length of the part of a final path above which there is nothing to ask:
// "C:" of a drive path, "\\\\server\\share" of a share's.
static size_t RootLength(const char *finalPath)
{
    if (strncmp(finalPath, "\\\\", 2) != 0)
        return 2;
    const char *share = strchr(finalPath + 2, '\\');
    const char *end = share != NULL ? strchr(share + 1, '\\') : NULL;
    return end != NULL ? (size_t)(end - finalPath) : strlen(finalPath);
}

// Each folder above inner is asked for its identity, so that an alias of
// one of them (same serial and index under another final path) is found.
bool LiesInside(const Identity *inner, const Identity *outer)
{
    char above[PATH_TEXT_MAX];
    Identity up;
    if (!inner->known || !outer->known)
        return false;
    size_t length = strlen(outer->finalPath);
    if (StartsWithNoCase(inner->finalPath, outer->finalPath) && inner->finalPath[length] == '\\')
        return true;
    if (outer->volumeSerial == 0 || !CopyText(above, sizeof above, inner->finalPath))
        return false;
    size_t root = RootLength(above);
    for (char *slash = strrchr(above, '\\'); slash != NULL && (size_t)(slash - above) >= root;
         slash = strrchr(above, '\\')) {
        slash[1] = 0; // the folder above, with its backslash (a drive root needs it)
        if (Identify(above, &up) && SameFile(&up, outer))
            return true;
        *slash = 0;
    }
    return false;
}

bool Nested(const Identity *first, const Identity *second)
{
    return SameObject(first, second) || LiesInside(first, second) || LiesInside(second, first);
}
