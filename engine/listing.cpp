// Listing one folder level through the wide functions, at any path length.
#include "listing.h"
#include "base/longpath.h"
#include "base/memory.h"
#include "base/widetext.h"
#include "runstate.h"
#include <string.h>
#include <wchar.h>

enum { FIRST_ENTRY_CAPACITY = 64, FIRST_NAME_POOL = 4096 };

// True for the entries "." and "..".
static bool IsDotEntry(const WCHAR *name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
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

// Appends one listed entry to the level; false when memory is short.
static bool AddEntry(FolderLevel *level, const WIN32_FIND_DATAW *found)
{
    size_t length = wcslen(found->cFileName) + 1;
    if (!Reserve(level, length))
        return false;
    ListedEntry *entry = &level->entries[level->count++];
    entry->attributes = found->dwFileAttributes;
    entry->lastWriteTime = found->ftLastWriteTime;
    entry->size = ((ULONGLONG)found->nFileSizeHigh << 32) | found->nFileSizeLow;
    entry->nameOffset = level->namesUsed;
    memcpy(level->names + level->namesUsed, found->cFileName, length * sizeof(WCHAR));
    level->namesUsed += length;
    return true;
}

DWORD ReadFolderLevel(const WCHAR *folder, FolderLevel *level)
{
    WIN32_FIND_DATAW found;
    DWORD code;
    memset(level, 0, sizeof *level);
    HANDLE listing = OpenListing(folder, &found, &code);
    if (listing == INVALID_HANDLE_VALUE)
        return code;
    // A listing that breaks off is an error, not a shorter folder: its
    // missing entries would look deleted.
    do {
        if (!IsDotEntry(found.cFileName) && !AddEntry(level, &found)) {
            code = ERROR_NOT_ENOUGH_MEMORY;
            break;
        }
        if (!FindNextFileW(listing, &found)) {
            code = GetLastError() == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : GetLastError();
            break;
        }
    } while (!IsCancelRequested());
    FindClose(listing);
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
        *holdsEntry = !IsDotEntry(found.cFileName);
    while (!*holdsEntry && FindNextFileW(listing, &found));
    FindClose(listing);
    return ERROR_SUCCESS;
}
