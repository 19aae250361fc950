// Folder and file identity. Whether two paths name one object, or one lies
// inside the other, is decided by final paths, which are canonical on Windows
// and under Wine alike, and by volume serial and file index where the serial
// is not 0 (an alias the final path does not show: a bind mount, a loopback
// share); a serial of 0 tells nothing, since under Wine file systems meet
// there. Whether a folder is still the one learnt earlier takes the volume
// serial and file index as well: a disk mounted on the folder, or a folder
// made anew under its old name, keeps the final path but not those.
#include "identity.h"
#include "longpath.h"
#include "memory.h"
#include "widetext.h"
#include <string.h>
#include <wchar.h>

// Drops "\\?\" or "\??\" (and turns "...\UNC\" into "\\") and a trailing
// backslash (a drive root's); a block of its own, NULL when empty.
static WCHAR *NormaliseFinalPath(const WCHAR *raw)
{
    bool prefixed = wcsncmp(raw, L"\\\\?\\", 4) == 0 || wcsncmp(raw, L"\\??\\", 4) == 0;
    bool share = prefixed && wcsncmp(raw + 4, L"UNC\\", 4) == 0;
    WCHAR *out = WideJoin(share ? L"\\\\" : L"", raw + (share ? 8 : prefixed ? 4 : 0));
    size_t length = out != NULL ? wcslen(out) : 0;
    if (length > 0 && out[length - 1] == L'\\')
        out[--length] = 0;
    if (out != NULL && length == 0) {
        MemoryFree(out);
        return NULL;
    }
    return out;
}

// NtQueryInformationFile with FileInternalInformation (6): the index alone;
// NtQueryObject with ObjectNameInformation (1): the object's name.
typedef LONG(WINAPI *QueryInformationFile)(HANDLE, void *status, void *out, ULONG size, int kind);
typedef LONG(WINAPI *QueryObject)(HANDLE, int kind, void *out, ULONG size, ULONG *needed);
enum { FILE_INTERNAL_INFORMATION = 6, OBJECT_NAME_INFORMATION = 1 };

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

bool FileIndexAt(const WCHAR *path, ULONGLONG *index)
{
    HANDLE handle = OpenPath(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    bool known = FileIndexOf(handle, index);
    CloseHandle(handle);
    return known;
}

// The object's name as Wine gives it, "\??\C:\..." at any length, where its
// GetFinalPathNameByHandleW refuses a path of 260 characters or more (error
// 234); NULL on Windows, whose names start with "\Device\".
static WCHAR *WineObjectName(HANDLE handle)
{
    struct Name {
        USHORT length, maximumLength;
        WCHAR *buffer;
    };
    static QueryObject query = (QueryObject)(void *)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryObject");
    ULONG size = sizeof(Name) + (WIDE_PATH_MAX + 1) * sizeof(WCHAR), needed = 0;
    Name *name = query != NULL ? (Name *)MemoryAlloc(size) : NULL;
    WCHAR *out = NULL;
    if (name != NULL && query(handle, OBJECT_NAME_INFORMATION, name, size - sizeof(WCHAR), &needed) >= 0 &&
        name->length >= 4 * sizeof(WCHAR) && wcsncmp(name->buffer, L"\\??\\", 4) == 0) {
        name->buffer[name->length / sizeof(WCHAR)] = 0;
        out = NormaliseFinalPath(name->buffer);
    }
    MemoryFree(name);
    return out;
}

WCHAR *FinalPathOf(HANDLE handle)
{
    DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    WCHAR small[MAX_PATH];
    DWORD length = GetFinalPathNameByHandleW(handle, small, MAX_PATH, flags);
    if (length > 0 && length < MAX_PATH)
        return NormaliseFinalPath(small);
    if (length == 0 && GetLastError() != ERROR_NOT_ENOUGH_MEMORY)
        return WineObjectName(handle);
    WCHAR *raw = length <= WIDE_PATH_MAX ? (WCHAR *)MemoryAlloc((length + 1) * sizeof(WCHAR)) : NULL;
    WCHAR *out = NULL;
    DWORD got = raw != NULL ? GetFinalPathNameByHandleW(handle, raw, length + 1, flags) : 0;
    if (got > 0 && got <= length)
        out = NormaliseFinalPath(raw);
    MemoryFree(raw);
    return out;
}

void ForgetIdentity(Identity *identity)
{
    MemoryFree(identity->finalPath);
    memset(identity, 0, sizeof *identity);
}

bool Identify(const WCHAR *path, Identity *identity)
{
    BY_HANDLE_FILE_INFORMATION information;
    ForgetIdentity(identity);
    HANDLE handle = OpenPath(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    identity->finalPath = FinalPathOf(handle);
    identity->known = identity->finalPath != NULL;
    if (GetFileInformationByHandle(handle, &information)) {
        identity->volumeSerial = information.dwVolumeSerialNumber;
        identity->fileIndex = ((ULONGLONG)information.nFileIndexHigh << 32) | information.nFileIndexLow;
    }
    CloseHandle(handle);
    return identity->known;
}

bool IdentifyAnsi(const char *path, Identity *identity)
{
    WCHAR *wide = WideFromAnsi(path);
    bool known = wide != NULL && Identify(wide, identity);
    if (wide == NULL)
        ForgetIdentity(identity);
    MemoryFree(wide);
    return known;
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
           (EqualNoCaseW(first->finalPath, second->finalPath) || SameFile(first, second));
}

bool StillTheSame(const Identity *learnt, const Identity *now)
{
    return learnt->known && now->known && EqualNoCaseW(learnt->finalPath, now->finalPath) &&
           learnt->volumeSerial == now->volumeSerial && learnt->fileIndex == now->fileIndex;
}

// Length of the part of a final path above which there is nothing to ask:
// "C:" of a drive path, "\\\\server\\share" of a share's.
static size_t RootLength(const WCHAR *finalPath)
{
    if (wcsncmp(finalPath, L"\\\\", 2) != 0)
        return 2;
    const WCHAR *share = wcschr(finalPath + 2, L'\\');
    const WCHAR *end = share != NULL ? wcschr(share + 1, L'\\') : NULL;
    return end != NULL ? (size_t)(end - finalPath) : wcslen(finalPath);
}

// Each folder above inner is asked for its identity, so that an alias of
// one of them (same serial and index under another final path) is found.
bool LiesInside(const Identity *inner, const Identity *outer)
{
    if (!inner->known || !outer->known)
        return false;
    size_t length = wcslen(outer->finalPath);
    if (StartsWithNoCaseW(inner->finalPath, outer->finalPath) && inner->finalPath[length] == L'\\')
        return true;
    WCHAR *above = outer->volumeSerial != 0 ? WideCopy(inner->finalPath) : NULL;
    bool inside = false;
    Identity up = {};
    if (above == NULL)
        return false;
    size_t root = RootLength(above);
    for (WCHAR *slash = wcsrchr(above, L'\\'); !inside && slash != NULL && (size_t)(slash - above) >= root;
         slash = wcsrchr(above, L'\\')) {
        slash[1] = 0; // the folder above, with its backslash (a drive root needs it)
        inside = Identify(above, &up) && SameFile(&up, outer);
        *slash = 0;
    }
    ForgetIdentity(&up);
    MemoryFree(above);
    return inside;
}

bool Nested(const Identity *first, const Identity *second)
{
    return SameObject(first, second) || LiesInside(first, second) || LiesInside(second, first);
}
