// When two last-write times count as equal.
#include "filetimes.h"
#include <string.h>

static const ULONGLONG TICKS_PER_SECOND = 10000000;
static const ULONGLONG FAT_TOLERANCE = 2 * TICKS_PER_SECOND;
static const ULONGLONG ROUNDING_STEP = TICKS_PER_SECOND / 100; // exFAT's 10 ms

enum { FILE_SYSTEM_NAME_MAX = MAX_PATH + 1 };

DWORD FileSystemOf(const char *folder, char *name, size_t size)
{
    WCHAR wide[FILE_SYSTEM_NAME_MAX];
    HANDLE handle = CreateFileA(folder, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return GetLastError();
    BOOL asked = GetVolumeInformationByHandleW(handle, NULL, 0, NULL, NULL, NULL, wide, FILE_SYSTEM_NAME_MAX);
    DWORD code = asked ? ERROR_SUCCESS : GetLastError();
    CloseHandle(handle);
    if (code == ERROR_SUCCESS && WideCharToMultiByte(CP_ACP, 0, wide, -1, name, (int)size, NULL, NULL) == 0)
        code = GetLastError();
    return code;
}

TimeRule TimeRuleOfFileSystem(const char *name)
{
    bool coarse = _stricmp(name, "FAT") == 0 || _stricmp(name, "FAT32") == 0 || _stricmp(name, "exFAT") == 0;
    return coarse ? COARSE_TIMES : EXACT_TIMES;
}

// True when the creation, last-write and change times of folder are all
// whole multiples of 10 ms, as a coarse file system keeps them; on a fine one
// that happens by chance to one folder in 10^15.
static bool FolderTimesRounded(const char *folder)
{
    FILE_BASIC_INFO basic;
    HANDLE handle = CreateFileA(folder, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    bool known = GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) != 0;
    CloseHandle(handle);
    return known && basic.CreationTime.QuadPart % ROUNDING_STEP == 0 &&
           basic.LastWriteTime.QuadPart % ROUNDING_STEP == 0 && basic.ChangeTime.QuadPart % ROUNDING_STEP == 0;
}

TimeRule TimeRuleOf(const char *folder)
{
    char name[FILE_SYSTEM_NAME_MAX];
    if (FileSystemOf(folder, name, sizeof name) == ERROR_SUCCESS && TimeRuleOfFileSystem(name) == COARSE_TIMES)
        return COARSE_TIMES;
    return FolderTimesRounded(folder) ? COARSE_TIMES : EXACT_TIMES;
}

// A file time as one number of ticks.
static ULONGLONG Ticks(const FILETIME *time)
{
    return ((ULONGLONG)time->dwHighDateTime << 32) | time->dwLowDateTime;
}

bool SameWriteTime(const FILETIME *target, const FILETIME *source, TimeRule rule)
{
    if (rule == EXACT_TIMES)
        return CompareFileTime(target, source) == 0;
    ULONGLONG first = Ticks(target), second = Ticks(source);
    ULONGLONG apart = first > second ? first - second : second - first;
    return apart < FAT_TOLERANCE;
}
