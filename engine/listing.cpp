// Listing one folder level through the wide functions, at any path length.
#include "listing.h"
#include "base/identity.h"
#include "base/longpath.h"
#include "base/memory.h"
#include "base/widetext.h"
#include "runstate.h"
#include <string.h>
#include <wchar.h>

enum {
    FIRST_ENTRY_CAPACITY = 64,
    FIRST_NAME_POOL = 4096,
    LISTING_BATCH_BYTES = 64 * 1024 // entries fetched in one call
};

// True for the entries "." and ".." (a name of length characters).
static bool IsDotEntry(const WCHAR *name, size_t length)
{
    return (length == 1 && name[0] == L'.') || (length == 2 && name[0] == L'.' && name[1] == L'.');
}

// Starts the wide listing of folder ("*.*"); INVALID_HANDLE_VALUE with *code set.
static HANDLE OpenListing(const WCHAR *folder, WIN32_FIND_DATAW *entry, DWORD *code)
{
    WCHAR *pattern = WideJoin(folder, L"*.*");
    HANDLE listing = pattern != NULL ? FindFirstAt(pattern, entry) : INVALID_HANDLE_VALUE;
    *code = pattern == NULL ? ERROR_FILENAME_EXCED_RANGE : listing == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    MemoryFree(pattern);
    return listing;
}

// Makes room for one more entry and a name of length characters; false when memory is short.
static bool Reserve(FolderLevel *level, size_t length)
{
    if (level->count == level->capacity) {
        int capacity = level->capacity == 0 ? (int)FIRST_ENTRY_CAPACITY : level->capacity * 2;
        void *entries = MemoryResize(level->entries, capacity * sizeof(ListedEntry));
        if (entries == NULL)
            return false;
        level->entries = (ListedEntry *)entries;
        level->capacity = capacity;
    }
    if (level->namesUsed + length > level->namesSize) {
        size_t size = level->namesSize == 0 ? (size_t)FIRST_NAME_POOL : level->namesSize * 2;
        while (size < level->namesUsed + length)
            size *= 2;
        void *names = MemoryResize(level->names, size * sizeof(WCHAR));
        if (names == NULL)
            return false;
        level->names = (WCHAR *)names;
        level->namesSize = size;
    }
    return true;
}

// Appends one listed entry (its name of length characters) to the level; false when memory is short.
static bool AddEntry(FolderLevel *level, DWORD attributes, LARGE_INTEGER lastWriteTime, ULONGLONG size,
                     const WCHAR *name, size_t length)
{
    if (!Reserve(level, length + 1))
        return false;
    ListedEntry *entry = &level->entries[level->count++];
    entry->attributes = attributes;
    entry->lastWriteTime.dwLowDateTime = lastWriteTime.LowPart;
    entry->lastWriteTime.dwHighDateTime = (DWORD)lastWriteTime.HighPart;
    entry->size = size;
    entry->nameOffset = level->namesUsed;
    memcpy(level->names + level->namesUsed, name, length * sizeof(WCHAR));
    level->names[level->namesUsed + length] = 0;
    level->namesUsed += length + 1;
    return true;
}

// Opens folder for a handle-based listing; INVALID_HANDLE_VALUE when it cannot be opened.
static HANDLE OpenFolder(const WCHAR *folder)
{
    return OpenPath(folder, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
}

// The error a listing of folder that cannot start gives through the wide
// find functions (a missing folder is error 3 there, a file error 267), so
// that a notice names the same error whichever way the folder was read.
static DWORD ListingError(const WCHAR *folder, DWORD fallback)
{
    WIN32_FIND_DATAW found;
    DWORD code;
    HANDLE listing = OpenListing(folder, &found, &code);
    if (listing == INVALID_HANDLE_VALUE)
        return code;
    FindClose(listing);
    return fallback;
}

// Learns the folder open as handle: its file index and creation time.
static void IdentifyLevel(HANDLE handle, FolderLevel *level)
{
    FILE_BASIC_INFO basic;
    level->identified = FileIndexOf(handle, &level->fileIndex) &&
                        GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic);
    level->creationTime = level->identified ? basic.CreationTime.QuadPart : 0;
}

// Appends the entries of one fetched batch; false when the reading ends
// (memory short, *code set, or a cancel after an entry).
static bool AddBatch(FolderLevel *level, const BYTE *batch, DWORD *code)
{
    for (const FILE_ID_BOTH_DIR_INFO *found = (const FILE_ID_BOTH_DIR_INFO *)batch;;
         found = (const FILE_ID_BOTH_DIR_INFO *)((const BYTE *)found + found->NextEntryOffset)) {
        size_t length = found->FileNameLength / sizeof(WCHAR);
        bool dot = IsDotEntry(found->FileName, length);
        if (!dot && !AddEntry(level, found->FileAttributes, found->LastWriteTime, found->EndOfFile.QuadPart,
                              found->FileName, length)) {
            *code = ERROR_NOT_ENOUGH_MEMORY;
            return false;
        }
        if (IsCancelRequested()) // after "." too: a walk after a cancel handles only the first entry fetched
            return false;
        if (found->NextEntryOffset == 0)
            return true;
    }
}

// A listing that breaks off is an error, not a shorter folder: its missing
// entries would look deleted.
DWORD ReadFolderLevel(const WCHAR *folder, FolderLevel *level)
{
    memset(level, 0, sizeof *level);
    HANDLE handle = OpenFolder(folder);
    if (handle == INVALID_HANDLE_VALUE)
        return ListingError(folder, GetLastError());
    IdentifyLevel(handle, level);
    BYTE *batch = (BYTE *)MemoryAlloc(LISTING_BATCH_BYTES);
    DWORD code = batch == NULL ? ERROR_NOT_ENOUGH_MEMORY : ERROR_SUCCESS;
    for (bool first = true; code == ERROR_SUCCESS; first = false) {
        if (!GetFileInformationByHandleEx(handle, FileIdBothDirectoryInfo, batch, LISTING_BATCH_BYTES)) {
            code = GetLastError() == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : GetLastError();
            if (first && code != ERROR_SUCCESS)
                code = ListingError(folder, code);
            break;
        }
        if (!AddBatch(level, batch, &code))
            break;
    }
    MemoryFree(batch);
    CloseHandle(handle);
    return code;
}

// Frees what a level holds.
void ReleaseFolderLevel(FolderLevel *level)
{
    MemoryFree(level->entries);
    MemoryFree(level->names);
    memset(level, 0, sizeof *level);
}

DWORD ProbeFolder(const WCHAR *folder, bool *holdsEntry)
{
    WIN32_FIND_DATAW found;
    DWORD code;
    *holdsEntry = false;
    HANDLE listing = OpenListing(folder, &found, &code);
    if (listing == INVALID_HANDLE_VALUE)
        return code;
    do
        *holdsEntry = !IsDotEntry(found.cFileName, wcslen(found.cFileName));
    while (!*holdsEntry && FindNextFileW(listing, &found));
    FindClose(listing);
    return ERROR_SUCCESS;
}
