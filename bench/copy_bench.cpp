// Per-file costs of the run's copies and checks, in milliseconds: the
// platform's CopyFileExW and the program's own copy (by path, and through a
// handle held on the target folder), each into a fresh folder, alternating
// rounds so that all meet the same disk state; then one by one the checks a
// run makes around them, and the removals by name and through a checked handle.
// Usage: copy_bench <folder\> [files] [KiB per file], by default 2000 x 4 KiB.
#include "base/identity.h"
#include "base/longpath.h"
#include "base/memory.h"
#include "base/widetext.h"
#include "engine/chunkcopy.h"
#include "engine/listing.h"
#include "engine/removal.h"
#include <stdio.h>
#include <stdlib.h>
#include <algorithm>
#include <string>

using std::min;

typedef std::wstring Text;

enum CopyWay { PLATFORM_WAY, OWN_BY_PATH, OWN_THROUGH_HANDLE, COPY_WAYS };
static const char *const COPY_WAY_NAMES[COPY_WAYS] = {"CopyFileExW", "own copy by path", "own copy through handle"};

static DWORD CALLBACK Quiet(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE,
                            LPVOID)
{
    return PROGRESS_CONTINUE;
}

// Milliseconds since start.
static double Since(const LARGE_INTEGER &start)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return (now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
}

// The path of file number i in folder.
static Text FileIn(const Text &folder, int i)
{
    return folder + L"\\f" + std::to_wstring(i) + L".txt";
}

// Copies every source file into a fresh folder target one way; returns ms.
static double CopyAll(const Text &source, const Text &target, int files, CopyWay way)
{
    CreateDirectoryW(target.c_str(), NULL);
    HANDLE folder = CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    HeldFolder held = {way == OWN_THROUGH_HANDLE ? folder : INVALID_HANDLE_VALUE, 0};
    BOOL cancel = FALSE;
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < files; i++) {
        Text from = FileIn(source, i), to = FileIn(target, i);
        BOOL ok = way == PLATFORM_WAY ? CopyFileExW(from.c_str(), to.c_str(), Quiet, NULL, &cancel, 0)
                                      : CopyFileChunked(from.c_str(), to.c_str(), NULL, Quiet, NULL, &cancel,
                                                        COPY_FILE_FAIL_IF_EXISTS, &held);
        if (!ok)
            printf("copy failed: %lu\n", GetLastError());
    }
    double spent = Since(start);
    CloseHandle(folder);
    return spent;
}

// One check a run makes, asked of file number i in folder.
typedef bool (*Check)(const Text &folder, int i);

// The folder's file index, asked through its path (before a rename into it).
static bool FolderIndex(const Text &folder, int)
{
    ULONGLONG index;
    return FileIndexAt(folder.c_str(), &index);
}

// A file's attributes, asked by name (the mirror's look at each target file).
static bool NameLookUp(const Text &folder, int i)
{
    return AttributesOf(FileIn(folder, i).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Opens file i, runs ask on the handle, closes it.
static bool AskOpen(const Text &folder, int i, bool (*ask)(HANDLE))
{
    HANDLE file = CreateFileW(FileIn(folder, i).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING, 0, NULL);
    bool ok = file != INVALID_HANDLE_VALUE && ask(file);
    CloseHandle(file);
    return ok;
}

static bool AskNothing(HANDLE)
{
    return true;
}

static bool AskFinalPath(HANDLE file)
{
    WCHAR *path = FinalPathOf(file);
    MemoryFree(path);
    return path != NULL;
}

static bool AskWholeInformation(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION information;
    return GetFileInformationByHandle(file, &information) != 0;
}

static bool AskBasicInformation(HANDLE file)
{
    FILE_BASIC_INFO basic;
    return GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) != 0;
}

static bool OpenAlone(const Text &folder, int i)
{
    return AskOpen(folder, i, AskNothing);
}

static bool OpenFinalPath(const Text &folder, int i)
{
    return AskOpen(folder, i, AskFinalPath);
}

static bool OpenWholeInformation(const Text &folder, int i)
{
    return AskOpen(folder, i, AskWholeInformation);
}

static bool OpenBasicInformation(const Text &folder, int i)
{
    return AskOpen(folder, i, AskBasicInformation);
}

// The source folder's mark, asked through its path (the cleanup, before its first deletion in a folder).
static bool FolderMark(const Text &folder, int)
{
    FILE_BASIC_INFO basic;
    ULONGLONG index;
    HANDLE handle =
        CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    bool ok = handle != INVALID_HANDLE_VALUE && FileIndexOf(handle, &index) &&
              GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic);
    CloseHandle(handle);
    return ok;
}

// Whether the folder holds an entry (the same).
static bool FolderHoldsEntry(const Text &folder, int)
{
    bool holdsEntry;
    return ProbeFolder((folder + L"\\").c_str(), &holdsEntry) == ERROR_SUCCESS && holdsEntry;
}

// The target folder's first look: its index and final path through its path.
static bool FolderFirstLook(const Text &folder, int)
{
    ULONGLONG index;
    HANDLE handle = CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    WCHAR *path = handle != INVALID_HANDLE_VALUE && FileIndexOf(handle, &index) ? FinalPathOf(handle) : NULL;
    CloseHandle(handle);
    MemoryFree(path);
    return path != NULL;
}

static const struct {
    const char *name;
    Check check;
} CHECKS[] = {
    {"name look-up (attributes by path)", NameLookUp},
    {"folder's file index through its path", FolderIndex},
    {"folder's file index and final path through its path", FolderFirstLook},
    {"folder's file index and creation time through its path", FolderMark},
    {"whether a folder holds an entry", FolderHoldsEntry},
    {"open and close a file", OpenAlone},
    {"  the same, asking its final path", OpenFinalPath},
    {"  the same, asking its whole information (volume serial)", OpenWholeInformation},
    {"  the same, asking its basic information", OpenBasicInformation},
};

// Removes every file of folder, by name or through the checked handle; returns ms.
static double RemoveAll(const Text &folder, int files, bool checked)
{
    Identity identity;
    Identify(folder.c_str(), &identity);
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < files; i++) {
        Text path = FileIn(folder, i), final = FileIn(identity.finalPath, i);
        bool ok = checked ? RemoveFileName(path.c_str(), final.c_str()) == ERROR_SUCCESS : DeletePath(path.c_str());
        if (!ok)
            printf("removal failed: %lu\n", GetLastError());
    }
    double spent = Since(start);
    ForgetIdentity(&identity);
    return spent;
}

// The folder way copies into in round.
static Text TargetOf(const Text &base, int way, int round)
{
    return base + L"ziel-" + std::to_wstring(way) + L"-" + std::to_wstring(round);
}

// Asks check of every file of folder; returns ms.
static double Time(Check check, const Text &folder, int files)
{
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < files; i++)
        if (!check(folder, i))
            printf("check failed: %lu\n", GetLastError());
    return Since(start);
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    Text base = Text(argv[1], argv[1] + strlen(argv[1]));
    int files = argc > 2 ? atoi(argv[2]) : 2000;
    int kib = argc > 3 ? atoi(argv[3]) : 4;
    if (files <= 0 || kib <= 0 || kib > 256 * 1024)
        return 2;
    Text source = base + L"quelle";
    CreateDirectoryW(source.c_str(), NULL);
    std::string data((size_t)kib * 1024, 'x');
    for (int i = 0; i < files; i++) {
        HANDLE file = CreateFileW(FileIn(source, i).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD written;
        WriteFile(file, data.data(), (DWORD)data.size(), &written, NULL);
        CloseHandle(file);
    }
    // Every figure is the fastest of three rounds, the rounds of all ways taken in turn: on a shared machine the
    // fastest round is the one least disturbed.
    double spent[COPY_WAYS], checks[sizeof CHECKS / sizeof CHECKS[0]], removals[2];
    for (double &each : spent)
        each = 1e30;
    for (double &each : checks)
        each = 1e30;
    for (double &each : removals)
        each = 1e30;
    for (int round = 0; round < 3; round++) {
        for (int way = 0; way < COPY_WAYS; way++)
            spent[way] = min(spent[way], CopyAll(source, TargetOf(base, way, round), files, (CopyWay)way));
        for (size_t check = 0; check < sizeof CHECKS / sizeof CHECKS[0]; check++)
            checks[check] = min(checks[check], Time(CHECKS[check].check, source, files));
        for (int checked = 0; checked < 2; checked++)
            removals[checked] = min(removals[checked], RemoveAll(TargetOf(base, checked, round), files, checked != 0));
    }
    for (int way = 0; way < COPY_WAYS; way++)
        printf("per file: %-58s %.3f ms\n", COPY_WAY_NAMES[way], spent[way] / files);
    for (size_t check = 0; check < sizeof CHECKS / sizeof CHECKS[0]; check++)
        printf("per file: %-58s %.3f ms\n", CHECKS[check].name, checks[check] / files);
    printf("per file: %-58s %.3f ms\n", "removal by name", removals[0] / files);
    printf("per file: %-58s %.3f ms\n", "removal through a checked handle", removals[1] / files);
    return 0;
}
